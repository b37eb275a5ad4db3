// The scrambling generator; its state belongs to the calling process.

#include "utility/win32/lutrix_api.h"
#include "utility/win32/process_state.h"

using qx::g_process;

uint32_t QX_STDCALL QX_GenerateRandom() {
    return g_process.scrambler.Next();
}

uint32_t QX_STDCALL QX_SeedRandom(uint32_t seed) {
    return g_process.scrambler.Seed(seed);
}

uint8_t* QX_STDCALL QX_CopyRandomXOR(uint8_t* out, const uint8_t* in, uint32_t length) {
    return g_process.scrambler.CopyXor(out, in, length);
}

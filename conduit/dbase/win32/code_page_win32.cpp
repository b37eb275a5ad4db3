// The boundary conversions through the system, so a desktop with other code pages converts as
// every other Windows program on it does.
#include <windows.h>

// windows.h still defines the old names AnsiToOem and OemToAnsi as macros for CharToOemA and
// OemToCharA; they would rename our own functions.
#undef AnsiToOem
#undef OemToAnsi

#include "conduit/dbase/code_page.h"

namespace qx::dbase {
namespace {

// The system calls take a 32-bit length; longer text is converted piece by piece.
template <typename Convert>
void InPieces(std::span<uint8_t> text, Convert convert) {
    while (!text.empty()) {
        const std::size_t piece = text.size() < 0x40000000u ? text.size() : 0x40000000u;
        char* bytes = reinterpret_cast<char*>(text.data());
        convert(bytes, static_cast<DWORD>(piece));
        text = text.subspan(piece);
    }
}

}  // namespace

void AnsiToOem(std::span<uint8_t> text) {
    InPieces(text, [](char* bytes, DWORD length) { CharToOemBuffA(bytes, bytes, length); });
}

void OemToAnsi(std::span<uint8_t> text) {
    InPieces(text, [](char* bytes, DWORD length) { OemToCharBuffA(bytes, bytes, length); });
}

}  // namespace qx::dbase

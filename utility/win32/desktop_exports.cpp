// What the library found out about the Palm Desktop installation when this process loaded it.

#include "utility/core/stored_string.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/process_state.h"

using namespace qx;

uint32_t QX_STDCALL QX_GetPalmKey(char* buffer, int32_t size) {
    return GetStoredString(g_process.paths.palm_user_key, buffer, size);
}

// Also exported as QX_GetBrelconDir.
uint32_t QX_STDCALL QX_GetQuorvixDir(char* buffer, int32_t size) {
    return GetStoredString(g_process.paths.product_dir, buffer, size);
}

uint32_t QX_STDCALL QX_GetHotSyncDir(char* buffer, int32_t size) {
    return GetStoredString(g_process.paths.hotsync_dir, buffer, size);
}

uint32_t QX_STDCALL QX_GetHotSyncVersion() {
    return g_process.paths.hotsync_version;
}

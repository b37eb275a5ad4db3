#include "utility/win32/show_dll_error.h"

#include <windows.h>

#include "utility/win32/process_state.h"

namespace qx {

void ShowDllError(DllMessage message, const char* detail) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_process.module, path, sizeof path);
    const std::string caption = ModuleCaption(path);
    const std::string text = FormatDllError(message, detail);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace qx

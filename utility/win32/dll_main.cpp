// Loading and unloading Lutrix in a process.

#include <windows.h>

#include "utility/win32/lock_host_win32.h"
#include "utility/win32/process_state.h"
#include "utility/win32/registry_view_win32.h"
#include "utility/win32/shared_section.h"
#include "utility/win32/show_dll_error.h"

namespace qx {

ProcessState g_process;

inline constexpr char kProgressMessageName[] = "Quorvix 3.0 IPC Message";

namespace {

void OnProcessAttach(HMODULE module) {
    g_process.module = module;
    g_process.lock_token = CurrentProcessLockToken();
    g_process.paths = LookUpDesktopPaths(WindowsRegistryView());

    // Every process registers the same name and so stores the same number.
    const UINT message = RegisterWindowMessageA(kProgressMessageName);
    g_shared.state.registered_message = static_cast<uint16_t>(message);
    if (message == 0) {
        ShowDllError(kMsgCannotRegisterMessage);
    }
}

}  // namespace
}  // namespace qx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        qx::OnProcessAttach(instance);
    }
    return TRUE;  // loading succeeds whatever the lookups found
}

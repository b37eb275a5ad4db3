// Loading and unloading Lutrix in a process.

#include <windows.h>

#include "utility/win32/lock_host_win32.h"
#include "utility/win32/process_state.h"
#include "utility/win32/registry_view_win32.h"
#include "utility/win32/shared_section.h"
#include "utility/win32/show_dll_error.h"
#include "utility/win32/user_manager_win32.h"

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

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        qx::OnProcessAttach(instance);
    }
    // On FreeLibrary (not at process exit, when USEREDIT may be gone already) the user manager
    // this process opened is released.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        qx::ReleaseUserManager();
    }
    return TRUE;  // loading succeeds whatever the lookups found
}

#include "utility/win32/lock_host_win32.h"

#include <windows.h>

#include "utility/win32/process_state.h"
#include "utility/win32/shared_section.h"

namespace qx {
namespace {

uint32_t CreationTimeLow(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    return created.dwLowDateTime;
}

}  // namespace

LockToken CurrentProcessLockToken() {
    return MakeLockToken(GetCurrentProcessId(), CreationTimeLow(GetCurrentProcess()));
}

bool WindowsLockHost::OwnerAlive(LockToken owner) {
    const DWORD process_id = static_cast<DWORD>(owner >> 32);
    HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process_id);
    if (process == nullptr) {
        // A process we may not look at still exists; any other failure means it is gone.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    const bool same = CreationTimeLow(process) == static_cast<uint32_t>(owner);
    CloseHandle(process);
    return running && same;
}

void WindowsLockHost::Pause(uint32_t attempt) {
    // The lock is held for a few hundred instructions: spin first, then give the owner the CPU.
    if (attempt < 32) {
        YieldProcessor();
    } else if (attempt < 128) {
        SwitchToThread();
    } else {
        Sleep(1);
    }
}

SharedQueueLock::SharedQueueLock() : guard_(g_shared.queue_lock, g_process.lock_token, host_) {}

}  // namespace qx

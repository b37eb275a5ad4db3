// The command queue's exports: checks and messages here, the queue itself in the core.

#include "utility/core/command_queue.h"
#include "utility/win32/lock_host_win32.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/shared_section.h"
#include "utility/win32/show_dll_error.h"

using namespace qx;

int32_t QX_STDCALL QX_AddToCommandQueueEx(int32_t type, const char* file_name, uint32_t param1,
                                          uint32_t param2) {
    const CommandCheck check = CheckCommand(type, file_name, param1);
    for (int i = 0; i < check.count; ++i) {
        ShowDllError(check.messages[i]);
    }
    if (!check.accepted()) {
        return 0;
    }
    const SharedQueueLock lock;
    return EnqueueCommand(g_shared.state, type, file_name, param1, param2) ? 1 : 0;
}

int32_t QX_STDCALL QX_AddToCommandQueue(int32_t type, const char* file_name) {
    return QX_AddToCommandQueueEx(type, file_name, 0, 0);
}

int32_t QX_STDCALL QX_GetNextCommandEx(int32_t* type, char* buffer, int32_t size, uint32_t* param1,
                                       uint32_t* param2) {
    if (type == nullptr) {
        return 0;  // nowhere to say what was taken: leave the command queued
    }
    const SharedQueueLock lock;
    return TakeCommand(g_shared.state, type, buffer, size, param1, param2) ? 1 : 0;
}

int32_t QX_STDCALL QX_GetNextCommand(int32_t* type, char* buffer, int32_t size) {
    return QX_GetNextCommandEx(type, buffer, size, nullptr, nullptr);
}

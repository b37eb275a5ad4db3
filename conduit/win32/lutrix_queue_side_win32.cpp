#include "conduit/win32/lutrix_queue_side_win32.h"

#include <windows.h>

#include "utility/core/stored_string.h"

namespace qx {

void LutrixQueueSide::PublishUser(const std::string& name, uint32_t user_id, uint32_t creator) {
    lutrix_.QX_SetUserName(name.c_str());
    lutrix_.QX_SetUserID(user_id);
    lutrix_.QX_SetCreatorId(creator);
}

void LutrixQueueSide::SetHotSyncUserId(uint32_t id) {
    lutrix_.QX_SetHotSyncUserId(id);
}

bool LutrixQueueSide::TakeCommand(int32_t& code, std::string& file, uint32_t& first,
                                  uint32_t& second) {
    char name[1040] = {};
    if (lutrix_.QX_GetNextCommandEx(&code, name, sizeof name, &first, &second) == 0) {
        return false;
    }
    file.assign(name, BoundedLength(name, sizeof name));
    return true;
}

void LutrixQueueSide::NotifyProgress(uint32_t code, uint32_t value) {
    const UINT message = lutrix_.QX_GetRegisteredMsg();
    lutrix_.QX_SetWaitFlag(0);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, code, value, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kBroadcastTimeoutMs, &answer);
    while (lutrix_.QX_GetWaitFlag() != 0) {
        Sleep(kWaitPollMs);
        ops_.YieldCycles(10);  // keeps the HotSync connection alive while a listener works
    }
}

}  // namespace qx

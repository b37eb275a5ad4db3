#include "utility/core/command_queue.h"

#include <cstring>

#include "utility/core/stored_string.h"

namespace qx {

CommandCheck CheckCommand(int32_t type, const char* file_name, uint32_t param1) {
    CommandCheck check;
    if (type < kCopyPilotApp || type > kInstallPrc) {
        check.messages[check.count++] = kMsgUnknownCommandType;
        return check;
    }
    if (type == kSyncMarker) {
        return check;
    }
    if ((type == kCopyPilotAppEx || type == kCopyPilotTableEx) && param1 == 0) {
        check.messages[check.count++] = kMsgBadCreatorId;
    }
    if (file_name == nullptr) {
        check.messages[check.count++] = kMsgBadFilename;
    }
    return check;
}

bool EnqueueCommand(SharedState& state, int32_t type, const char* file_name, uint32_t param1,
                    uint32_t param2) {
    if (state.write_index == state.read_index) {
        return false;  // the writer has caught up with the oldest entry: all slots are taken
    }
    if (state.read_index == kQueueEmpty) {
        state.read_index = 0;
        state.write_index = 0;
    }
    CommandEntry& entry = state.entries[state.write_index & kQueueIndexMask];
    entry.type = type;
    // strncpy is exactly the field's rule: up to 260 characters, the rest zero, no forced NUL.
    std::memset(entry.file_name, 0, sizeof entry.file_name);
    if (file_name != nullptr) {
        std::strncpy(entry.file_name, file_name, sizeof entry.file_name);
    }
    entry.param1 = param1;
    entry.param2 = param2;
    state.write_index = (state.write_index + 1) & kQueueIndexMask;
    return true;
}

bool TakeCommand(SharedState& state, int32_t* type, char* buffer, int32_t size, uint32_t* param1,
                 uint32_t* param2) {
    if (state.read_index == kQueueEmpty) {
        return false;
    }
    const CommandEntry& entry = state.entries[state.read_index & kQueueIndexMask];
    *type = entry.type;
    if (buffer != nullptr && size > 0) {
        const std::size_t capacity = static_cast<std::size_t>(size);
        const std::size_t length = BoundedLength(entry.file_name, sizeof entry.file_name);
        const std::size_t copied = length < capacity ? length : capacity;
        std::memcpy(buffer, entry.file_name, copied);
        std::memset(buffer + copied, 0, capacity - copied);
    }
    if (param1 != nullptr) {
        *param1 = entry.param1;
    }
    if (param2 != nullptr) {
        *param2 = entry.param2;
    }
    state.read_index = (state.read_index + 1) & kQueueIndexMask;
    if (state.read_index == state.write_index) {
        state.read_index = kQueueEmpty;
    }
    return true;
}

void EmptyQueue(SharedState& state) {
    state.read_index = kQueueEmpty;
    state.write_index = 0;
}

const char* CommandTypeName(int32_t type) {
    static constexpr const char* kNames[] = {
        "?",
        "CopyPilotApp",
        "DeletePilotApp",
        "CopyPilotTable",
        "GetPilotTable",
        "DeletePilotTable",
        "SyncMarker",
        "CopyPilotAppEx",
        "CopyPilotTableEx",
        "InstallPRC",
        "WriteAppPdb",
        "WriteTablePdb",
    };
    return type >= 0 && type <= kWriteTablePdb ? kNames[type] : "?";
}

int32_t QueuedCount(const SharedState& state) {
    if (state.read_index == kQueueEmpty) {
        return 0;
    }
    const int32_t span = (state.write_index - state.read_index) & kQueueIndexMask;
    return span == 0 ? kQueueCapacity : span;
}

}  // namespace qx

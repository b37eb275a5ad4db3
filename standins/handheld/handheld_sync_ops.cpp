#include "standins/handheld/handheld_sync_ops.h"

#include <algorithm>

namespace qx {

SyncResult HandheldSyncOps::OpenDB(std::string_view name, uint8_t card, uint8_t& handle,
                                   uint8_t /*mode: every open is exclusive*/) {
    if (card != 0) {
        return kSyncErrNotFound;  // the device has one card
    }
    return device_.OpenDatabase(name, handle);
}

SyncResult HandheldSyncOps::DeleteDB(std::string_view name, uint8_t card) {
    return card != 0 ? kSyncErrNotFound : device_.DeleteDatabase(name);
}

SyncResult HandheldSyncOps::CreateDB(CreateDbRequest& request) {
    if (request.card != 0) {
        return kSyncErrBadArgument;
    }
    DatabaseSpec wanted;
    wanted.name = std::string(FieldName(request.name));
    wanted.creator = request.creator;
    wanted.type = request.type;
    wanted.attributes = static_cast<uint16_t>(request.flags);
    wanted.version = request.version;
    return device_.CreateDatabase(wanted, request.handle);
}

SyncResult HandheldSyncOps::CloseDB(uint8_t handle) {
    return device_.CloseDatabase(handle);
}

SyncResult HandheldSyncOps::WriteRec(RecordDescriptor& desc) {
    if (desc.record_size > desc.capacity || (desc.record_size > 0 && desc.bytes == nullptr) ||
        desc.category < 0 || desc.category > 15) {
        return kSyncErrBadArgument;
    }
    uint32_t id = desc.record_id;
    const SyncResult result =
        device_.WriteRecord(desc.handle, id, desc.attributes, static_cast<uint8_t>(desc.category),
                            std::span<const uint8_t>(desc.bytes, desc.record_size));
    if (result == kSyncOk) {
        desc.record_id = id;
    }
    return result;
}

SyncResult HandheldSyncOps::WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) {
    if (block.byte_count > 0 && block.bytes == nullptr) {
        return kSyncErrBadArgument;
    }
    return device_.WriteAppInfo(handle, std::span<const uint8_t>(block.bytes, block.byte_count));
}

SyncResult HandheldSyncOps::ReadUserID(HandheldUserRecord& user) {
    user = HandheldUserRecord{};
    user.SetUserName(device_.user_name());
    user.SetUserId(device_.user_id());
    return kSyncOk;
}

SyncResult HandheldSyncOps::ResetSyncFlags(uint8_t handle) {
    return device_.ResetSyncFlags(handle);
}

SyncResult HandheldSyncOps::GetDBRecordCount(uint8_t handle, uint16_t& count) {
    return device_.RecordCount(handle, count);
}

SyncResult HandheldSyncOps::PurgeDeletedRecs(uint8_t handle) {
    return device_.PurgeDeleted(handle);
}

SyncResult HandheldSyncOps::ReadDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) {
    std::optional<std::vector<uint8_t>> info;
    const SyncResult result = device_.ReadAppInfo(handle, info);
    if (result != kSyncOk) {
        return result;
    }
    if (!info) {
        block.bytes_read = 0;
        return kSyncErrNotFound;
    }
    // The full size, also when it does not fit: callers size their buffer from it.
    block.bytes_read = static_cast<uint16_t>(std::min<std::size_t>(info->size(), 0xFFFF));
    if (info->size() > block.byte_count) {
        return kSyncErrBufferTooSmall;
    }
    if (!info->empty() && block.bytes == nullptr) {
        return kSyncErrBadArgument;
    }
    std::copy(info->begin(), info->end(), block.bytes);
    return kSyncOk;
}

SyncResult HandheldSyncOps::ReadRecordByIndex(RecordDescriptor& desc) {
    HandheldRecord record;
    const SyncResult result = device_.ReadRecordByIndex(desc.handle, desc.index, record);
    if (result != kSyncOk) {
        return result;
    }
    desc.record_size = static_cast<uint32_t>(record.data.size());
    desc.record_id = record.id;
    desc.attributes = record.attributes;
    desc.category = record.category;
    if (record.data.size() > desc.capacity) {
        return kSyncErrBufferTooSmall;
    }
    if (!record.data.empty() && desc.bytes == nullptr) {
        return kSyncErrBadArgument;
    }
    std::copy(record.data.begin(), record.data.end(), desc.bytes);
    return kSyncOk;
}

SyncResult HandheldSyncOps::YieldCycles(uint16_t) {
    return kSyncOk;
}

}  // namespace qx

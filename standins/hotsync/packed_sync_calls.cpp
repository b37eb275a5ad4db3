#include "standins/hotsync/packed_sync_calls.h"

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "standins/hotsync/standin_exports.h"

namespace qx {

namespace {

constexpr SyncResult kNoDevice = standin::kNoDeviceInCradle;

void Out(uint8_t* record, const std::vector<uint8_t>& bytes) {
    std::memcpy(record, bytes.data(), bytes.size());
}

uint8_t* Pointer(uintptr_t address) {
    return reinterpret_cast<uint8_t*>(address);
}

bool CardFits(int32_t card, uint8_t& out) {
    if (card < 0 || card > 255) {
        return false;
    }
    out = static_cast<uint8_t>(card);
    return true;
}

bool DecodeRecord(const uint8_t* packed, RecordDescriptor& desc, uintptr_t& address) {
    std::string error;
    if (packed == nullptr ||
        !DecodeRecordDescriptor(std::span(packed, kRecordDescriptorSize), desc, address, error)) {
        return false;
    }
    desc.bytes = Pointer(address);
    return true;
}

bool DecodeBlock(const uint8_t* packed, BlockDescriptor& block, uintptr_t& address) {
    std::string error;
    if (packed == nullptr ||
        !DecodeBlockDescriptor(std::span(packed, kBlockDescriptorSize), block, address, error)) {
        return false;
    }
    block.bytes = Pointer(address);
    return true;
}

}  // namespace

int32_t PackedOpenDB(SyncOps* ops, const char* name, int32_t card, uint8_t* handle, uint8_t mode) {
    uint8_t card8 = 0;
    if (ops == nullptr) {
        return kNoDevice;
    }
    if (name == nullptr || handle == nullptr) {
        return kSyncErrBadArgument;
    }
    return CardFits(card, card8) ? ops->OpenDB(name, card8, *handle, mode) : kSyncErrNotFound;
}

int32_t PackedDeleteDB(SyncOps* ops, const char* name, int32_t card) {
    uint8_t card8 = 0;
    if (ops == nullptr) {
        return kNoDevice;
    }
    if (name == nullptr) {
        return kSyncErrBadArgument;
    }
    return CardFits(card, card8) ? ops->DeleteDB(name, card8) : kSyncErrNotFound;
}

int32_t PackedCreateDB(SyncOps* ops, uint8_t* create_db_request) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    CreateDbRequest request;
    std::string error;
    if (create_db_request == nullptr ||
        !DecodeCreateDbRequest(std::span(create_db_request, kCreateDbRequestSize), request,
                               error)) {
        return kSyncErrBadArgument;
    }
    const SyncResult result = ops->CreateDB(request);
    Out(create_db_request, EncodeCreateDbRequest(request));
    return result;
}

int32_t PackedCloseDB(SyncOps* ops, uint8_t handle) {
    return ops == nullptr ? kNoDevice : ops->CloseDB(handle);
}

int32_t PackedWriteRec(SyncOps* ops, uint8_t* record_descriptor) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    RecordDescriptor desc;
    uintptr_t address = 0;
    if (!DecodeRecord(record_descriptor, desc, address)) {
        return kSyncErrBadArgument;
    }
    const SyncResult result = ops->WriteRec(desc);
    Out(record_descriptor, EncodeRecordDescriptor(desc, address));
    return result;
}

int32_t PackedWriteDBAppInfoBlock(SyncOps* ops, uint8_t handle, uint8_t* block_descriptor) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    BlockDescriptor block;
    uintptr_t address = 0;
    if (!DecodeBlock(block_descriptor, block, address)) {
        return kSyncErrBadArgument;
    }
    return ops->WriteDBAppInfoBlock(handle, block);
}

int32_t PackedReadUserID(SyncOps* ops, uint8_t* user_record) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    if (user_record == nullptr) {
        return kSyncErrBadArgument;
    }
    HandheldUserRecord user;
    const SyncResult result = ops->ReadUserID(user);
    std::memcpy(user_record, user.bytes.data(), user.bytes.size());
    return result;
}

int32_t PackedResetSyncFlags(SyncOps* ops, uint8_t handle) {
    return ops == nullptr ? kNoDevice : ops->ResetSyncFlags(handle);
}

int32_t PackedGetDBRecordCount(SyncOps* ops, uint8_t handle, uint16_t* count) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    return count == nullptr ? kSyncErrBadArgument : ops->GetDBRecordCount(handle, *count);
}

int32_t PackedPurgeDeletedRecs(SyncOps* ops, uint8_t handle) {
    return ops == nullptr ? kNoDevice : ops->PurgeDeletedRecs(handle);
}

int32_t PackedReadDBAppInfoBlock(SyncOps* ops, uint8_t handle, uint8_t* block_descriptor) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    BlockDescriptor block;
    uintptr_t address = 0;
    if (!DecodeBlock(block_descriptor, block, address)) {
        return kSyncErrBadArgument;
    }
    const SyncResult result = ops->ReadDBAppInfoBlock(handle, block);
    Out(block_descriptor, EncodeBlockDescriptor(block, address));
    return result;
}

int32_t PackedReadRecordByIndex(SyncOps* ops, uint8_t* record_descriptor) {
    if (ops == nullptr) {
        return kNoDevice;
    }
    RecordDescriptor desc;
    uintptr_t address = 0;
    if (!DecodeRecord(record_descriptor, desc, address)) {
        return kSyncErrBadArgument;
    }
    const SyncResult result = ops->ReadRecordByIndex(desc);
    Out(record_descriptor, EncodeRecordDescriptor(desc, address));
    return result;
}

int32_t PackedYieldCycles(SyncOps* ops, uint16_t count) {
    return ops == nullptr ? kNoDevice : ops->YieldCycles(count);
}

}  // namespace qx

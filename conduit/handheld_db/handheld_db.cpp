#include "conduit/handheld_db/handheld_db.h"

#include <limits>
#include <vector>

namespace qx {

int OpenHandheldDb(SyncOps& ops, uint8_t& handle, std::string_view name) {
    return ops.OpenDB(name, 0, handle, kOpenReadWriteExclusive) == kSyncOk ? 1 : 0;
}

int CloseHandheldDb(SyncOps& ops, uint8_t handle) {
    return ops.CloseDB(handle) == kSyncOk ? 1 : 0;
}

int DeleteHandheldDb(SyncOps& ops, std::string_view name) {
    return ops.DeleteDB(name, 0) == kSyncOk ? 1 : 0;
}

int CreateHandheldDb(SyncOps& ops, uint8_t& handle, std::string_view name, uint32_t creator,
                     uint32_t type, uint32_t flags) {
    CreateDbRequest request;
    request.handle = kNoHandle;
    request.creator = creator;
    request.flags = (flags & 1) != 0 ? kDbAttrBackup : 0;
    request.card = 0;
    SetFieldName(request.name, name);
    request.type = type;
    request.version = 0;
    if (ops.CreateDB(request) != kSyncOk) {
        return 0;
    }
    handle = request.handle;
    return 1;
}

int RecreateHandheldDb(SyncOps& ops, ErrorReporter& errors, uint8_t& handle, std::string_view name,
                       uint32_t creator, uint32_t type, uint32_t flags) {
    if (OpenHandheldDb(ops, handle, name)) {
        // It exists: make room for the new one. A failure shows up as a failed create below.
        CloseHandheldDb(ops, handle);
        DeleteHandheldDb(ops, name);
    }
    if (CreateHandheldDb(ops, handle, name, creator, type, flags)) {
        return 1;
    }
    errors.ReportError(kMsgCannotCreateOnHandheld, name);
    return 0;
}

int ReadAppInfoBlock(SyncOps& ops, uint8_t handle, std::span<uint8_t> buffer,
                     uint16_t* bytes_read) {
    if (buffer.size() > std::numeric_limits<uint16_t>::max()) {
        return 0;  // the descriptor's count holds 16 bits
    }
    BlockDescriptor block;
    block.byte_count = static_cast<uint16_t>(buffer.size());
    block.bytes = buffer.data();
    const SyncResult result = ops.ReadDBAppInfoBlock(handle, block);
    if (bytes_read) {
        *bytes_read = block.bytes_read;
    }
    return result == kSyncOk && block.bytes_read == buffer.size() ? 1 : 0;
}

int WriteAppInfoBlock(SyncOps& ops, uint8_t handle, std::span<const uint8_t> bytes) {
    if (bytes.size() > std::numeric_limits<uint16_t>::max()) {
        return 0;
    }
    // The slot takes a writable pointer; hand it a copy rather than casting away const.
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    BlockDescriptor block;
    block.byte_count = static_cast<uint16_t>(bytes.size());
    block.bytes_read = block.byte_count;
    block.bytes = copy.data();
    return ops.WriteDBAppInfoBlock(handle, block) == kSyncOk ? 1 : 0;
}

uint32_t ReadRecordAt(SyncOps& ops, RecordBuffer& buffer, uint8_t handle, uint16_t index) {
    buffer.desc.handle = handle;
    buffer.desc.index = index;
    buffer.desc.bytes = buffer.data.data();
    buffer.desc.capacity = kRecordBufferCapacity;
    if (ops.ReadRecordByIndex(buffer.desc) != kSyncOk) {
        return 0;
    }
    return buffer.desc.record_size;
}

int WriteRecordBuffer(SyncOps& ops, RecordBuffer& buffer, uint8_t handle, uint32_t size) {
    if (size > kRecordBufferCapacity) {
        return 0;
    }
    RecordDescriptor& d = buffer.desc;
    d.handle = handle;
    d.record_id = 0;
    d.attributes = 0;
    d.category = 0;
    d.record_size = size;
    d.bytes = buffer.data.data();
    d.capacity = kRecordBufferCapacity;
    return ops.WriteRec(d) == kSyncOk ? 1 : 0;
}

}  // namespace qx

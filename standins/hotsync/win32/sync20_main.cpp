// Sync20.dll: the Sync Manager over the emulated handheld in the cradle. Each function takes the
// packed records of the Sync Manager's layout, decodes them, runs the operation on the handheld
// and encodes back what the caller reads from them. One handheld at a time, put in and taken out
// by HOTSYNC.EXE around a synchronisation.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "conduit/pdb/palm_time.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_manager_abi.h"
#include "conduit/sync/sync_records.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "standins/hotsync/standin_exports.h"

namespace {

struct Cradle {
    qx::NativeFileSystem files;
    qx::SystemPalmClock clock;
    std::unique_ptr<qx::HandheldDevice> device;
    std::unique_ptr<qx::HandheldSyncOps> ops;
};

Cradle& State() {
    static Cradle cradle;
    return cradle;
}

qx::SyncOps* Ops() {
    return State().ops.get();
}

// The caller's record bytes: a packed record of `size` bytes at `record`. The size is the
// layout's own, which is all a C caller hands over.
std::span<const uint8_t> In(const uint8_t* record, std::size_t size) {
    return {record, size};
}

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

}  // namespace

extern "C" {

__declspec(dllexport) int32_t
    StandInConnectDevice(const char* folder, char* error, uint32_t error_size) {
    Cradle& c = State();
    std::string problem;
    qx::SyncResult result = qx::kSyncOk;
    if (c.device) {
        problem = "a handheld is already in the cradle";
        result = qx::standin::kCradleOccupied;
    } else if (folder == nullptr || *folder == '\0') {
        problem = "no handheld folder given";
        result = qx::kSyncErrBadArgument;
    } else {
        c.device = qx::HandheldDevice::Open(c.files, c.clock, folder, problem);
        if (c.device) {
            c.ops = std::make_unique<qx::HandheldSyncOps>(*c.device);
        } else {
            result = qx::standin::kNoDeviceInCradle;
        }
    }
    if (error != nullptr && error_size > 0) {
        const std::size_t length = std::min<std::size_t>(problem.size(), error_size - 1);
        std::memcpy(error, problem.data(), length);
        error[length] = '\0';
    }
    return result;
}

__declspec(dllexport) int32_t StandInDisconnectDevice() {
    Cradle& c = State();
    if (!c.device) {
        return qx::standin::kNoDeviceInCradle;
    }
    const qx::SyncResult result = c.device->CloseAll();
    c.ops.reset();
    c.device.reset();
    return result;
}

__declspec(dllexport) int32_t
    SyncOpenDB(const char* name, int32_t card, uint8_t* handle, uint8_t mode) {
    uint8_t card8 = 0;
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    if (name == nullptr || handle == nullptr) {
        return qx::kSyncErrBadArgument;
    }
    if (!CardFits(card, card8)) {
        return qx::kSyncErrNotFound;
    }
    return Ops()->OpenDB(name, card8, *handle, mode);
}

__declspec(dllexport) int32_t SyncDeleteDB(const char* name, int32_t card) {
    uint8_t card8 = 0;
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    if (name == nullptr) {
        return qx::kSyncErrBadArgument;
    }
    if (!CardFits(card, card8)) {
        return qx::kSyncErrNotFound;
    }
    return Ops()->DeleteDB(name, card8);
}

__declspec(dllexport) int32_t SyncCreateDB(uint8_t* create_db_request) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    qx::CreateDbRequest request;
    std::string error;
    if (create_db_request == nullptr ||
        !qx::DecodeCreateDbRequest(In(create_db_request, qx::kCreateDbRequestSize), request,
                                   error)) {
        return qx::kSyncErrBadArgument;
    }
    const qx::SyncResult result = Ops()->CreateDB(request);
    Out(create_db_request, qx::EncodeCreateDbRequest(request));
    return result;
}

__declspec(dllexport) int32_t SyncCloseDB(uint8_t handle) {
    return Ops() == nullptr ? qx::standin::kNoDeviceInCradle : Ops()->CloseDB(handle);
}

__declspec(dllexport) int32_t SyncWriteRec(uint8_t* record_descriptor) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    qx::RecordDescriptor desc;
    uintptr_t address = 0;
    std::string error;
    if (record_descriptor == nullptr ||
        !qx::DecodeRecordDescriptor(In(record_descriptor, qx::kRecordDescriptorSize), desc, address,
                                    error)) {
        return qx::kSyncErrBadArgument;
    }
    desc.bytes = Pointer(address);
    const qx::SyncResult result = Ops()->WriteRec(desc);
    Out(record_descriptor, qx::EncodeRecordDescriptor(desc, address));
    return result;
}

__declspec(dllexport) int32_t SyncWriteDBAppInfoBlock(uint8_t handle, uint8_t* block_descriptor) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    qx::BlockDescriptor block;
    uintptr_t address = 0;
    std::string error;
    if (block_descriptor == nullptr ||
        !qx::DecodeBlockDescriptor(In(block_descriptor, qx::kBlockDescriptorSize), block, address,
                                   error)) {
        return qx::kSyncErrBadArgument;
    }
    block.bytes = Pointer(address);
    return Ops()->WriteDBAppInfoBlock(handle, block);
}

__declspec(dllexport) int32_t SyncReadUserID(uint8_t* user_record) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    if (user_record == nullptr) {
        return qx::kSyncErrBadArgument;
    }
    qx::HandheldUserRecord user;
    const qx::SyncResult result = Ops()->ReadUserID(user);
    std::memcpy(user_record, user.bytes.data(), user.bytes.size());
    return result;
}

__declspec(dllexport) int32_t SyncResetSyncFlags(uint8_t handle) {
    return Ops() == nullptr ? qx::standin::kNoDeviceInCradle : Ops()->ResetSyncFlags(handle);
}

__declspec(dllexport) int32_t SyncGetDBRecordCount(uint8_t handle, uint16_t* count) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    if (count == nullptr) {
        return qx::kSyncErrBadArgument;
    }
    return Ops()->GetDBRecordCount(handle, *count);
}

__declspec(dllexport) int32_t SyncPurgeDeletedRecs(uint8_t handle) {
    return Ops() == nullptr ? qx::standin::kNoDeviceInCradle : Ops()->PurgeDeletedRecs(handle);
}

__declspec(dllexport) int32_t SyncReadDBAppInfoBlock(uint8_t handle, uint8_t* block_descriptor) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    qx::BlockDescriptor block;
    uintptr_t address = 0;
    std::string error;
    if (block_descriptor == nullptr ||
        !qx::DecodeBlockDescriptor(In(block_descriptor, qx::kBlockDescriptorSize), block, address,
                                   error)) {
        return qx::kSyncErrBadArgument;
    }
    block.bytes = Pointer(address);
    const qx::SyncResult result = Ops()->ReadDBAppInfoBlock(handle, block);
    // Also on failure: a block too large for the buffer still reports its full size.
    Out(block_descriptor, qx::EncodeBlockDescriptor(block, address));
    return result;
}

__declspec(dllexport) int32_t SyncReadRecordByIndex(uint8_t* record_descriptor) {
    if (Ops() == nullptr) {
        return qx::standin::kNoDeviceInCradle;
    }
    qx::RecordDescriptor desc;
    uintptr_t address = 0;
    std::string error;
    if (record_descriptor == nullptr ||
        !qx::DecodeRecordDescriptor(In(record_descriptor, qx::kRecordDescriptorSize), desc, address,
                                    error)) {
        return qx::kSyncErrBadArgument;
    }
    desc.bytes = Pointer(address);
    const qx::SyncResult result = Ops()->ReadRecordByIndex(desc);
    Out(record_descriptor, qx::EncodeRecordDescriptor(desc, address));
    return result;
}

__declspec(dllexport) int32_t SyncYieldCycles(uint16_t count) {
    return Ops() == nullptr ? qx::standin::kNoDeviceInCradle : Ops()->YieldCycles(count);
}

}  // extern "C"

// The signatures above are the ones a conduit binds.
static_assert(std::is_same_v<decltype(&SyncOpenDB), qx::abi::SyncOpenDBFn>);
static_assert(std::is_same_v<decltype(&SyncDeleteDB), qx::abi::SyncDeleteDBFn>);
static_assert(std::is_same_v<decltype(&SyncCreateDB), qx::abi::SyncCreateDBFn>);
static_assert(std::is_same_v<decltype(&SyncCloseDB), qx::abi::SyncCloseDBFn>);
static_assert(std::is_same_v<decltype(&SyncWriteRec), qx::abi::SyncWriteRecFn>);
static_assert(
    std::is_same_v<decltype(&SyncWriteDBAppInfoBlock), qx::abi::SyncWriteDBAppInfoBlockFn>);
static_assert(std::is_same_v<decltype(&SyncReadUserID), qx::abi::SyncReadUserIDFn>);
static_assert(std::is_same_v<decltype(&SyncResetSyncFlags), qx::abi::SyncResetSyncFlagsFn>);
static_assert(std::is_same_v<decltype(&SyncGetDBRecordCount), qx::abi::SyncGetDBRecordCountFn>);
static_assert(std::is_same_v<decltype(&SyncPurgeDeletedRecs), qx::abi::SyncPurgeDeletedRecsFn>);
static_assert(std::is_same_v<decltype(&SyncReadDBAppInfoBlock), qx::abi::SyncReadDBAppInfoBlockFn>);
static_assert(std::is_same_v<decltype(&SyncReadRecordByIndex), qx::abi::SyncReadRecordByIndexFn>);
static_assert(std::is_same_v<decltype(&SyncYieldCycles), qx::abi::SyncYieldCyclesFn>);
static_assert(std::is_same_v<decltype(&StandInConnectDevice), qx::standin::ConnectDeviceFn>);
static_assert(std::is_same_v<decltype(&StandInDisconnectDevice), qx::standin::DisconnectDeviceFn>);

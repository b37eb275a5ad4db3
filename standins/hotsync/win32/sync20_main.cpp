// Sync20.dll: the Sync Manager over the emulated handheld in the cradle. Each function hands the
// caller's packed records to the portable calls of packed_sync_calls.h over that handheld. One
// handheld at a time, put in and taken out by HOTSYNC.EXE around a synchronisation.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "conduit/pdb/palm_time.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_manager_abi.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "standins/hotsync/packed_sync_calls.h"
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
    return qx::PackedOpenDB(Ops(), name, card, handle, mode);
}

__declspec(dllexport) int32_t SyncDeleteDB(const char* name, int32_t card) {
    return qx::PackedDeleteDB(Ops(), name, card);
}

__declspec(dllexport) int32_t SyncCreateDB(uint8_t* create_db_request) {
    return qx::PackedCreateDB(Ops(), create_db_request);
}

__declspec(dllexport) int32_t SyncCloseDB(uint8_t handle) {
    return qx::PackedCloseDB(Ops(), handle);
}

__declspec(dllexport) int32_t SyncWriteRec(uint8_t* record_descriptor) {
    return qx::PackedWriteRec(Ops(), record_descriptor);
}

__declspec(dllexport) int32_t SyncWriteDBAppInfoBlock(uint8_t handle, uint8_t* block_descriptor) {
    return qx::PackedWriteDBAppInfoBlock(Ops(), handle, block_descriptor);
}

__declspec(dllexport) int32_t SyncReadUserID(uint8_t* user_record) {
    return qx::PackedReadUserID(Ops(), user_record);
}

__declspec(dllexport) int32_t SyncResetSyncFlags(uint8_t handle) {
    return qx::PackedResetSyncFlags(Ops(), handle);
}

__declspec(dllexport) int32_t SyncGetDBRecordCount(uint8_t handle, uint16_t* count) {
    return qx::PackedGetDBRecordCount(Ops(), handle, count);
}

__declspec(dllexport) int32_t SyncPurgeDeletedRecs(uint8_t handle) {
    return qx::PackedPurgeDeletedRecs(Ops(), handle);
}

__declspec(dllexport) int32_t SyncReadDBAppInfoBlock(uint8_t handle, uint8_t* block_descriptor) {
    return qx::PackedReadDBAppInfoBlock(Ops(), handle, block_descriptor);
}

__declspec(dllexport) int32_t SyncReadRecordByIndex(uint8_t* record_descriptor) {
    return qx::PackedReadRecordByIndex(Ops(), record_descriptor);
}

__declspec(dllexport) int32_t SyncYieldCycles(uint16_t count) {
    return qx::PackedYieldCycles(Ops(), count);
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

#pragma once
// The functions the HotSync Manager's libraries export, as the conduit calls them and as our
// stand-ins define them: C calling convention, names as in kSyncManagerFunctions and below.
//
// Records travel as pointers to their packed little-endian bytes (sync_records.h): a
// CreateDbRequest, RecordDescriptor or BlockDescriptor is encoded into a buffer, handed over,
// and decoded again afterwards for what the callee filled in. A descriptor's byte pointer points
// at memory of the caller, which the callee reads or fills directly.

#include <cstddef>
#include <cstdint>

namespace qx::abi {

extern "C" {
// Sync20.dll
using SyncOpenDBFn = int32_t (*)(const char* name, int32_t card, uint8_t* handle, uint8_t mode);
using SyncDeleteDBFn = int32_t (*)(const char* name, int32_t card);
using SyncCreateDBFn = int32_t (*)(uint8_t* create_db_request);  // the handle is written back
using SyncCloseDBFn = int32_t (*)(uint8_t handle);
using SyncWriteRecFn = int32_t (*)(uint8_t* record_descriptor);  // the new record ID written back
using SyncWriteDBAppInfoBlockFn = int32_t (*)(uint8_t handle, uint8_t* block_descriptor);
using SyncReadUserIDFn = int32_t (*)(uint8_t* user_record);  // HandheldUserRecord::kSize bytes
using SyncResetSyncFlagsFn = int32_t (*)(uint8_t handle);
using SyncGetDBRecordCountFn = int32_t (*)(uint8_t handle, uint16_t* count);
using SyncPurgeDeletedRecsFn = int32_t (*)(uint8_t handle);
// Reads at most byte_count bytes; sets bytes_read. A block larger than byte_count fails with a
// non-zero result but still reports the block's full size in bytes_read.
using SyncReadDBAppInfoBlockFn = int32_t (*)(uint8_t handle, uint8_t* block_descriptor);
using SyncReadRecordByIndexFn = int32_t (*)(uint8_t* record_descriptor);
using SyncYieldCyclesFn = int32_t (*)(uint16_t count);

// HsLog20.dll: one entry of the HotSync log. Activity -1 is a plain text line; 19 starts a
// conduit's entries, 20 ends them successfully and 21 with a failure.
using LogAddEntryFn = int32_t (*)(const char* text, int32_t activity, int32_t timestamp);

// A conduit's entry points, as the HotSync Manager calls them.
using OpenConduitFn = int32_t (*)(void* progress, uint8_t* sync_properties);
using GetConduitNameFn = int32_t (*)(char* buffer, uint32_t size);
using GetConduitVersionFn = uint32_t (*)();
using ConfigureConduitFn = int32_t (*)(uint8_t* preferences);
}

// The sync properties record the HotSync Manager hands to OpenConduit. The conduit reads the
// user name (zero-terminated, at most 127 characters) and the creator ID it was registered for.
inline constexpr std::size_t kSyncPropertiesSize = 1024;
inline constexpr std::size_t kSyncPropertiesUserName = 516;
inline constexpr std::size_t kSyncPropertiesUserNameSize = 128;
inline constexpr std::size_t kSyncPropertiesCreator = 908;  // 32-bit, little-endian

// The preference record handed to ConfigureConduit: two 32-bit fields the conduit sets.
inline constexpr std::size_t kConduitPreferencesSize = 1024;
inline constexpr std::size_t kConduitPreferencesFirst = 516;
inline constexpr std::size_t kConduitPreferencesSecond = 520;

// The HotSync activity codes used with LogAddEntry.
inline constexpr int32_t kLogText = -1;
inline constexpr int32_t kLogConduitStart = 19;
inline constexpr int32_t kLogConduitSuccess = 20;
inline constexpr int32_t kLogConduitFailure = 21;

}  // namespace qx::abi

#pragma once
// The Sync Manager's functions as a conduit calls them, over any SyncOps: the records arrive as
// packed bytes in the Sync Manager's layout (sync_records.h), are decoded, handed to the
// operation, and what the caller reads back is encoded into the same bytes. A record's size is
// its layout's size: a C caller hands over only the pointer. Without a handheld (`ops` null)
// every call fails with kNoDeviceInCradle.

#include <cstdint>

#include "conduit/sync/sync_ops.h"

namespace qx {

int32_t PackedOpenDB(SyncOps* ops, const char* name, int32_t card, uint8_t* handle, uint8_t mode);
int32_t PackedDeleteDB(SyncOps* ops, const char* name, int32_t card);
int32_t PackedCreateDB(SyncOps* ops, uint8_t* create_db_request);
int32_t PackedCloseDB(SyncOps* ops, uint8_t handle);
int32_t PackedWriteRec(SyncOps* ops, uint8_t* record_descriptor);
int32_t PackedWriteDBAppInfoBlock(SyncOps* ops, uint8_t handle, uint8_t* block_descriptor);
int32_t PackedReadUserID(SyncOps* ops, uint8_t* user_record);
int32_t PackedResetSyncFlags(SyncOps* ops, uint8_t handle);
int32_t PackedGetDBRecordCount(SyncOps* ops, uint8_t handle, uint16_t* count);
int32_t PackedPurgeDeletedRecs(SyncOps* ops, uint8_t handle);
// Also when the block does not fit, its full size is written back into the descriptor.
int32_t PackedReadDBAppInfoBlock(SyncOps* ops, uint8_t handle, uint8_t* block_descriptor);
// Also when the record does not fit, its size, ID and attributes are written back.
int32_t PackedReadRecordByIndex(SyncOps* ops, uint8_t* record_descriptor);
int32_t PackedYieldCycles(SyncOps* ops, uint16_t count);

}  // namespace qx

#pragma once
// The table of handheld-database operations through which every transfer reaches a handheld. Two
// backends implement it: one forwards to the HotSync Manager's Sync Manager, the other collects a
// database and writes it as a .pdb file. Every result is 0 for success, non-zero for failure
// (sync_result.h); where a result "is not examined" the callers ignore it, but backends still
// answer honestly.

#include <array>
#include <cstdint>
#include <string_view>

#include "conduit/sync/sync_records.h"
#include "conduit/sync/sync_result.h"

namespace qx {

class SyncOps {
  public:
    virtual ~SyncOps() = default;

    // 1. Opens an existing database; `mode` is always kOpenReadWriteExclusive.
    virtual SyncResult OpenDB(std::string_view name, uint8_t card, uint8_t& handle,
                              uint8_t mode) = 0;
    // 2.
    virtual SyncResult DeleteDB(std::string_view name, uint8_t card) = 0;
    // 3. On success the new database's handle is in request.handle.
    virtual SyncResult CreateDB(CreateDbRequest& request) = 0;
    // 4.
    virtual SyncResult CloseDB(uint8_t handle) = 0;
    // 5. Writes desc.record_size bytes from desc.bytes as a record of database desc.handle.
    virtual SyncResult WriteRec(RecordDescriptor& desc) = 0;
    // 6. Writes block.byte_count bytes from block.bytes as the application info block.
    virtual SyncResult WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) = 0;
    // 7. Result not examined by the conduit.
    virtual SyncResult ReadUserID(HandheldUserRecord& user) = 0;
    // 8. Result not examined by the conduit.
    virtual SyncResult ResetSyncFlags(uint8_t handle) = 0;
    // 9. Result not examined by the conduit.
    virtual SyncResult GetDBRecordCount(uint8_t handle, uint16_t& count) = 0;
    // 10.
    virtual SyncResult PurgeDeletedRecs(uint8_t handle) = 0;
    // 11. Reads at most block.byte_count bytes into block.bytes; block.bytes_read says how many.
    virtual SyncResult ReadDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) = 0;
    // 12. Reads record desc.index of desc.handle into desc.bytes (desc.capacity bytes at most).
    virtual SyncResult ReadRecordByIndex(RecordDescriptor& desc) = 0;
    // 13. Lets the connection breathe while the conduit waits; result not examined.
    virtual SyncResult YieldCycles(uint16_t count) = 0;
};

inline constexpr int kSyncSlotCount = 13;

// The Sync Manager's function for each slot, in slot order (the order they are bound in).
inline constexpr std::array<std::string_view, kSyncSlotCount> kSyncManagerFunctions = {
    "SyncOpenDB",           "SyncDeleteDB",           "SyncCreateDB",
    "SyncCloseDB",          "SyncWriteRec",           "SyncWriteDBAppInfoBlock",
    "SyncReadUserID",       "SyncResetSyncFlags",     "SyncGetDBRecordCount",
    "SyncPurgeDeletedRecs", "SyncReadDBAppInfoBlock", "SyncReadRecordByIndex",
    "SyncYieldCycles",
};

}  // namespace qx

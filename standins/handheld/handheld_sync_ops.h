#pragma once
// The Sync Manager's side of the slot table over an emulated handheld: what the Sync Manager
// stand-in does for each function the conduit calls. Reading an application info block into a
// buffer that is too small fails but reports the block's full size in bytes_read.

#include "conduit/sync/sync_ops.h"
#include "standins/handheld/handheld_device.h"

namespace qx {

class HandheldSyncOps final : public SyncOps {
  public:
    explicit HandheldSyncOps(HandheldDevice& device) : device_(device) {}

    SyncResult OpenDB(std::string_view name, uint8_t card, uint8_t& handle, uint8_t mode) override;
    SyncResult DeleteDB(std::string_view name, uint8_t card) override;
    SyncResult CreateDB(CreateDbRequest& request) override;
    SyncResult CloseDB(uint8_t handle) override;
    SyncResult WriteRec(RecordDescriptor& desc) override;
    SyncResult WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) override;
    SyncResult ReadUserID(HandheldUserRecord& user) override;
    SyncResult ResetSyncFlags(uint8_t handle) override;
    SyncResult GetDBRecordCount(uint8_t handle, uint16_t& count) override;
    SyncResult PurgeDeletedRecs(uint8_t handle) override;
    SyncResult ReadDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) override;
    SyncResult ReadRecordByIndex(RecordDescriptor& desc) override;
    SyncResult YieldCycles(uint16_t count) override;

  private:
    HandheldDevice& device_;
};

}  // namespace qx

#pragma once
// The HotSync Manager's libraries, loaded from the HotSync folder for one synchronisation, and the
// two things the conduit makes of them: HotSyncOps (the Sync Manager's functions behind SyncOps)
// and the HotSync log as the log channel.

#include <windows.h>

#include <string>

#include "conduit/sync/error_reporter.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/sync_manager_abi.h"
#include "conduit/sync/sync_ops.h"

namespace qx {

struct SyncManagerFunctions {
    abi::SyncOpenDBFn open_db = nullptr;
    abi::SyncDeleteDBFn delete_db = nullptr;
    abi::SyncCreateDBFn create_db = nullptr;
    abi::SyncCloseDBFn close_db = nullptr;
    abi::SyncWriteRecFn write_rec = nullptr;
    abi::SyncWriteDBAppInfoBlockFn write_app_info = nullptr;
    abi::SyncReadUserIDFn read_user_id = nullptr;
    abi::SyncResetSyncFlagsFn reset_sync_flags = nullptr;
    abi::SyncGetDBRecordCountFn get_record_count = nullptr;
    abi::SyncPurgeDeletedRecsFn purge_deleted = nullptr;
    abi::SyncReadDBAppInfoBlockFn read_app_info = nullptr;
    abi::SyncReadRecordByIndexFn read_record = nullptr;
    abi::SyncYieldCyclesFn yield_cycles = nullptr;
};

class HotSyncOps final : public SyncOps {
  public:
    explicit HotSyncOps(const SyncManagerFunctions& sync) : sync_(sync) {}

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
    const SyncManagerFunctions& sync_;
};

class HotSyncLog final : public LogChannel {
  public:
    explicit HotSyncLog(abi::LogAddEntryFn add) : add_(add) {}
    void Add(std::string_view text, int32_t activity, int32_t time_stamp) override;

  private:
    abi::LogAddEntryFn add_;
};

// Everything loaded for one synchronisation; freed by the destructor.
class HotSyncLibraries {
  public:
    // Loads "HsLog20.dll", "Cmds21.dll" and "Sync20.dll" (and "Cmds20.dll" when "Cmds21.dll" is
    // missing) from `hotsync_dir`, reporting a folder that does not exist for each library.
    HotSyncLibraries(const std::string& hotsync_dir, ErrorReporter& errors);
    ~HotSyncLibraries();
    HotSyncLibraries(const HotSyncLibraries&) = delete;
    HotSyncLibraries& operator=(const HotSyncLibraries&) = delete;

    // True when every library loaded and every function was found.
    bool complete() const { return complete_; }
    const SyncManagerFunctions& sync() const { return sync_; }
    abi::LogAddEntryFn log() const { return log_; }

  private:
    HMODULE Load(const char* file);

    std::string dir_;
    ErrorReporter& errors_;
    HMODULE modules_[4] = {};
    int loaded_ = 0;
    SyncManagerFunctions sync_;
    abi::LogAddEntryFn log_ = nullptr;
    bool complete_ = false;
};

// The HotSync folder Lutrix reports, or "C:\PILOT" when it has none.
std::string HotSyncFolderOr(const std::string& reported);

}  // namespace qx

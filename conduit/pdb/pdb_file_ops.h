#pragma once
// The SyncOps backend that writes a .pdb file instead of talking to a handheld. CreateDB starts one
// database in memory (always handle 255), WriteRec and WriteDBAppInfoBlock fill it, and CloseDB
// writes it beside the current command's source file, named after the database
// ("C:\DATA\ORDERS.DBF" -> "C:\DATA\QXT-SE_ORDERS.pdb"). The reading slots have no meaning here:
// they say so on the log channel and fail.
//
// Layout written (big-endian): the 78-byte header with the request's name, attributes (low 16 bits
// of its flags), version, type and creator, the CreateDB time as all three dates, application
// info offset 80 + 8 x count and every other field 0; one 8-byte entry per record (data offset,
// attributes 0, unique ID = position + 1); the gap bytes FF FF; the application info block; the
// records back to back.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conduit/pdb/palm_time.h"
#include "conduit/storage/file_system.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/sync_ops.h"

namespace qx {

inline constexpr uint8_t kPdbFileHandle = 255;

class PdbFileOps final : public SyncOps {
  public:
    // `current_command_file` answers the file name of the command being run.
    PdbFileOps(FileSystem& files, const PalmClock& clock, LogChannel& log,
               std::function<std::string()> current_command_file);
    ~PdbFileOps() override;

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

    // The file image CloseDB would write now; for tests and tools.
    std::vector<uint8_t> BuildImage() const;
    // Where CloseDB would write now.
    std::string OutputPath() const;
    std::size_t record_count() const { return record_sizes_.size(); }

  private:
    SyncResult NotImplemented(std::string_view slot);
    void Discard();
    // The header, the record entries and the gap: everything before the application info.
    std::vector<uint8_t> BuildHead() const;

    FileSystem& files_;
    const PalmClock& clock_;
    LogChannel& log_;
    std::function<std::string()> current_command_file_;

    // The database under construction.
    std::array<char, kDbNameField> name_ = {};
    uint16_t attributes_ = 0;
    uint16_t version_ = 0;
    uint32_t date_ = 0;
    uint32_t type_ = 0;
    uint32_t creator_ = 0;
    std::vector<uint8_t> app_info_;
    // The records back to back, in blocks of at least kRecordBlockSize bytes that never split a
    // record: a full table costs a few allocations instead of one per record, and the blocks go
    // to the file as they are, without being copied into one image first.
    std::vector<std::vector<uint8_t>> record_blocks_;
    std::vector<uint32_t> record_sizes_;
};

}  // namespace qx

#include "conduit/spine/dispatch_command.h"

#include "common/creator_id.h"
#include "conduit/app/app_transfer.h"
#include "conduit/sync/log_channel.h"
#include "conduit/tables/table_retrieval.h"
#include "conduit/tables/table_transfer.h"

namespace qx {
namespace {

int RunApplication(const DispatchSeams& s, const std::string& file, uint32_t creator,
                   uint32_t flags) {
    return TransferApplication({*ActiveOps, *ActiveLogChannel, s.errors, s.buffer}, file, creator,
                               flags);
}

int CopyTable(const DispatchSeams& s, const std::string& file, uint32_t creator, uint32_t flags) {
    return tables::CopyTableToHandheld(
        {*ActiveOps, *ActiveLogChannel, s.errors, s.buffer, s.table_files}, file, creator, flags);
}

// Pictures coming back are not converted yet: such a field gets ten spaces.
int GetTable(const DispatchSeams& s, const std::string& file) {
    return tables::GetTableFromHandheld(
        {*ActiveOps, *ActiveLogChannel, s.errors, s.buffer, s.table_files, nullptr}, file);
}

}  // namespace

int DispatchCommand(const DispatchSeams& s, int32_t code, const std::string& file, uint32_t first,
                    uint32_t second) {
    s.set_current_command(code, file);
    switch (static_cast<uint32_t>(code)) {
        case 0:
            ActiveLogChannel->Add("Quorvix: Bad command code in command file.", kLogActivityText,
                                  0);
            return 0;
        case 1:
            SelectSyncMode(s.hotsync);
            return RunApplication(s, file, kDefaultCreator, second);
        case 2:
            ActiveLogChannel->Add("Quorvix: DeletePilotApp not implemented.", kLogActivityText, 0);
            return 0;
        case 3:
            SelectSyncMode(s.hotsync);
            return CopyTable(s, file, kDefaultCreator, second);
        case 4:
            return GetTable(s, file);
        case 5:
            ActiveLogChannel->Add("Quorvix: DeletePilotTable not implemented.", kLogActivityText,
                                  0);
            return 0;
        case 6:
            return 1;
        case 7:
            SelectSyncMode(s.hotsync);
            return RunApplication(s, file, first, second);
        case 8:
            SelectSyncMode(s.hotsync);
            return CopyTable(s, file, first, second);
        case 9:
            return s.install_prc(file);
        case 10:
            s.buffer.Reset();
            SelectSyncMode(s.pdb);
            return RunApplication(s, file, first, second);
        case 11:
            s.buffer.Reset();
            SelectSyncMode(s.pdb);
            return CopyTable(s, file, first, second);
        default:
            return 0;
    }
}

}  // namespace qx

#pragma once
// Runs one command of the queue (codes 1 to 9) or of the PDB exports (10 and 11): selects the mode
// the command needs and hands it to its transfer. 1 for success, 0 for failure.

#include <cstdint>
#include <functional>
#include <string>

#include "conduit/dbase/desktop_file.h"
#include "conduit/sync/error_reporter.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/sync/sync_mode.h"

namespace qx {

inline constexpr int32_t kWriteAppPdbCode = 10;
inline constexpr int32_t kWriteTablePdbCode = 11;

struct DispatchSeams {
    SyncMode hotsync;  // Sync Manager + HotSync log
    SyncMode pdb;      // PDB writer + "PDB FILE" boxes
    ErrorReporter& errors;
    RecordBuffer& buffer;
    dbase::DesktopFileSystem& table_files;  // .DBF and .DBT files
    // Publishes the command being run (Lutrix's command type and file name).
    std::function<void(int32_t code, const std::string& file)> set_current_command;
    // Hands a file to HotSync's install mechanism for the user being synchronised.
    std::function<int32_t(const std::string& file)> install_prc;
};

int DispatchCommand(const DispatchSeams& seams, int32_t code, const std::string& file,
                    uint32_t first, uint32_t second);

}  // namespace qx

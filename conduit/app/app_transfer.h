#pragma once
// Command codes 1, 7 and 10: an application file (.PDA) written as its handheld application
// database, "QX-SE_" and the file's upper-cased base name, type 'FORM', with the AppInfoBlock and
// one FormRecord per form. It goes through whichever SyncOps it is given, so the same transfer
// feeds a handheld or a .pdb file.

#include <cstdint>
#include <string>

#include "conduit/sync/error_reporter.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/sync/sync_ops.h"

namespace qx {

inline constexpr uint32_t kApplicationDbType = FourCc("FORM");

struct AppTransferSeams {
    SyncOps& ops;
    LogChannel& log;
    ErrorReporter& errors;
    RecordBuffer& buffer;  // the conduit's one record buffer; the blocks are built in its data
};

// 1 when every form was written. Failures are reported as they are met, and a failed transfer
// sends "Copy app \"<database name>\" to Handheld - FAILED" to the log (the name is empty when
// the file was refused before the database was named). Bit 0 of `flags` gives the database the
// backup attribute. A failed transfer leaves the database as far as it was written.
int TransferApplication(const AppTransferSeams& seams, const std::string& path, uint32_t creator,
                        uint32_t flags);

}  // namespace qx

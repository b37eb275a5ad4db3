#pragma once
// Commands 3, 8 and 11: a dBase table (.DBF, with its .DBT) written as a handheld table
// database, "QXT-SE_" and the file's upper-cased base name, type 'TABL': the TableInfoBlock lists
// the columns and each live row becomes one record of encoded fields. It goes through whichever
// SyncOps it is given, so the same transfer feeds a handheld or a .pdb file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/table_image.h"
#include "conduit/sync/error_reporter.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/sync/sync_ops.h"

namespace qx::tables {

inline constexpr uint32_t kTableDbType = FourCc("TABL");
// Records are assembled here before they go to the record buffer, which the field reader uses
// as its scratch space meanwhile.
inline constexpr std::size_t kAssemblySize = 0xFC00;
// A handheld database holds at most this many records.
inline constexpr uint32_t kMaxHandheldRecords = 0xFFFF;

struct TableTransferSeams {
    SyncOps& ops;
    LogChannel& log;
    ErrorReporter& errors;
    RecordBuffer& buffer;  // the conduit's one record buffer; records are written from its data
    dbase::DesktopFileSystem& files;
};

// 1 when the table's info block was written (rows that could not be written after it are
// reported with 1060 and stop the copy, but the command counts as done); then the database's
// sync flags are reset. Otherwise 0, after "Copy table \"<database name>\" to Handheld - FAILED"
// went to the log (the name is empty when the table file was refused before it was named). Bit 0
// of `flags` gives the database the backup attribute. A database that cannot be created is
// reported (1030) and the command goes on without one, so its info block fails (1220).
int CopyTableToHandheld(const TableTransferSeams& seams, const std::string& path, uint32_t creator,
                        uint32_t flags);

// The steps, for the command above and for tests. `handle` is empty when there is no database.
// Builds and writes the TableInfoBlock of the loaded image; answers the column count, or nothing
// after reporting 1200, 1210 or 1220.
std::optional<uint16_t> BuildTableInfoBlock(const TableTransferSeams& seams,
                                            const dbase::TableImage& image,
                                            std::optional<uint8_t> handle);
// Encodes and writes every live record; false after reporting 1060 for the first record that
// could not be written (also one too large to assemble, or one past the handheld's limit).
bool CopyTableRecords(const TableTransferSeams& seams, const dbase::TableImage& image,
                      dbase::MemoFile& memo, std::optional<uint8_t> handle);

}  // namespace qx::tables

#pragma once
// Command 4: a handheld table database brought back into a dBase table. Deleted records are
// purged on the handheld, its TableInfoBlock gives the fields, and a new .DBF (and .DBT when a
// memo or picture is stored) is written from its records. The new files are built beside the
// user's old ones and replace them only when the table is whole; until then, and after any
// failure, the old files stay exactly as they were. The handheld database stays in place.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/place_field_text.h"
#include "conduit/dbase/table_writer.h"
#include "conduit/sync/error_reporter.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/sync/sync_ops.h"
#include "conduit/tables/retrieval_column.h"

namespace qx::tables {

struct TableRetrievalSeams {
    SyncOps& ops;
    LogChannel& log;
    ErrorReporter& errors;
    RecordBuffer& buffer;  // the conduit's one record buffer; every record is read into it
    dbase::DesktopFileSystem& files;
    // Turns ink into picture records; none stores no picture (the field gets ten spaces).
    dbase::PictureConverter* pictures = nullptr;
};

// 1 when the new table (and memo file) replaced the old ones; then the handheld database's sync
// flags are reset. Otherwise 0, after "Get table \"<database name>\" from Handheld - FAILED" went
// to the log; nothing is reported when the handheld database cannot be opened, and the desktop
// files are untouched in every failure.
int GetTableFromHandheld(const TableRetrievalSeams& seams, const std::string& path);

struct RetrievedTable {
    std::vector<RetrievalColumn> columns;
    uint16_t record_count = 0;
    uint16_t record_length = 0;
};

// The steps, for the command above and for tests. Reads and checks the TableInfoBlock, purges
// the deleted records and writes the new table's header; nothing after reporting 1270, 1280 or
// 1340 (or a header write failure).
std::optional<RetrievedTable> ReadTableInfoBlock(const TableRetrievalSeams& seams, uint8_t handle,
                                                 dbase::TableWriter& writer);
// Reads every record and writes one row per record, then the end-of-file byte; false after
// reporting 1290 (a record unreadable or damaged), 1310 or a write failure.
bool CopyTableRows(const TableRetrievalSeams& seams, uint8_t handle, const RetrievedTable& table,
                   dbase::TableWriter& writer, dbase::MemoFile& memo);

}  // namespace qx::tables

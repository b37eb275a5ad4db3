#include "conduit/tables/table_retrieval.h"

#include <algorithm>
#include <array>
#include <new>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/handheld_db/handheld_db.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/tables/field_decoding.h"
#include "conduit/tables/staged_table_files.h"
#include "conduit/tables/table_info_block.h"
#include "conduit/tables/table_messages.h"

namespace qx::tables {
namespace {

using dbase::PlaceKind;

int Failed(const TableRetrievalSeams& s, std::string_view db_name) {
    s.log.Add("Get table \"" + std::string(db_name) + "\" from Handheld - FAILED", kLogActivityText,
              0);
    return 0;
}

// A block this retrieval can lay out as a dBase table: at least one column, a record and a
// header whose lengths fit their 16-bit counts.
bool Usable(const std::vector<RetrievalColumn>& columns) {
    return !columns.empty() && columns.size() <= dbase::kMaxTableColumns &&
           MinimumRecordLength(columns) <= 0xFFFF;
}

// Passes the dBase code's reports on and notes those that mean data did not reach the new files:
// a write that failed, or a memo file that could not be created (its memos would be lost).
class WatchingSink final : public dbase::ErrorSink {
  public:
    explicit WatchingSink(ErrorReporter& errors) : errors_(errors) {}
    void ReportError(std::string_view message, std::string_view detail) override {
        if (message == dbase::kMsgWriteFailed || message == dbase::kMsgMemoOpenFailed) {
            lost_data_ = true;
        }
        errors_.ReportError(message, detail);
    }
    bool lost_data() const { return lost_data_; }

  private:
    ErrorReporter& errors_;
    bool lost_data_ = false;
};

}  // namespace

std::optional<RetrievedTable> ReadTableInfoBlock(const TableRetrievalSeams& s, uint8_t handle,
                                                 dbase::TableWriter& writer) {
    // A table's block is longer than 4 bytes, so this read fails; it tells the block's size.
    std::array<uint8_t, 4> probe{};
    uint16_t size = 0;
    if (ReadAppInfoBlock(s.ops, handle, probe, &size)) {
        s.errors.ReportError(kMsgCannotReadInfoBlock, std::nullopt);
        return std::nullopt;
    }
    std::vector<uint8_t> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        s.errors.ReportError(kMsgReadInfoBlockOutOfMemory, std::nullopt);
        return std::nullopt;
    }
    if (!ReadAppInfoBlock(s.ops, handle, block)) {
        s.errors.ReportError(kMsgCannotReadInfoBlock, std::nullopt);
        return std::nullopt;
    }
    // Checked before the purge: a block that cannot be laid out leaves the handheld untouched.
    const ParsedInfoBlock parsed = ParseTableInfoBlock(block);
    RetrievedTable table;
    if (parsed.ok) {
        table.columns = RetrievalColumnsFor(parsed.columns);
    }
    if (!parsed.ok || !Usable(table.columns)) {
        s.errors.ReportError(kMsgCannotReadInfoBlock, std::nullopt);
        return std::nullopt;
    }
    if (s.ops.PurgeDeletedRecs(handle) != kSyncOk) {
        s.errors.ReportError(kMsgCannotPurge, std::nullopt);
        return std::nullopt;
    }
    s.ops.GetDBRecordCount(handle, table.record_count);  // its result is not examined
    for (const RetrievalColumn& column : table.columns) {
        if (!column.known) {
            s.errors.ReportError(kMsgUnknownPdaFieldType, std::nullopt);
        }
    }
    // A record length too short for the fields would give a table no reader accepts.
    table.record_length = static_cast<uint16_t>(
        std::max<uint32_t>(parsed.record_length, MinimumRecordLength(table.columns)));
    std::vector<dbase::TableColumn> fields;
    for (const RetrievalColumn& column : table.columns) {
        fields.push_back(column.field);
    }
    if (!writer.WriteTableHeader(fields, table.record_count, table.record_length)) {
        return std::nullopt;  // reported by the writer
    }
    return table;
}

bool CopyTableRows(const TableRetrievalSeams& s, uint8_t handle, const RetrievedTable& table,
                   dbase::TableWriter& writer, dbase::MemoFile& memo) {
    std::vector<uint8_t> row;
    std::vector<uint8_t> record;
    try {
        row.resize(table.record_length);
    } catch (const std::bad_alloc&) {
        s.errors.ReportError(kMsgRowsOutOfMemory, std::nullopt);
        return false;
    }
    for (uint16_t index = 0; index < table.record_count; ++index) {
        std::fill(row.begin(), row.end(), uint8_t{' '});
        const uint32_t size = ReadRecordAt(s.ops, s.buffer, handle, index);
        if (size == 0) {
            s.errors.ReportError(kMsgCannotReadRows, std::nullopt);
            return false;
        }
        // Decoded texts may be built where the record was read, so the record is copied out.
        try {
            record.assign(
                s.buffer.data.begin(),
                s.buffer.data.begin() + std::min<std::size_t>(size, s.buffer.data.size()));
        } catch (const std::bad_alloc&) {
            s.errors.ReportError(kMsgRowsOutOfMemory, std::nullopt);
            return false;
        }
        std::size_t at = 0;
        for (const RetrievalColumn& column : table.columns) {
            const DecodedField field =
                DecodeFieldValue(std::span(record).subspan(at), column, s.errors);
            if (!field.ok) {
                // A damaged record: its fields run past its end. The rows already written are
                // not a whole table, so the command stops here.
                s.errors.ReportError(kMsgCannotReadRows, std::nullopt);
                return false;
            }
            if (column.kind == PlaceKind::kPicture) {
                // The converter reads the ink record by its own counts, so it gets every byte;
                // an empty picture stores nothing.
                dbase::PlaceFieldText(row, column.field, field.text, column.kind, memo,
                                      field.length == 0 ? nullptr : s.pictures);
            } else {
                dbase::PlaceFieldText(row, column.field, std::span(field.text).first(field.length),
                                      column.kind, memo, nullptr);
            }
            at += field.encoded_size;
        }
        if (!writer.WriteTableRow(row)) {
            return false;  // reported by the writer
        }
    }
    return writer.EndTableFile();
}

int GetTableFromHandheld(const TableRetrievalSeams& s, const std::string& path) {
    const std::string db_name = MakeHandheldDbName(path, HandheldDbKind::kTable);
    uint8_t handle = kNoHandle;
    if (!OpenHandheldDb(s.ops, handle, db_name)) {
        return Failed(s, db_name);
    }

    WatchingSink sink(s.errors);
    StagedTableFiles staged(s.files, {path, dbase::MemoPathFor(path)});
    dbase::MemoFile memo(staged, sink);
    bool whole = false;
    std::unique_ptr<dbase::DesktopFile> table = staged.Open(path, dbase::OpenMode::kCreate);
    if (table == nullptr) {
        s.errors.ReportError(dbase::kMsgTableOpenFailed, path);
    } else {
        memo.SetMemoPath(path);
        dbase::TableWriter writer(*table, path, sink);
        if (const auto info = ReadTableInfoBlock(s, handle, writer)) {
            whole = CopyTableRows(s, handle, *info, writer, memo);
        }
    }

    if (table != nullptr && !table->Close()) {
        s.errors.ReportError(dbase::kMsgCloseFailed, path);
        whole = false;  // its last bytes may be missing
    }
    if (!memo.FinishMemoFile() || sink.lost_data()) {
        whole = false;  // reported by the dBase code
    }
    bool done = false;
    if (whole) {
        done = staged.Commit();
        if (!done) {
            s.errors.ReportError(dbase::kMsgWriteFailed,
                                 path + ": the new table could not replace the old one");
        }
    } else {
        staged.Discard();
    }
    if (done) {
        s.ops.ResetSyncFlags(handle);
    }
    CloseHandheldDb(s.ops, handle);
    return done ? 1 : Failed(s, db_name);
}

}  // namespace qx::tables

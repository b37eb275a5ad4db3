#include "conduit/tables/table_transfer.h"

#include <algorithm>
#include <new>
#include <vector>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/field_text.h"
#include "conduit/handheld_db/handheld_db.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/tables/field_encoding.h"
#include "conduit/tables/reporter_sink.h"
#include "conduit/tables/table_info_block.h"
#include "conduit/tables/table_messages.h"

namespace qx::tables {
namespace {

using dbase::DbaseType;

int Failed(const TableTransferSeams& s, std::string_view db_name) {
    s.log.Add("Copy table \"" + std::string(db_name) + "\" to Handheld - FAILED", kLogActivityText,
              0);
    return 0;
}

}  // namespace

std::optional<uint16_t> BuildTableInfoBlock(const TableTransferSeams& s,
                                            const dbase::TableImage& image,
                                            std::optional<uint8_t> handle) {
    const std::vector<dbase::TableColumn> fields = dbase::ReadColumns(image);
    if (fields.empty()) {
        s.errors.ReportError(kMsgTableHasNoFields, std::nullopt);
        return std::nullopt;
    }
    std::vector<uint8_t> block;
    try {
        std::vector<HandheldColumn> columns;
        columns.reserve(fields.size());
        for (const dbase::TableColumn& field : fields) {
            columns.push_back(HandheldColumnFor(field));
            if (!columns.back().known) {
                s.errors.ReportError(kMsgUnknownColMetaType, std::nullopt);
            }
        }
        block = EncodeTableInfoBlock(columns, image.record_length());
    } catch (const std::bad_alloc&) {
        s.errors.ReportError(kMsgInfoBlockOutOfMemory, std::nullopt);
        return std::nullopt;
    }
    // Without a database there is nothing to write to; that is the same failure to the user.
    if (!handle || !WriteAppInfoBlock(s.ops, *handle, block)) {
        s.errors.ReportError(kMsgCannotWriteInfoBlock, std::nullopt);
        return std::nullopt;
    }
    return static_cast<uint16_t>(fields.size());
}

bool CopyTableRecords(const TableTransferSeams& s, const dbase::TableImage& image,
                      dbase::MemoFile& memo, std::optional<uint8_t> handle) {
    const std::vector<dbase::TableColumn> fields = dbase::ReadColumns(image);
    std::vector<bool> as_long_integer;
    for (const dbase::TableColumn& field : fields) {
        // The 'S' letter tells the handheld (and our retrieval) that the value is a 64-bit
        // integer, whatever the field's width; the value must say the same.
        as_long_integer.push_back(HandheldColumnFor(field).letter ==
                                  static_cast<uint8_t>(PdaFieldType::kMarkedNumber));
    }
    std::vector<uint8_t> assembly(kAssemblySize);
    dbase::FieldText text;
    uint32_t written = 0;
    for (uint32_t record = 0; record < image.record_count(); ++record) {
        if (image.IsDeleted(record)) {
            continue;
        }
        if (written == kMaxHandheldRecords) {
            s.errors.ReportError(kMsgCannotCopyRecord, std::nullopt);  // the handheld is full
            return false;
        }
        std::size_t size = 0;
        bool fits = true;
        for (std::size_t i = 0; i < fields.size() && fits; ++i) {
            dbase::ReadFieldText(image, record, fields[i], memo, text);
            const std::span<uint8_t> rest = std::span(assembly).subspan(size);
            const std::size_t encoded =
                as_long_integer[i]
                    ? EncodeFieldValue(text.text, DbaseType::kNumeric, 10, 0, rest, s.errors)
                    : EncodeFieldValue(text.text, text.type, text.length, text.decimals, rest,
                                       s.errors);
            fits = encoded != 0;
            size += encoded;
        }
        // A record too large for the buffers cannot be written, like one the handheld refuses.
        if (!fits || !handle) {
            s.errors.ReportError(kMsgCannotCopyRecord, std::nullopt);
            return false;
        }
        std::copy_n(assembly.begin(), size, s.buffer.data.begin());
        if (!WriteRecordBuffer(s.ops, s.buffer, *handle, static_cast<uint32_t>(size))) {
            s.errors.ReportError(kMsgCannotCopyRecord, std::nullopt);
            return false;
        }
        ++written;
    }
    return true;
}

int CopyTableToHandheld(const TableTransferSeams& s, const std::string& path, uint32_t creator,
                        uint32_t flags) {
    ReporterSink sink(s.errors);
    dbase::TableImage image;
    dbase::MemoFile memo(s.files, sink);
    std::optional<uint8_t> handle;
    std::string db_name;
    bool done = false;

    std::unique_ptr<dbase::DesktopFile> table = s.files.Open(path, dbase::OpenMode::kRead);
    if (table == nullptr) {
        s.errors.ReportError(dbase::kMsgTableOpenFailed, path);
    } else {
        memo.SetMemoPath(path);
        if (dbase::LoadTable(*table, path, sink, image)) {
            db_name = MakeHandheldDbName(path, HandheldDbKind::kTable);
            uint8_t created = kNoHandle;
            if (RecreateHandheldDb(s.ops, s.errors, created, db_name, creator, kTableDbType,
                                   flags)) {
                handle = created;
            }
            if (BuildTableInfoBlock(s, image, handle)) {
                // Rows that fail after the block are reported there; the table is on the
                // handheld as far as it went.
                CopyTableRecords(s, image, memo, handle);
                done = true;
            }
        }
    }

    if (table != nullptr && !table->Close()) {
        s.errors.ReportError(dbase::kMsgCloseFailed, path);
    }
    memo.Close();  // reports 1300 with the memo path itself
    if (handle) {
        if (done) {
            s.ops.ResetSyncFlags(*handle);
        }
        CloseHandheldDb(s.ops, *handle);
    }
    image.Release();
    return done ? 1 : Failed(s, db_name);
}

}  // namespace qx::tables

#include "conduit/dbase/table_writer.h"

#include <algorithm>
#include <ctime>

#include "common/byte_io.h"
#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/table_image.h"

namespace qx::dbase {
namespace {

constexpr uint8_t kVersionPlain = 0x03;
constexpr uint8_t kVersionWithMemos = 0x8B;

}  // namespace

TableDate LocalDateToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool TableWriter::Failed(const char* step) {
    std::string detail = path_;
    detail += ": ";
    detail += step;
    errors_->ReportError(kMsgWriteFailed, detail);
    return false;
}

bool TableWriter::WriteTableHeader(std::span<const TableColumn> columns, uint32_t record_count,
                                   uint16_t record_length, TableDate date) {
    if (columns.size() > kMaxTableColumns) {
        return Failed("too many fields for a dBase header");
    }
    // A placeholder header, the descriptors and the terminator; the header is filled in after.
    ByteWriter body(ByteOrder::kLittle);
    body.Zeros(kTableHeaderSize);
    bool has_memos = false;
    for (const TableColumn& column : columns) {
        std::array<uint8_t, 11> name{};
        std::copy_n(column.name.begin(), std::min<std::size_t>(column.name.size(), name.size()),
                    name.begin());
        body.Bytes(name);
        body.U8(static_cast<uint8_t>(column.type));
        body.Zeros(4);  // no ColMetaType or marker: those stay with the handheld table
        body.U8(column.length);
        body.U8(column.decimals);
        body.Zeros(14);
        has_memos =
            has_memos || column.type == DbaseType::kMemo || column.type == DbaseType::kPicture;
    }
    body.U8(kDescriptorEnd);
    if (!file_->Write(body.bytes())) {
        return Failed("field descriptors");
    }

    ByteWriter header(ByteOrder::kLittle);
    header.U8(has_memos ? kVersionWithMemos : kVersionPlain);
    header.U8(static_cast<uint8_t>(date.year - 1900));
    header.U8(static_cast<uint8_t>(date.month));
    header.U8(static_cast<uint8_t>(date.day));
    header.U32(record_count);
    header.U16(static_cast<uint16_t>(kDescriptorSize * columns.size() + kTableHeaderSize + 1));
    header.U16(record_length);
    header.Zeros(20);
    const uint64_t rows_start = file_->Position();
    if (!file_->Seek(0) || !file_->Write(header.bytes()) || !file_->Seek(rows_start)) {
        return Failed("table header");
    }
    return true;
}

bool TableWriter::WriteTableRow(std::span<const uint8_t> row) {
    return file_->Write(row) || Failed("table row");
}

bool TableWriter::EndTableFile() {
    const uint8_t end = kEndOfFile;
    return file_->Write(std::span(&end, 1)) || Failed("end-of-file byte");
}

}  // namespace qx::dbase

#pragma once
// Writes a new table file (.DBF): the header and field descriptors, then rows, then the
// end-of-file byte. The layout is the one table_image.h describes; a written file has version
// 0x03, or 0x8B when a field is a memo or picture (their memos carry block headers), the date of
// writing, and descriptors without the meta marker.

#include <cstdint>
#include <span>
#include <string>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/error_sink.h"
#include "conduit/dbase/table_column.h"

namespace qx::dbase {

struct TableDate {
    int year = 1900;  // full year; stored as year - 1900
    int month = 1;    // 1..12
    int day = 1;      // 1..31
};

TableDate LocalDateToday();

// The most fields a header can describe: its length, 32 x fields + 33, is a 16-bit count.
inline constexpr std::size_t kMaxTableColumns = (0xFFFF - 33) / 32;

class TableWriter {
  public:
    // `file` is the newly created, empty table file; `path` is used in messages.
    TableWriter(DesktopFile& file, std::string path, ErrorSink& errors)
        : file_(&file), path_(std::move(path)), errors_(&errors) {}

    // Writes the header, one descriptor per column (name, type, length and decimals taken from
    // it) and the terminator, and leaves the file positioned for the first row. The record count
    // is fixed here. False (reported) on a write failure or more than kMaxTableColumns columns.
    [[nodiscard]] bool WriteTableHeader(std::span<const TableColumn> columns, uint32_t record_count,
                                        uint16_t record_length, TableDate date);
    [[nodiscard]] bool WriteTableHeader(std::span<const TableColumn> columns, uint32_t record_count,
                                        uint16_t record_length) {
        return WriteTableHeader(columns, record_count, record_length, LocalDateToday());
    }

    // Appends one row (the record-length bytes of a row buffer).
    [[nodiscard]] bool WriteTableRow(std::span<const uint8_t> row);
    // Appends the end-of-file byte 0x1A.
    [[nodiscard]] bool EndTableFile();

  private:
    bool Failed(const char* step);

    DesktopFile* file_;
    std::string path_;
    ErrorSink* errors_;
};

}  // namespace qx::dbase

#pragma once
// A dBase table as readable text, the form qxdbf makes tables from and shows them in:
//
//   # Customers of the Orders example
//   field CUSTNO  N 6
//   field BALANCE N 10 2
//   field NAME    C 30
//   field SINCE   D
//   field ACTIVE  L
//   field NOTES   M
//   row     1001 | 1250.50 | Ada Byron | 19990312 | T | Morning deliveries.\nCall first.
//   deleted 1002 | 0 | Old customer | | F |
//
// One item per line; blank lines and lines starting with '#' are skipped. A field line gives the
// name (at most 11 characters), the type letter and, for C and N, the length (1-254) and for N
// the decimal count; D, L, M and G have their fixed lengths. A row lists one value per field,
// separated by '|', with the blanks around each value dropped; "deleted" in place of "row" keeps
// the row marked deleted. In values "\n" is a line break (CR LF in the table), "\|" a bar, "\\" a
// backslash, "\t" a tab and "\xHH" any byte. Text is ANSI; the table stores it in the OEM code
// page, as the conduit does. Picture (G) fields can only be left empty.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/table_column.h"

namespace qx::qxdbf {

struct DescribedRow {
    bool deleted = false;
    std::vector<std::string> values;  // ANSI, escapes resolved
};

struct TableDescription {
    std::vector<dbase::TableColumn> columns;
    std::vector<DescribedRow> rows;
};

// Parses a description; on a fault answers nothing and sets `error` to "LINE: what", naming the
// line and what is wrong with it.
std::optional<TableDescription> ParseTableDescription(std::string_view text, std::string& error);

// Writes the table (and its memo file when a memo has text) at `path` through `files`, replacing
// files of those names only once the new ones are whole. False with `error` set when a file
// cannot be written; then the old files are as they were.
bool WriteDescribedTable(const TableDescription& table, dbase::DesktopFileSystem& files,
                         const std::string& path, std::string& error);

// The description of the table at `path` (memos read from its memo file), in the form the parser
// takes. Values are shown as the conduit reads them, without surrounding blanks, so making the
// table again gives the same rows unless a value began with a blank. False with `error` set when
// the table cannot be read.
bool DescribeTable(dbase::DesktopFileSystem& files, const std::string& path, std::string& out,
                   std::string& error);

}  // namespace qx::qxdbf

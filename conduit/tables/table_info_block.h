#pragma once
// The TableInfoBlock: the application info block of a handheld table database, listing its
// columns. Big-endian, a 34-byte header and one 44-byte entry per column in dBase field order.
//
// Header:  0  4  type tag 'Q','X','T','D'
//          4  2  column count
//          6  2  format version 0x0210
//          8  4  zero
//         12  2  record length of the dBase table, deletion flag included
//         14  8  two 32-bit words, written as zero and never read
//         22 12  zero
// Entry:   0  1  decimal count of the dBase field
//          1  1  PDA_FIELDTYPE letter
//          2 11  column name, NUL-padded (11 characters leave no NUL)
//         13 21  zero
//         34  2  column width
//         36  8  zero

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "conduit/dbase/table_column.h"

namespace qx::tables {

inline constexpr std::size_t kInfoHeaderSize = 34;
inline constexpr std::size_t kInfoEntrySize = 44;
inline constexpr uint16_t kInfoVersion = 0x0210;
inline constexpr uint8_t kInfoTypeTag[4] = {'Q', 'X', 'T', 'D'};
// The width of a desktop memo column on the handheld.
inline constexpr uint16_t kMemoColumnWidth = 0x8000;

// PDA_FIELDTYPE: a column's letter on the handheld.
enum class PdaFieldType : uint8_t {
    kText = 'C',          // text, also desktop memos
    kMarkedText = 'T',    // text column marked with ColMetaType 4
    kDate = 'D',          // the date's 8 characters, no NUL
    kLogical = 'L',       // the one character, no NUL
    kPicture = 'G',       // ink; always sent empty
    kInteger = 'N',       // 32-bit signed integer
    kLongInteger = 'Q',   // 64-bit signed integer
    kFloat = 'F',         // 64-bit IEEE double
    kMarkedNumber = 'S',  // numeric column marked with ColMetaType 6
};

// The designer's marks that change a column's letter.
inline constexpr uint8_t kColMetaMarkedText = 4;
inline constexpr uint8_t kColMetaMarkedNumber = 6;

struct HandheldColumn {
    uint8_t decimals = 0;
    uint8_t letter = 'C';  // a PdaFieldType, or the dBase letter of a type we do not know
    std::string name;      // at most 11 characters
    uint16_t width = 0;
    bool known = true;  // false: the dBase type has no handheld counterpart
};

// The handheld column of one dBase field.
HandheldColumn HandheldColumnFor(const dbase::TableColumn& field);

// The block's bytes for these columns: 34 + 44 x columns.size().
std::vector<uint8_t> EncodeTableInfoBlock(std::span<const HandheldColumn> columns,
                                          uint16_t record_length);

struct ParsedInfoBlock {
    bool ok = false;
    std::string error;  // names the field and offset when !ok
    uint16_t record_length = 0;
    std::vector<HandheldColumn> columns;
};

// Reads a block that came from a handheld. Only the column count, the record length and the
// entries are used; the type tag and version are not checked, so tables of other versions still
// come back. A block shorter than its column count says is refused, never read past.
ParsedInfoBlock ParseTableInfoBlock(std::span<const uint8_t> block);

}  // namespace qx::tables

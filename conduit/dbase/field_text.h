#pragma once
// The text of one field of one record, as the transfer to the handheld takes it: trimmed, memos
// fetched from the memo file, and converted to the ANSI code page.

#include <cstdint>
#include <string>
#include <string_view>

#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/table_column.h"
#include "conduit/dbase/table_image.h"

namespace qx::dbase {

struct FieldText {
    std::string text;  // ANSI; ends at the first NUL the field or memo holds
    DbaseType type = DbaseType::kCharacter;
    uint8_t length = 0;
    uint8_t decimals = 0;
};

// The memo block number a memo or picture field refers to: a base-10 number after optional
// blanks and sign; 0 when the field holds no number, -1 for a number that cannot be a block
// (negative, or beyond 32 bits).
int64_t ParseMemoReference(std::string_view field);

// Field `column` of record `record` of the loaded image. A memo field's text comes from `memo`;
// when it cannot be read the text is kMemoUnreadableText. Picture fields give an empty text.
// Bytes of a field that would lie past the record's end are not read.
FieldText ReadFieldText(const TableImage& image, uint32_t record, const TableColumn& column,
                        MemoFile& memo);
// The same into `out`, whose text keeps its storage from one field to the next: a table's
// transfer reads every field of every row, and a fresh string for each costs more than the rest.
void ReadFieldText(const TableImage& image, uint32_t record, const TableColumn& column,
                   MemoFile& memo, FieldText& out);

}  // namespace qx::dbase

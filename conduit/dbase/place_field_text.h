#pragma once
// Puts one field value into a row buffer that is about to be written to a new table file.

#include <cstdint>
#include <span>

#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/table_column.h"

namespace qx::dbase {

enum class PlaceKind {
    kLeftAligned,   // text from the field's first byte
    kRightAligned,  // text ending at the field's last byte (numbers)
    kMemoText,      // stored in the memo file; the field gets the memo reference
    kPicture,       // handed to the picture conversion; the field gets the memo reference
};

// Turns a handheld picture into a picture record in the memo file. Implemented by the picture
// conversion; answers the record's first block, or 0 when nothing was stored.
class PictureConverter {
  public:
    virtual ~PictureConverter() = default;
    virtual uint32_t ConvertPicture(std::span<const uint8_t> ink, MemoFile& memo) = 0;
};

// `row` is record-length bytes that the caller filled with spaces (so the record is live). Text
// other than pictures is converted from ANSI to OEM. Memo text is appended to `memo` with block
// header; pictures go to `pictures` (none stores nothing). Either way the field receives the block
// number as ten digits with leading zeros, or ten spaces when nothing was stored. Bytes that
// would fall outside the field or the row are not written.
void PlaceFieldText(std::span<uint8_t> row, const TableColumn& column,
                    std::span<const uint8_t> text, PlaceKind kind, MemoFile& memo,
                    PictureConverter* pictures);

}  // namespace qx::dbase

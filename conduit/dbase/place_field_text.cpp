#include "conduit/dbase/place_field_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "conduit/dbase/code_page.h"

namespace qx::dbase {
namespace {

constexpr std::size_t kMemoReferenceLength = 10;

}  // namespace

void PlaceFieldText(std::span<uint8_t> row, const TableColumn& column,
                    std::span<const uint8_t> text, PlaceKind kind, MemoFile& memo,
                    PictureConverter* pictures) {
    std::vector<uint8_t> value(text.begin(), text.end());
    if (kind != PlaceKind::kPicture) {
        AnsiToOem(value);  // picture bytes are data, not text
    }

    if (kind == PlaceKind::kMemoText || kind == PlaceKind::kPicture) {
        const uint32_t block =
            kind == PlaceKind::kMemoText
                ? memo.AppendMemo(value, true)
                : (pictures != nullptr ? pictures->ConvertPicture(text, memo) : 0);
        char reference[kMemoReferenceLength + 1];
        if (block != 0) {
            // Unsigned, so every block number keeps to ten digits.
            std::snprintf(reference, sizeof reference, "%010u", static_cast<unsigned>(block));
        } else {
            std::fill_n(reference, kMemoReferenceLength, ' ');
        }
        value.assign(reference, reference + kMemoReferenceLength);
    }

    // The field's bytes within the row; a field the record length does not cover is cut.
    const std::size_t field_start =
        std::min<std::size_t>(1 + std::size_t{column.offset}, row.size());
    const std::size_t field_end = std::min<std::size_t>(field_start + column.length, row.size());
    const std::size_t room = field_end - field_start;
    const std::size_t count = std::min(value.size(), room);
    const std::size_t at = kind == PlaceKind::kRightAligned ? field_end - count : field_start;
    std::copy_n(value.begin(), count, row.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace qx::dbase

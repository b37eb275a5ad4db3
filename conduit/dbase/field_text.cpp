#include "conduit/dbase/field_text.h"

#include <algorithm>

#include "conduit/dbase/code_page.h"
#include "conduit/dbase/dbase_messages.h"

namespace qx::dbase {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void CutAtNul(std::string& text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
}

void Trim(std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    text.erase(text.begin(), first);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank);
    text.erase(last.base(), text.end());
}

}  // namespace

int64_t ParseMemoReference(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && IsBlank(field[i])) {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > int64_t{UINT32_MAX}) {
            return -1;
        }
    }
    if (negative && value != 0) {
        return -1;
    }
    return value;
}

FieldText ReadFieldText(const TableImage& image, uint32_t record, const TableColumn& column,
                        MemoFile& memo) {
    FieldText result;
    ReadFieldText(image, record, column, memo, result);
    return result;
}

void ReadFieldText(const TableImage& image, uint32_t record, const TableColumn& column,
                   MemoFile& memo, FieldText& result) {
    result.text.clear();
    result.type = column.type;
    result.length = column.length;
    result.decimals = column.decimals;

    const auto bytes = image.Record(record);
    const uint64_t start = uint64_t{1} + column.offset;
    if (start < bytes.size()) {
        const auto end = std::min<uint64_t>(start + column.length, bytes.size());
        result.text.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                           bytes.begin() + static_cast<std::ptrdiff_t>(end));
    }
    CutAtNul(result.text);

    if (column.type == DbaseType::kMemo) {
        const int64_t block = ParseMemoReference(result.text);
        if (block == 0) {
            result.text.clear();
        } else if (block < 0 || !memo.ReadMemo(static_cast<uint32_t>(block),
                                               image.memos_have_block_header(), result.text)) {
            result.text = kMemoUnreadableText;
        }
        CutAtNul(result.text);
    } else if (column.type == DbaseType::kPicture) {
        result.text.clear();  // pictures never go to the handheld
    }

    Trim(result.text);
    OemToAnsi(std::span(reinterpret_cast<uint8_t*>(result.text.data()), result.text.size()));
}

}  // namespace qx::dbase

#include "conduit/app/control_entry.h"

#include <string>
#include <vector>

#include "conduit/app/control_detail.h"
#include "conduit/app/script_block.h"

namespace qx {
namespace {

constexpr int32_t kSinceSecondWord = 263;
constexpr int32_t kSinceScriptDetail = 273;

// Offsets in the header.
constexpr std::size_t kAtSize = 6;
constexpr std::size_t kAtTypeWord = 26;

constexpr uint32_t kType9LongBit = 0x4;  // the engine expects it in every type 9 control long

constexpr uint16_t kListPartStart = 16;        // type 3, 14: where the detail begins
constexpr uint16_t kScriptPartStart = 22;      // type 17: where the script begins
constexpr std::size_t kBitmapPartFixed = 16;   // type 7: before the rows
constexpr std::size_t kBitmapPartTrailer = 4;  // type 7: zeros after the rows

bool Full(PdaReader& reader) {
    return reader.Fail(PdaFailure::kRecordTooLarge, "control");
}

struct Common {
    uint16_t type = 0;
    uint32_t control_long = 0;
    uint16_t word = 0;
    uint16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t second_word = 0;
};

// Reads the type word of the types that have one and keeps it in the header.
bool TypeWord(PdaReader& reader, RecordWriter& out, std::size_t start) {
    uint16_t v = 0;
    if (!reader.Word(v, "type word")) {
        return false;
    }
    out.PatchU16(start + kAtTypeWord, v);
    return true;
}

// A size word, the string and a pad byte when needed. The size counts the sub-part from its
// start: `lead` bytes up to and including the size word, then the string and its terminator.
bool SizedString(RecordWriter& out, std::size_t lead, const std::string& text) {
    const std::size_t size = (lead + text.size() + 1 + 1) & ~std::size_t{1};
    return out.U16(static_cast<uint16_t>(size)) && out.CString(text) &&
           out.Zeros(size - lead - text.size() - 1);
}

// Type 7: a one-bit bitmap of the control's size. Each row is padded to even on the handheld and
// the whole area is inverted, so the padding ends up all ones.
bool Bitmap(PdaReader& reader, RecordWriter& out, const Common& c) {
    const int width = static_cast<int16_t>(c.right) - static_cast<int16_t>(c.left);
    const int height = static_cast<int16_t>(c.bottom) - static_cast<int16_t>(c.top);
    if (width < 0 || height < 0) {
        return reader.Fail(PdaFailure::kBadBitmapSize, "bitmap size");
    }
    const std::size_t file_row = (static_cast<std::size_t>(width) + 7) / 8;
    const std::size_t row_bytes = (file_row + 1) & ~std::size_t{1};
    std::span<const uint8_t> rows;
    if (!reader.Bytes(file_row * static_cast<std::size_t>(height), rows, "bitmap rows")) {
        return false;
    }
    if (!out.U16(static_cast<uint16_t>(width)) || !out.U16(static_cast<uint16_t>(height)) ||
        !out.U16(static_cast<uint16_t>(row_bytes)) || !out.Zeros(kBitmapPartFixed - 6)) {
        return Full(reader);
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(height); ++r) {
        for (uint8_t b : rows.subspan(r * file_row, file_row)) {
            if (!out.U8(static_cast<uint8_t>(~b))) {
                return Full(reader);
            }
        }
        if (row_bytes != file_row && !out.U8(0xFF)) {
            return Full(reader);
        }
    }
    return out.Zeros(kBitmapPartTrailer) || Full(reader);
}

// Type 10: a table of six-word entries, stored with the third word moved to the end.
bool Grid(PdaReader& reader, RecordWriter& out) {
    uint16_t a = 0, count = 0;
    reader.Word(a, "grid word");
    if (!reader.Word(count, "grid entry count")) {
        return false;
    }
    const std::size_t table_size = 6 + 12 * std::size_t{count};
    if (table_size > 0xFFFF || !out.U16(a) || !out.U16(count) ||
        !out.U16(static_cast<uint16_t>(table_size))) {
        return Full(reader);
    }
    for (std::size_t i = 0; i < count; ++i) {
        uint16_t e[6] = {};
        for (auto& w : e) {
            reader.Word(w, "grid entry");
        }
        if (!reader.ok()) {
            return false;
        }
        for (int k : {0, 1, 3, 4, 5, 2}) {
            if (!out.U16(e[k])) {
                return Full(reader);
            }
        }
    }
    return ConvertControlDetail(reader, out);
}

bool ScriptControl(PdaReader& reader, RecordWriter& out) {
    uint16_t a = 0;
    if (!reader.Word(a, "script control word")) {
        return false;
    }
    const std::size_t part = out.size();
    if (!out.U16(a) || !out.U16(kScriptPartStart) || !out.Zeros(kScriptPartStart - 4)) {
        return Full(reader);
    }
    std::size_t script_size = 0;
    if (!ConvertScriptBlock(reader, out, script_size)) {
        return false;
    }
    if (!reader.Has(kSinceScriptDetail)) {
        return true;
    }
    out.PatchU16(part + 4, static_cast<uint16_t>(kScriptPartStart + script_size));
    return ConvertControlDetail(reader, out);
}

bool TypePart(PdaReader& reader, RecordWriter& out, std::size_t start, const Common& c) {
    std::string text;
    uint16_t a = 0, b = 0, w = 0;
    switch (c.type) {
        case 2:
        case 16:
            return true;
        case 3:
        case 14: {
            if (!TypeWord(reader, out, start)) {
                return false;
            }
            for (int i = 0; i < 7; ++i) {
                if (!reader.Word(w, "list word")) {
                    return false;
                }
                if (!out.U16(w)) {
                    return Full(reader);
                }
            }
            if (!out.U16(kListPartStart)) {
                return Full(reader);
            }
            return ConvertControlDetail(reader, out);
        }
        case 4:
        case 5:
            if (!reader.String(text, "control text")) {
                return false;
            }
            return out.CString(text) || Full(reader);
        case 6:
            reader.Word(a, "control word a");
            if (!TypeWord(reader, out, start) || !reader.Word(w, "control word w")) {
                return false;
            }
            return (out.U16(a) && out.U16(w)) || Full(reader);
        case 7:
            return Bitmap(reader, out, c);
        case 8:
            if (!reader.String(text, "control text")) {
                return false;
            }
            if (!SizedString(out, 2, text)) {
                return Full(reader);
            }
            return ConvertControlDetail(reader, out);
        case 9:
            if (!TypeWord(reader, out, start) || !reader.Word(w, "control word w")) {
                return false;
            }
            return (out.U16(1) && out.U16(w)) || Full(reader);
        case 10:
            return Grid(reader, out);
        case 11:
        case 12:
            if (!reader.String(text, "control text") || !TypeWord(reader, out, start)) {
                return false;
            }
            if (c.type == 12) {
                reader.Word(a, "control word a");
                reader.Word(b, "control word b");
                if (!reader.ok()) {
                    return false;
                }
            }
            if (!out.U16(a) || !out.U16(b) || !SizedString(out, 6, text)) {
                return Full(reader);
            }
            return ConvertControlDetail(reader, out);
        case 13:
            if (!TypeWord(reader, out, start)) {
                return false;
            }
            return out.U8(0) || Full(reader);
        case 15: {
            uint16_t third = 0;
            if (!TypeWord(reader, out, start)) {
                return false;
            }
            reader.Word(a, "control word a");
            reader.Word(b, "control word b");
            if (!reader.Word(third, "control word c")) {
                return false;
            }
            return (out.U16(a) && out.U16(b) && out.U16(0) && out.U16(third) && out.U16(0)) ||
                   Full(reader);
        }
        case 17:
            return ScriptControl(reader, out);
        default:
            return reader.Fail(PdaFailure::kBadControlType, "control type");
    }
}

}  // namespace

bool ConvertControl(PdaReader& reader, RecordWriter& out) {
    Common c;
    if (!reader.Word(c.type, "control type")) {
        return false;
    }
    if (c.type < kFirstControlType || c.type > kLastControlType) {
        return reader.Fail(PdaFailure::kBadControlType, "control type");
    }
    reader.Long(c.control_long, "control long");
    reader.Word(c.word, "control word");
    reader.Word(c.left, "left");
    reader.Word(c.top, "top");
    reader.Word(c.right, "right");
    reader.Word(c.bottom, "bottom");
    if (reader.Has(kSinceSecondWord)) {
        reader.Word(c.second_word, "second control word");
    }
    if (!reader.ok()) {
        return false;
    }
    if (c.type == 9) {
        c.control_long |= kType9LongBit;
    }
    const std::size_t start = out.size();
    if (!out.Text(kControlTag) || !out.U16(kControlHeaderSize) || !out.U16(0) || !out.U16(c.type) ||
        !out.U32(c.control_long) || !out.U16(c.word) || !out.U16(c.left) || !out.U16(c.top) ||
        !out.U16(c.right) || !out.U16(c.bottom) || !out.U16(c.second_word) ||
        !out.Zeros(kControlHeaderSize - 26)) {
        return Full(reader);
    }
    if (!TypePart(reader, out, start, c)) {
        return false;
    }
    if (!out.AlignEvenFrom(start)) {
        return Full(reader);
    }
    out.PatchU16(start + kAtSize, static_cast<uint16_t>(out.size() - start));
    return true;
}

}  // namespace qx

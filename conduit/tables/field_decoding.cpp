#include "conduit/tables/field_decoding.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "common/byte_io.h"
#include "conduit/handheld_db/byte_swap.h"
#include "conduit/tables/table_messages.h"

namespace qx::tables {
namespace {

using dbase::PlaceKind;

constexpr uint8_t kLongPrefix = 0xFF;
// The ink record starts this far into a picture's encoded field.
constexpr std::size_t kPictureDataAt = 4;

std::vector<uint8_t> Printed(const char* format, auto... values) {
    const int size = std::snprintf(nullptr, 0, format, values...);
    if (size <= 0) {
        return {};
    }
    std::vector<uint8_t> text(static_cast<std::size_t>(size) + 1);
    std::snprintf(reinterpret_cast<char*>(text.data()), text.size(), format, values...);
    text.pop_back();
    return text;
}

bool Refuse(DecodedField& out, const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    out.error = text;
    out.ok = false;
    return false;
}

bool DecodeValue(std::span<const uint8_t> field, std::size_t value_at,
                 std::span<const uint8_t> value, const RetrievalColumn& column,
                 ErrorReporter& errors, DecodedField& out) {
    switch (static_cast<PdaFieldType>(column.letter)) {
        case PdaFieldType::kText: {
            const auto end = std::find(value.begin(), value.end(), uint8_t{0});
            for (auto it = value.begin(); it != end && out.text.size() < kMaxDecodedText; ++it) {
                if (*it == '\n') {
                    out.text.push_back('\r');
                    if (out.text.size() == kMaxDecodedText) {
                        break;  // the scratch space is full; the line feed has no room
                    }
                }
                out.text.push_back(*it);
            }
            return true;
        }
        case PdaFieldType::kDate:
        case PdaFieldType::kLogical:
        case PdaFieldType::kMarkedText:
            out.text.assign(value.begin(), value.end());
            return true;
        case PdaFieldType::kFloat:
            if (value.size() != 8) {
                return Refuse(out, "a double takes 8 bytes, the value at 0x%zx has %zu", value_at,
                              value.size());
            }
            out.text = Printed("%*.*f", int{column.width}, int{column.decimals},
                               SwapDouble(value.first<8>()));
            return true;
        case PdaFieldType::kInteger:
        case PdaFieldType::kLongInteger:
        case PdaFieldType::kMarkedNumber:
            // Read by the value's own size, so a 4-byte value under an 8-byte letter (or the
            // reverse) still comes back as the number it holds.
            if (value.size() == 4) {
                const auto number =
                    static_cast<int32_t>(LoadU32(value.first<4>(), ByteOrder::kBig));
                out.text = Printed("%" PRId32, number);
                return true;
            }
            if (value.size() == 8) {
                const uint64_t high = LoadU32(value.first<4>(), ByteOrder::kBig);
                const uint64_t low = LoadU32(value.subspan<4, 4>(), ByteOrder::kBig);
                out.text = Printed("%" PRId64, static_cast<int64_t>(high << 32 | low));
                return true;
            }
            return Refuse(out, "an integer takes 4 or 8 bytes, the value at 0x%zx has %zu",
                          value_at, value.size());
        case PdaFieldType::kPicture: {
            // In both prefix forms the ink record starts at offset 4 of the encoded field.
            const std::size_t end = value_at + value.size();
            if (end > kPictureDataAt) {
                out.text.assign(field.begin() + static_cast<std::ptrdiff_t>(kPictureDataAt),
                                field.begin() + static_cast<std::ptrdiff_t>(end));
            }
            return true;
        }
    }
    errors.ReportError(kMsgUnknownPdaFieldType, std::nullopt);
    out.text.assign(1, 0);
    return true;
}

}  // namespace

DecodedField DecodeFieldValue(std::span<const uint8_t> field, const RetrievalColumn& column,
                              ErrorReporter& errors) {
    DecodedField out;
    ByteReader reader(field, ByteOrder::kBig);
    uint8_t first = 0;
    uint16_t n = 0;
    if (!reader.U8(first, "field length")) {
        Refuse(out, "%s", reader.error().c_str());
        return out;
    }
    if (first == kLongPrefix) {
        if (!reader.U16(n, "field length")) {
            Refuse(out, "%s", reader.error().c_str());
            return out;
        }
    } else {
        n = first;
    }
    const std::size_t value_at = reader.offset();
    std::span<const uint8_t> value;
    if (!reader.View(n, value, "field value")) {
        Refuse(out, "%s", reader.error().c_str());
        return out;
    }
    out.encoded_size = reader.offset();
    if (n != 0 && !DecodeValue(field, value_at, value, column, errors, out)) {
        return out;
    }

    std::size_t length = std::min<std::size_t>(out.text.size(), column.width);
    if (column.kind == PlaceKind::kLeftAligned || column.kind == PlaceKind::kRightAligned) {
        length = std::min<std::size_t>(length, column.field.length);
    }
    out.length = length;
    out.ok = true;
    return out;
}

}  // namespace qx::tables

#include "conduit/tables/table_info_block.h"

#include <algorithm>
#include <cstdio>

#include "common/byte_io.h"

namespace qx::tables {
namespace {

using dbase::DbaseType;

constexpr std::size_t kNameSize = 11;

uint8_t Letter(PdaFieldType type) {
    return static_cast<uint8_t>(type);
}

}  // namespace

HandheldColumn HandheldColumnFor(const dbase::TableColumn& field) {
    HandheldColumn column;
    column.decimals = field.decimals;
    column.name = field.name.substr(0, kNameSize);
    column.width = field.length;
    switch (field.type) {
        case DbaseType::kCharacter:
            column.letter = Letter(field.meta == kColMetaMarkedText ? PdaFieldType::kMarkedText
                                                                    : PdaFieldType::kText);
            break;
        case DbaseType::kDate:
            column.letter = Letter(PdaFieldType::kDate);
            break;
        case DbaseType::kPicture:
            column.letter = Letter(PdaFieldType::kPicture);
            break;
        case DbaseType::kLogical:
            column.letter = Letter(PdaFieldType::kLogical);
            break;
        case DbaseType::kMemo:
            column.letter = Letter(PdaFieldType::kText);
            column.width = kMemoColumnWidth;
            break;
        case DbaseType::kNumeric:
            if (field.meta == kColMetaMarkedNumber) {
                column.letter = Letter(PdaFieldType::kMarkedNumber);
            } else if (field.decimals != 0) {
                column.letter = Letter(PdaFieldType::kFloat);
            } else if (field.length < 10) {
                column.letter = Letter(PdaFieldType::kInteger);
            } else {
                column.letter = Letter(PdaFieldType::kLongInteger);
            }
            break;
        default:
            column.letter = static_cast<uint8_t>(field.type);
            column.known = false;
            break;
    }
    return column;
}

std::vector<uint8_t> EncodeTableInfoBlock(std::span<const HandheldColumn> columns,
                                          uint16_t record_length) {
    ByteWriter out(ByteOrder::kBig);
    out.Bytes(kInfoTypeTag);
    out.U16(static_cast<uint16_t>(columns.size()));
    out.U16(kInfoVersion);
    out.Zeros(4);
    out.U16(record_length);
    out.Zeros(8);  // the two words nothing reads
    out.Zeros(12);
    for (const HandheldColumn& column : columns) {
        out.U8(column.decimals);
        out.U8(column.letter);
        std::array<uint8_t, kNameSize> name{};
        std::copy_n(column.name.begin(), std::min(column.name.size(), kNameSize), name.begin());
        out.Bytes(name);
        out.Zeros(21);
        out.U16(column.width);
        out.Zeros(8);
    }
    return out.Take();
}

ParsedInfoBlock ParseTableInfoBlock(std::span<const uint8_t> block) {
    ParsedInfoBlock parsed;
    ByteReader reader(block, ByteOrder::kBig);
    uint16_t count = 0;
    if (!reader.Skip(4, "type tag") || !reader.U16(count, "column count") ||
        !reader.Skip(6, "version") || !reader.U16(parsed.record_length, "record length") ||
        !reader.Skip(20, "header")) {
        parsed.error = reader.error();
        return parsed;
    }
    const std::size_t needed = kInfoHeaderSize + kInfoEntrySize * std::size_t{count};
    if (block.size() < needed) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "%u columns (count at offset 0x4) need 0x%zx bytes, the block holds 0x%zx",
                      unsigned{count}, needed, block.size());
        parsed.error = text;
        return parsed;
    }
    parsed.columns.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        HandheldColumn column;
        std::array<uint8_t, kNameSize> name{};
        if (!reader.U8(column.decimals, "decimal count") || !reader.U8(column.letter, "letter") ||
            !reader.Bytes(name, "column name") || !reader.Skip(21, "entry") ||
            !reader.U16(column.width, "column width") || !reader.Skip(8, "entry")) {
            parsed.error = reader.error();
            return parsed;
        }
        column.name.assign(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
        parsed.columns.push_back(std::move(column));
    }
    parsed.ok = true;
    return parsed;
}

}  // namespace qx::tables

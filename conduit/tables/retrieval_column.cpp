#include "conduit/tables/retrieval_column.h"

#include <algorithm>

namespace qx::tables {
namespace {

using dbase::DbaseType;
using dbase::PlaceKind;

constexpr uint8_t kMemoFieldLength = 10;
constexpr uint8_t kDateFieldLength = 8;
constexpr uint8_t kLogicalFieldLength = 1;

uint8_t FieldLengthFor(uint16_t width) {
    return static_cast<uint8_t>(std::min<uint16_t>(width, 255));
}

void Map(RetrievalColumn& c) {
    switch (static_cast<PdaFieldType>(c.letter)) {
        case PdaFieldType::kText:
            if (c.width > kWidestTextField) {
                c.field.type = DbaseType::kMemo;
                c.field.length = kMemoFieldLength;
                c.kind = PlaceKind::kMemoText;
                return;
            }
            [[fallthrough]];
        case PdaFieldType::kMarkedText:
            c.field.type = DbaseType::kCharacter;
            c.field.length = FieldLengthFor(c.width);
            return;
        case PdaFieldType::kDate:
            c.field.type = DbaseType::kDate;
            c.field.length = kDateFieldLength;
            return;
        case PdaFieldType::kLogical:
            c.field.type = DbaseType::kLogical;
            c.field.length = kLogicalFieldLength;
            return;
        case PdaFieldType::kPicture:
            c.field.type = DbaseType::kPicture;
            c.field.length = kMemoFieldLength;
            c.kind = PlaceKind::kPicture;
            return;
        case PdaFieldType::kFloat:
        case PdaFieldType::kInteger:
        case PdaFieldType::kLongInteger:
        case PdaFieldType::kMarkedNumber:
            c.field.type = DbaseType::kNumeric;
            c.field.length = FieldLengthFor(c.width);
            c.kind = PlaceKind::kRightAligned;
            return;
    }
    c.known = false;
    c.field.type = DbaseType::kCharacter;
    c.field.length = FieldLengthFor(c.width);
}

}  // namespace

std::vector<RetrievalColumn> RetrievalColumnsFor(std::span<const HandheldColumn> entries) {
    std::vector<RetrievalColumn> columns;
    columns.reserve(entries.size());
    uint32_t offset = 0;
    for (const HandheldColumn& entry : entries) {
        RetrievalColumn c;
        c.letter = entry.letter;
        c.width = entry.width;
        c.decimals = entry.decimals;
        c.field.name = entry.name;
        c.field.decimals = entry.decimals;
        Map(c);
        c.field.offset = offset;
        offset += c.field.length;
        columns.push_back(std::move(c));
    }
    return columns;
}

uint32_t MinimumRecordLength(std::span<const RetrievalColumn> columns) {
    uint32_t length = 1;
    for (const RetrievalColumn& c : columns) {
        length += c.field.length;
    }
    return length;
}

}  // namespace qx::tables

#include "tools/qxhandheld/table_record.h"

#include "conduit/dbase/dbase_type.h"
#include "conduit/sync/error_reporter.h"
#include "conduit/tables/field_decoding.h"
#include "conduit/tables/field_encoding.h"
#include "conduit/tables/retrieval_column.h"

namespace qx {
namespace {

using dbase::DbaseType;
using tables::PdaFieldType;

// Unknown letters are refused before any value is decoded or encoded, so nothing is reported.
class IgnoredErrors final : public ErrorReporter {
  public:
    void ReportError(std::string_view, std::optional<std::string_view>) override {}
};

struct SplitRecord {
    std::vector<tables::RetrievalColumn> columns;
    std::vector<tables::DecodedField> fields;
};

std::optional<SplitRecord> Split(std::span<const uint8_t> info_block,
                                 std::span<const uint8_t> record, std::string& error) {
    const auto info = tables::ParseTableInfoBlock(info_block);
    if (!info.ok) {
        error = "not a table database: " + info.error;
        return std::nullopt;
    }
    SplitRecord split{tables::RetrievalColumnsFor(info.columns), {}};
    IgnoredErrors ignored;
    std::size_t at = 0;
    for (const auto& column : split.columns) {
        if (!column.known) {
            error = "column " + column.field.name + " has a letter this tool does not know";
            return std::nullopt;
        }
        auto field = tables::DecodeFieldValue(record.subspan(at), column, ignored);
        if (!field.ok) {
            error = "column " + column.field.name + ": " + field.error;
            return std::nullopt;
        }
        at += field.encoded_size;
        split.fields.push_back(std::move(field));
    }
    return split;
}

// The dBase field a value typed for this column is encoded as; the letter follows from it.
std::optional<dbase::TableColumn> DesktopFieldFor(const tables::RetrievalColumn& column) {
    dbase::TableColumn field;
    switch (static_cast<PdaFieldType>(column.letter)) {
        case PdaFieldType::kText:
            field.type =
                column.width > tables::kWidestTextField ? DbaseType::kMemo : DbaseType::kCharacter;
            field.length = static_cast<uint8_t>(std::min<uint16_t>(column.width, 255));
            return field;
        case PdaFieldType::kMarkedText:
            field.type = DbaseType::kCharacter;
            field.length = static_cast<uint8_t>(std::min<uint16_t>(column.width, 255));
            return field;
        case PdaFieldType::kDate:
            field.type = DbaseType::kDate;
            field.length = 8;
            return field;
        case PdaFieldType::kLogical:
            field.type = DbaseType::kLogical;
            field.length = 1;
            return field;
        case PdaFieldType::kInteger:
            field.type = DbaseType::kNumeric;
            field.length = 9;  // four bytes
            return field;
        case PdaFieldType::kLongInteger:
        case PdaFieldType::kMarkedNumber:
            field.type = DbaseType::kNumeric;
            field.length = 10;  // eight bytes
            return field;
        case PdaFieldType::kFloat:
            field.type = DbaseType::kNumeric;
            field.length = static_cast<uint8_t>(std::min<uint16_t>(column.width, 255));
            field.decimals = std::max<uint8_t>(column.decimals, 1);
            return field;
        default:
            return std::nullopt;  // pictures are drawn on the handheld, not typed
    }
}

}  // namespace

std::optional<std::vector<ShownField>> ShowTableRecord(std::span<const uint8_t> info_block,
                                                       std::span<const uint8_t> record,
                                                       std::string& error) {
    auto split = Split(info_block, record, error);
    if (!split) {
        return std::nullopt;
    }
    std::vector<ShownField> shown;
    for (std::size_t i = 0; i < split->columns.size(); ++i) {
        const auto& text = split->fields[i].text;
        shown.push_back({split->columns[i].field.name, split->columns[i].letter,
                         std::string(text.begin(), text.end())});
    }
    return shown;
}

std::optional<std::vector<uint8_t>> EditTableRecord(std::span<const uint8_t> info_block,
                                                    std::span<const uint8_t> record,
                                                    std::string_view column, std::string_view text,
                                                    std::string& error) {
    auto split = Split(info_block, record, error);
    if (!split) {
        return std::nullopt;
    }
    std::size_t at = 0;
    for (std::size_t i = 0; i < split->columns.size(); ++i) {
        const auto& target = split->columns[i];
        const std::size_t size = split->fields[i].encoded_size;
        if (target.field.name != column) {
            at += size;
            continue;
        }
        const auto field = DesktopFieldFor(target);
        if (!field) {
            error = "column " + target.field.name + " cannot be typed into";
            return std::nullopt;
        }
        if (field->type == DbaseType::kCharacter && text.size() > field->length) {
            error = "\"" + std::string(text) + "\" is wider than column " + target.field.name +
                    " (" + std::to_string(field->length) + ")";
            return std::nullopt;
        }
        std::vector<uint8_t> value(tables::kMaxFieldValue + 3);
        IgnoredErrors ignored;
        const std::size_t written = tables::EncodeFieldValue(text, field->type, field->length,
                                                             field->decimals, value, ignored);
        if (written == 0) {
            error = "the value is too long for a field";
            return std::nullopt;
        }
        std::vector<uint8_t> edited(record.begin(), record.begin() + static_cast<long>(at));
        edited.insert(edited.end(), value.begin(), value.begin() + static_cast<long>(written));
        edited.insert(edited.end(), record.begin() + static_cast<long>(at + size), record.end());
        return edited;
    }
    error = "no column named " + std::string(column);
    return std::nullopt;
}

}  // namespace qx

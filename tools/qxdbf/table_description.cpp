#include "tools/qxdbf/table_description.h"

#include <charconv>
#include <cstdio>

#include "common/hex_digit.h"
#include "conduit/dbase/field_text.h"
#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/place_field_text.h"
#include "conduit/dbase/table_image.h"
#include "conduit/dbase/table_writer.h"
#include "conduit/tables/staged_table_files.h"

namespace qx::qxdbf {
namespace {

using dbase::DbaseType;

constexpr std::size_t kMaxNameLength = 11;
constexpr uint8_t kMaxFieldLength = 254;

// Collects what the dBase code reports, so that it reaches the person as one message.
class CollectedErrors final : public dbase::ErrorSink {
  public:
    void ReportError(std::string_view message, std::string_view detail) override {
        if (!text.empty()) {
            text += "; ";
        }
        text.append(message).append(detail);
    }
    std::string text;
};

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.push_back(s.substr(start, i - start));
        }
    }
    return words;
}

std::optional<unsigned> Number(std::string_view s, unsigned max) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

// Splits a row's text at unescaped bars and resolves the escapes of each value. Blanks around a
// value are dropped unless written as escapes.
bool SplitValues(std::string_view s, std::vector<std::string>& values, std::string& error) {
    std::string value;
    std::size_t kept = 0;  // the value's length up to its last escape, which trimming keeps
    auto finish = [&] {
        while (value.size() > kept && (value.back() == ' ' || value.back() == '\t')) {
            value.pop_back();
        }
        values.push_back(std::move(value));
        value.clear();
        kept = 0;
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '|') {
            finish();
            continue;
        }
        if (c != '\\') {
            if (!value.empty() || (c != ' ' && c != '\t')) {
                value += c;
            }
            continue;
        }
        if (++i == s.size()) {
            error = "a backslash ends the line";
            return false;
        }
        switch (s[i]) {
            case 'n':
                value += "\r\n";
                break;
            case 't':
                value += '\t';
                break;
            case '|':
            case '\\':
                value += s[i];
                break;
            case 'x': {
                const int high = i + 2 < s.size() ? HexDigit(s[i + 1]) : -1;
                const int low = high >= 0 ? HexDigit(s[i + 2]) : -1;
                if (low < 0) {
                    error = "\\x needs two hex digits";
                    return false;
                }
                value += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                error = std::string("unknown escape \\") + s[i];
                return false;
        }
        kept = value.size();
    }
    finish();
    return true;
}

std::optional<dbase::TableColumn> ParseField(std::span<const std::string_view> words,
                                             uint32_t offset, std::string& error) {
    if (words.size() < 3 || words.size() > 5) {
        error = "a field is: field NAME TYPE [LENGTH [DECIMALS]]";
        return std::nullopt;
    }
    dbase::TableColumn column;
    column.name = std::string(words[1]);
    column.offset = offset;
    if (column.name.size() > kMaxNameLength) {
        error = "field name \"" + column.name + "\" is longer than 11 characters";
        return std::nullopt;
    }
    if (words[2].size() != 1) {
        error = "unknown field type '" + std::string(words[2]) + "'";
        return std::nullopt;
    }
    const char type = words[2][0];
    const bool sized = type == 'C' || type == 'N';
    if (!sized && type != 'D' && type != 'L' && type != 'M' && type != 'G') {
        error = "unknown field type '" + std::string(words[2]) + "' (C, N, D, L, M or G)";
        return std::nullopt;
    }
    column.type = static_cast<DbaseType>(type);
    if (!sized) {
        if (words.size() != 3) {
            error = std::string("a ") + type + " field has a fixed length";
            return std::nullopt;
        }
        column.length = type == 'D' ? 8 : type == 'L' ? 1 : 10;
        return column;
    }
    const auto length = words.size() >= 4 ? Number(words[3], kMaxFieldLength) : std::nullopt;
    if (!length || *length == 0) {
        error = std::string("a ") + type + " field needs a length from 1 to 254";
        return std::nullopt;
    }
    column.length = static_cast<uint8_t>(*length);
    if (words.size() == 5) {
        const auto decimals = type == 'N' ? Number(words[4], *length) : std::nullopt;
        if (!decimals) {
            error = "decimals are for N fields, at most the field's length";
            return std::nullopt;
        }
        column.decimals = static_cast<uint8_t>(*decimals);
    }
    return column;
}

bool Fits(const dbase::TableColumn& column, const std::string& value, std::string& error) {
    if (column.type == DbaseType::kPicture && !value.empty()) {
        error = "picture field " + column.name + " can only be left empty";
        return false;
    }
    if (column.type != DbaseType::kMemo && column.type != DbaseType::kPicture &&
        value.size() > column.length) {
        error = "value \"" + value + "\" is longer than field " + column.name + " (" +
                std::to_string(column.length) + ")";
        return false;
    }
    if (column.type == DbaseType::kMemo && value.size() > dbase::kMaxMemoText) {
        error = "memo of field " + column.name + " is longer than a memo can be";
        return false;
    }
    return true;
}

dbase::PlaceKind KindOf(DbaseType type) {
    switch (type) {
        case DbaseType::kNumeric:
            return dbase::PlaceKind::kRightAligned;
        case DbaseType::kMemo:
            return dbase::PlaceKind::kMemoText;
        default:
            return dbase::PlaceKind::kLeftAligned;
    }
}

void AppendEscaped(std::string& out, std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else if (c == '|' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
}

}  // namespace

std::optional<TableDescription> ParseTableDescription(std::string_view text, std::string& error) {
    TableDescription table;
    uint32_t offset = 0;
    int line_number = 0;
    auto fail = [&](const std::string& what) {
        error = std::to_string(line_number) + ": " + what;
        return std::nullopt;
    };
    while (!text.empty()) {
        ++line_number;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t keyword_end = std::min(line.find_first_of(" \t"), line.size());
        const std::string_view keyword = line.substr(0, keyword_end);
        if (keyword == "field") {
            if (!table.rows.empty()) {
                return fail("fields come before the rows");
            }
            const auto words = Words(line);
            std::string what;
            auto column = ParseField(words, offset, what);
            if (!column) {
                return fail(what);
            }
            for (const auto& other : table.columns) {
                if (other.name == column->name) {
                    return fail("field " + column->name + " is named twice");
                }
            }
            if (table.columns.size() == dbase::kMaxTableColumns ||
                offset + column->length + 1 > dbase::kMaxRecordLength) {
                return fail("the table's rows would be too long");
            }
            offset += column->length;
            table.columns.push_back(std::move(*column));
        } else if (keyword == "row" || keyword == "deleted") {
            if (table.columns.empty()) {
                return fail("a row before any field");
            }
            DescribedRow row;
            row.deleted = keyword == "deleted";
            std::string what;
            if (!SplitValues(line.substr(keyword_end), row.values, what)) {
                return fail(what);
            }
            if (row.values.size() != table.columns.size()) {
                return fail(std::to_string(row.values.size()) + " values for " +
                            std::to_string(table.columns.size()) + " fields");
            }
            for (std::size_t i = 0; i < row.values.size(); ++i) {
                if (!Fits(table.columns[i], row.values[i], what)) {
                    return fail(what);
                }
            }
            table.rows.push_back(std::move(row));
        } else {
            return fail("unknown item \"" + std::string(keyword) + "\" (field, row or deleted)");
        }
    }
    if (table.columns.empty()) {
        error = "the description has no fields";
        return std::nullopt;
    }
    return table;
}

bool WriteDescribedTable(const TableDescription& table, dbase::DesktopFileSystem& files,
                         const std::string& path, std::string& error) {
    CollectedErrors errors;
    // Written beside any table of this name, which is replaced only once the new one is whole.
    const std::string memo_path = dbase::MemoPathFor(path);
    tables::StagedTableFiles staged(files, {path, memo_path});
    auto file = staged.Open(path, dbase::OpenMode::kCreate);
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    dbase::MemoFile memo(staged, errors);
    memo.SetMemoPath(path);
    dbase::TableWriter writer(*file, path, errors);
    uint32_t record_length = 1;
    for (const auto& column : table.columns) {
        record_length += column.length;
    }
    bool ok = writer.WriteTableHeader(table.columns, static_cast<uint32_t>(table.rows.size()),
                                      static_cast<uint16_t>(record_length));
    std::vector<uint8_t> row(record_length);
    for (std::size_t r = 0; ok && r < table.rows.size(); ++r) {
        std::fill(row.begin(), row.end(), uint8_t{' '});
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            const std::string& value = table.rows[r].values[i];
            if (value.empty()) {
                continue;  // blanks, and no memo block for an empty memo
            }
            const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
            dbase::PlaceFieldText(row, table.columns[i], std::span(bytes, value.size()),
                                  KindOf(table.columns[i].type), memo, nullptr);
        }
        if (table.rows[r].deleted) {
            row[0] = dbase::kDeletedFlag;
        }
        ok = errors.text.empty() && writer.WriteTableRow(row);
    }
    ok = ok && writer.EndTableFile();
    const bool has_memos = memo.is_open();
    ok = memo.FinishMemoFile() && ok;
    ok = file->Close() && ok;
    if (!ok || !errors.text.empty()) {
        staged.Discard();
        error = errors.text.empty() ? "cannot write " + path : errors.text;
        return false;
    }
    if (!staged.Commit()) {
        error = "cannot put the new table in place of " + path;
        return false;
    }
    if (!has_memos) {
        files.Remove(memo_path);  // an earlier table's memos would no longer match this one
    }
    return true;
}

bool DescribeTable(dbase::DesktopFileSystem& files, const std::string& path, std::string& out,
                   std::string& error) {
    CollectedErrors errors;
    auto file = files.Open(path, dbase::OpenMode::kRead);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    dbase::TableImage image;
    if (!dbase::LoadTable(*file, path, errors, image)) {
        error = errors.text.empty() ? "cannot read " + path : errors.text;
        return false;
    }
    file->Close();
    const auto columns = dbase::ReadColumns(image);
    dbase::MemoFile memo(files, errors);
    memo.SetMemoPath(path);

    char line[96];
    std::snprintf(line, sizeof line, "# %s: %u rows, version 0x%02X\n",
                  dbase::TableBaseName(path).c_str(), static_cast<unsigned>(image.record_count()),
                  image.version());
    out = line;
    for (const auto& column : columns) {
        const auto type = static_cast<char>(column.type);
        out += "field " + column.name + ' ' + type;
        if (type != 'D' && type != 'L' && type != 'M' && type != 'G') {
            out += ' ' + std::to_string(column.length);
            if (column.decimals != 0) {
                out += ' ' + std::to_string(column.decimals);
            }
        }
        out += '\n';
    }
    for (uint32_t r = 0; r < image.record_count(); ++r) {
        out += image.IsDeleted(r) ? "deleted" : "row";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out += i == 0 ? " " : " | ";
            AppendEscaped(out, dbase::ReadFieldText(image, r, columns[i], memo).text);
        }
        if (out.back() == ' ') {
            out.pop_back();  // an empty last value
        }
        out += '\n';
    }
    memo.Close();
    if (!errors.text.empty()) {
        error = errors.text;
        return false;
    }
    return true;
}

}  // namespace qx::qxdbf

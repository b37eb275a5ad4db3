// Tables written by the writer and read back by the reader, in memory and through real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conduit/dbase/field_text.h"
#include "conduit/dbase/memory_file_system.h"
#include "conduit/dbase/place_field_text.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/dbase/table_writer.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::dbase {
namespace {

using testing::Bytes;
using testing::RecordingSink;

struct Field {
    const char* name;
    DbaseType type;
    uint8_t length;
    uint8_t decimals;
    PlaceKind kind;
};

const Field kFields[] = {
    {"NAME", DbaseType::kCharacter, 12, 0, PlaceKind::kLeftAligned},
    {"QTY", DbaseType::kNumeric, 5, 0, PlaceKind::kRightAligned},
    {"PRICE", DbaseType::kNumeric, 8, 2, PlaceKind::kRightAligned},
    {"DUE", DbaseType::kDate, 8, 0, PlaceKind::kLeftAligned},
    {"PAID", DbaseType::kLogical, 1, 0, PlaceKind::kLeftAligned},
    {"NOTE", DbaseType::kMemo, 10, 0, PlaceKind::kMemoText},
};

// Values as the retrieval hands them over (ANSI, numbers already formatted), and the text the
// reader gives back for each (trimmed; the reader never drops inner CR LF).
const std::vector<std::vector<std::string>> kRows = {
    {"Cr\xE8me br\xFBl\xE9", "42", "   12.50", "20240309", "T", "line one\r\nline two"},
    {"", "-7", "    0.00", "", "F", ""},
    {"  padded", "0", "99999.99", "19991231", "?", std::string(3000, 'm')},
};

std::vector<TableColumn> Columns() {
    std::vector<TableColumn> columns;
    uint32_t offset = 0;
    for (const Field& f : kFields) {
        TableColumn column;
        column.name = f.name;
        column.type = f.type;
        column.length = f.length;
        column.decimals = f.decimals;
        column.offset = offset;
        offset += f.length;
        columns.push_back(column);
    }
    return columns;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void WriteTable(DesktopFileSystem& files, const std::string& path, ErrorSink& sink) {
    const auto columns = Columns();
    const uint16_t record_length = static_cast<uint16_t>(columns.back().offset + 10 + 1);
    auto file = files.Open(path, OpenMode::kCreate);
    ASSERT_NE(file, nullptr);
    TableWriter writer(*file, path, sink);
    MemoFile memo(files, sink);
    memo.SetMemoPath(path);
    ASSERT_TRUE(writer.WriteTableHeader(columns, static_cast<uint32_t>(kRows.size()), record_length,
                                        {2024, 3, 9}));
    for (const auto& values : kRows) {
        std::vector<uint8_t> row(record_length, ' ');
        for (std::size_t i = 0; i < columns.size(); ++i) {
            PlaceFieldText(row, columns[i], Bytes(values[i]), kFields[i].kind, memo, nullptr);
        }
        ASSERT_TRUE(writer.WriteTableRow(row));
    }
    ASSERT_TRUE(writer.EndTableFile());
    ASSERT_TRUE(file->Close());
    ASSERT_TRUE(memo.FinishMemoFile());
}

void ReadBackAndCompare(DesktopFileSystem& files, const std::string& path, ErrorSink& sink) {
    auto file = files.Open(path, OpenMode::kRead);
    ASSERT_NE(file, nullptr);
    TableImage image;
    ASSERT_TRUE(LoadTable(*file, path, sink, image));
    EXPECT_EQ(image.version(), 0x8B);
    const auto columns = ReadColumns(image);
    ASSERT_EQ(columns.size(), std::size(kFields));
    MemoFile memo(files, sink);
    memo.SetMemoPath(path);
    ASSERT_EQ(image.record_count(), kRows.size());
    for (uint32_t r = 0; r < image.record_count(); ++r) {
        EXPECT_FALSE(image.IsDeleted(r));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "row " << r << " field " << kFields[i].name);
            const FieldText field = ReadFieldText(image, r, columns[i], memo);
            EXPECT_EQ(field.text, Trimmed(kRows[r][i]));
            EXPECT_EQ(field.type, kFields[i].type);
            EXPECT_EQ(field.length, kFields[i].length);
            EXPECT_EQ(field.decimals, kFields[i].decimals);
        }
    }
    EXPECT_TRUE(memo.Close());
    EXPECT_TRUE(file->Close());
}

TEST(RoundTrip, InMemory) {
    MemoryFileSystem files;
    RecordingSink sink;
    WriteTable(files, "C:\\T\\ORDERS.DBF", sink);
    files.LimitReadChunk(5);  // and read back in small pieces
    ReadBackAndCompare(files, "C:\\T\\ORDERS.DBF", sink);
    EXPECT_TRUE(sink.reports.empty());
    EXPECT_TRUE(files.Exists("C:\\T\\ORDERS.dbt"));
}

TEST(RoundTrip, ThroughRealFiles) {
    const auto folder = std::filesystem::path(::testing::TempDir()) /
                        ("dbase_round_trip_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "orders.dbf").string();
    StdioFileSystem files;
    RecordingSink sink;
    WriteTable(files, path, sink);
    ReadBackAndCompare(files, path, sink);
    EXPECT_TRUE(sink.reports.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "orders.dbt"));
    EXPECT_EQ(std::filesystem::file_size(folder / "orders.dbt") % 512, 0u);
    std::filesystem::remove_all(folder);
}

TEST(RoundTrip, MissingFilesAreNotOpened) {
    StdioFileSystem files;
    EXPECT_EQ(files.Open("/nonexistent-folder/none.dbf", OpenMode::kRead), nullptr);
    EXPECT_EQ(files.Open("/nonexistent-folder/none.dbf", OpenMode::kCreate), nullptr);
}

}  // namespace
}  // namespace qx::dbase

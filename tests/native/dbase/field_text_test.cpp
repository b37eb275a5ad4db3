#include "conduit/dbase/field_text.h"

#include <gtest/gtest.h>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/memory_file_system.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::dbase {
namespace {

using testing::BuildTable;
using testing::Bytes;
using testing::RecordingSink;

constexpr char kTablePath[] = "C:\\DATA\\ORDERS.DBF";
constexpr char kMemoPath[] = "C:\\DATA\\ORDERS.dbt";

// A memo file as dBase IV writes it: header block, then memos with block headers.
std::vector<uint8_t> MemoFileIV(const std::vector<std::vector<uint8_t>>& memos,
                                uint32_t block_size = 512) {
    std::vector<uint8_t> file(block_size, 0);
    StoreU32(std::span(file).subspan(20).first<4>(), block_size, ByteOrder::kLittle);
    for (const auto& memo : memos) {
        std::vector<uint8_t> block = {0xFF, 0xFF, 0x08, 0x00, 0, 0, 0, 0};
        StoreU32(std::span(block).subspan(4).first<4>(), static_cast<uint32_t>(memo.size() + 8),
                 ByteOrder::kLittle);
        block.insert(block.end(), memo.begin(), memo.end());
        block.resize((block.size() + block_size - 1) / block_size * block_size, 0);
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

// A dBase III memo file: memos end with 0x1A 0x1A.
std::vector<uint8_t> MemoFileIII(const std::vector<std::vector<uint8_t>>& memos) {
    std::vector<uint8_t> file(512, 0);
    file[16] = 0x03;  // dBase III keeps its version here and leaves the block size empty
    for (auto memo : memos) {
        memo.push_back(0x1A);
        memo.push_back(0x1A);
        memo.resize((memo.size() + 511) / 512 * 512, 0);
        file.insert(file.end(), memo.begin(), memo.end());
    }
    return file;
}

class FieldTextTest : public ::testing::Test {
  protected:
    void LoadImage(const std::vector<uint8_t>& table) {
        files_.Contents(kTablePath) = table;
        auto file = files_.Open(kTablePath, OpenMode::kRead);
        ASSERT_TRUE(LoadTable(*file, kTablePath, sink_, image_));
        columns_ = ReadColumns(image_);
        memo_.SetMemoPath(kTablePath);
    }
    std::string Text(uint32_t record, std::size_t column) {
        return ReadFieldText(image_, record, columns_.at(column), memo_).text;
    }

    MemoryFileSystem files_;
    RecordingSink sink_;
    TableImage image_;
    std::vector<TableColumn> columns_;
    MemoFile memo_{files_, sink_};
};

TEST_F(FieldTextTest, EveryTypeTrimmedWithItsLayout) {
    LoadImage(BuildTable(0x03,
                         {{"NAME", 'C', 8},
                          {"QTY", 'N', 5},
                          {"PRICE", 'N', 8, 2},
                          {"DAY", 'D', 8},
                          {"OK", 'L', 1},
                          {"PIC", 'G', 10},
                          {"ODD", 'X', 3}},
                         {std::string(" ") + " Ann    " + "\t 42 " + "   12.50" + "19991231" + "T" +
                          "0000000001" + "abc"}));
    struct Case {
        std::size_t column;
        const char* text;
        char type;
        uint8_t length, decimals;
    };
    const Case cases[] = {{0, "Ann", 'C', 8, 0},      {1, "42", 'N', 5, 0}, {2, "12.50", 'N', 8, 2},
                          {3, "19991231", 'D', 8, 0}, {4, "T", 'L', 1, 0},  {5, "", 'G', 10, 0},
                          {6, "abc", 'X', 3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const FieldText field = ReadFieldText(image_, 0, columns_[c.column], memo_);
        EXPECT_EQ(field.text, c.text);
        EXPECT_EQ(static_cast<char>(field.type), c.type);
        EXPECT_EQ(field.length, c.length);
        EXPECT_EQ(field.decimals, c.decimals);
    }
    EXPECT_EQ(files_.opens(), 1);  // the picture reference did not open the memo file
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(FieldTextTest, BlanksNulAndDeletedRecords) {
    LoadImage(BuildTable(
        0x03, {{"A", 'C', 6}},
        {std::string(" \r\n\v\f\t "), std::string("*gone  "), std::string(" ab\0cd", 7)}));
    EXPECT_EQ(Text(0, 0), "");
    EXPECT_TRUE(image_.IsDeleted(1));
    EXPECT_EQ(Text(1, 0), "gone");  // a deleted record still reads; the caller skips it
    EXPECT_EQ(Text(2, 0), "ab");    // the text ends at a NUL
}

TEST_F(FieldTextTest, OemTextComesBackAsAnsi) {
    // "Müller Ä é ½" in OEM 437, then a box-drawing line that has no ANSI counterpart.
    const std::string oem = "M\x81ller \x8E \x82 \xAB\xC4\xB3";
    LoadImage(BuildTable(0x03, {{"NAME", 'C', 14}}, {" " + oem}));
    EXPECT_EQ(Text(0, 0), "M\xFCller \xC4 \xE9 \xBD-\xA6");
}

TEST_F(FieldTextTest, MemosWithBlockHeader) {
    files_.Contents(kMemoPath) =
        MemoFileIV({Bytes("  line one\r\nline two\r\n"), Bytes("caf\x82"), {}});
    LoadImage(BuildTable(0x8B, {{"NOTE", 'M', 10}},
                         {" 0000000001", "           ", " 0000000000", "          2", " 3         ",
                          " x         "}));
    EXPECT_EQ(Text(0, 0), "line one\r\nline two");  // CR LF inside kept, blanks around trimmed
    EXPECT_EQ(Text(1, 0), "");
    EXPECT_EQ(Text(2, 0), "");
    EXPECT_EQ(Text(3, 0), "caf\xE9");  // leading blanks allowed, OEM converted
    EXPECT_EQ(Text(4, 0), "");         // an empty memo
    EXPECT_EQ(Text(5, 0), "");         // no number: no memo
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(FieldTextTest, MemosWithoutBlockHeaderEndAtTwoEndBytes) {
    files_.Contents(kMemoPath) =
        MemoFileIII({{'A', 0x1A, 'B', 0x1A, 0x1A, 'C'}, Bytes("two\r\nlines")});
    LoadImage(BuildTable(0x83, {{"NOTE", 'M', 10}}, {"          1", "          2"}));
    EXPECT_EQ(Text(0, 0),
              "A\x1A"
              "B");
    EXPECT_EQ(Text(1, 0), "two\r\nlines");
}

TEST_F(FieldTextTest, UnreadableMemosGiveTheStandInText) {
    auto memos = MemoFileIV({Bytes("fine")});
    memos[512 + 3] = 0x08;  // signature FF FF 08 08: not a memo block of ours
    files_.Contents(kMemoPath) = memos;
    LoadImage(BuildTable(0x8B, {{"NOTE", 'M', 10}},
                         {" 0000000001", " 0000000009", " -000000001", " 9999999999"}));
    for (uint32_t record = 0; record < 4; ++record) {
        SCOPED_TRACE(record);
        EXPECT_EQ(Text(record, 0), kMemoUnreadableText);
    }
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(FieldTextTest, MissingMemoFileIsReportedForEveryField) {
    LoadImage(BuildTable(0x8B, {{"A", 'M', 10}, {"B", 'M', 10}},
                         {" 0000000001          ", " 00000000020000000003"}));
    EXPECT_EQ(Text(0, 0), kMemoUnreadableText);
    EXPECT_EQ(Text(0, 1), "");  // no reference: the memo file is not tried
    EXPECT_EQ(Text(1, 0), kMemoUnreadableText);
    EXPECT_EQ(Text(1, 1), kMemoUnreadableText);
    ASSERT_EQ(sink_.reports.size(), 3u);
    for (const auto& report : sink_.reports) {
        EXPECT_EQ(report.message, "1330Could not open specified dBase memo file - ");
        EXPECT_EQ(report.detail, kMemoPath);
    }
}

TEST_F(FieldTextTest, ColumnBeyondTheRecordReadsNothingPastIt) {
    LoadImage(BuildTable(0x03, {{"A", 'C', 3}}, {" abc", " def"}));
    TableColumn stray = columns_[0];
    stray.offset = 2;  // would run one byte into the next record
    EXPECT_EQ(ReadFieldText(image_, 0, stray, memo_).text, "c");
    stray.offset = 200;
    EXPECT_EQ(ReadFieldText(image_, 0, stray, memo_).text, "");
    EXPECT_EQ(ReadFieldText(image_, 9, columns_[0], memo_).text, "");
}

TEST(ParseMemoReference, ReadsLikeTheDesktopTools) {
    struct Case {
        const char* field;
        int64_t block;
    };
    const Case cases[] = {{"0000000012", 12}, {"        12", 12}, {"          ", 0},
                          {"0000000000", 0},  {"12ab", 12},       {"abc", 0},
                          {"+7", 7},          {"-3", -1},         {"4294967295", 4294967295},
                          {"4294967296", -1}, {"-0", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(ParseMemoReference(c.field), c.block);
    }
}

}  // namespace
}  // namespace qx::dbase

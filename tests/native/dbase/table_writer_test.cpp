#include "conduit/dbase/table_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/memory_file_system.h"
#include "conduit/dbase/place_field_text.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::dbase {
namespace {

using testing::Bytes;
using testing::RecordingSink;

constexpr char kTablePath[] = "C:\\DATA\\ORDERS.DBF";
constexpr char kMemoPath[] = "C:\\DATA\\ORDERS.dbt";
constexpr TableDate kDate{2024, 3, 9};

TableColumn Column(const char* name, DbaseType type, uint8_t length, uint8_t decimals,
                   uint32_t offset, ColMetaType meta = kNoColMetaType) {
    TableColumn column;
    column.name = name;
    column.type = type;
    column.length = length;
    column.decimals = decimals;
    column.offset = offset;
    column.meta = meta;
    return column;
}

class TableWriterTest : public ::testing::Test {
  protected:
    TableWriterTest() { memo_.SetMemoPath(kTablePath); }

    std::vector<uint8_t>& table() { return files_.Contents(kTablePath); }

    MemoryFileSystem files_;
    RecordingSink sink_;
    std::unique_ptr<DesktopFile> file_ = files_.Open(kTablePath, OpenMode::kCreate);
    TableWriter writer_{*file_, kTablePath, sink_};
    MemoFile memo_{files_, sink_};
};

TEST_F(TableWriterTest, WritesTheTableByteForByte) {
    const std::vector<TableColumn> columns = {
        Column("NAME", DbaseType::kCharacter, 4, 0, 0, 4),  // meta types never reach the file
        Column("QTY", DbaseType::kNumeric, 5, 0, 4),
    };
    ASSERT_TRUE(writer_.WriteTableHeader(columns, 2, 10, kDate));
    std::vector<uint8_t> row(10, ' ');
    PlaceFieldText(row, columns[0], Bytes("Al"), PlaceKind::kLeftAligned, memo_, nullptr);
    PlaceFieldText(row, columns[1], Bytes("42"), PlaceKind::kRightAligned, memo_, nullptr);
    ASSERT_TRUE(writer_.WriteTableRow(row));
    ASSERT_TRUE(writer_.EndTableFile());

    std::vector<uint8_t> expected = {
        0x03, 124, 3,  9,  // version, 2024-03-09
        2,    0,   0,  0,  // record count
        97,   0,   10, 0,  // header length 32 x 2 + 33, record length
    };
    expected.resize(32, 0);
    for (const char* name : {"NAME", "QTY"}) {
        std::vector<uint8_t> slot(32, 0);
        std::copy(name, name + std::strlen(name), slot.begin());
        slot[11] = name[0] == 'N' ? 'C' : 'N';
        slot[16] = name[0] == 'N' ? 4 : 5;
        expected.insert(expected.end(), slot.begin(), slot.end());
    }
    expected.push_back(0x0D);
    for (char c : std::string(" Al     42")) {
        expected.push_back(static_cast<uint8_t>(c));
    }
    expected.push_back(0x1A);
    EXPECT_EQ(table(), expected);
    EXPECT_FALSE(files_.Exists(kMemoPath));  // no memo stored, no memo file
    EXPECT_TRUE(sink_.reports.empty());
}

TEST_F(TableWriterTest, VersionAndHeaderLengthFollowTheColumns) {
    struct Case {
        std::vector<DbaseType> types;
        uint8_t version;
        uint16_t header_length;
    };
    using T = DbaseType;
    const Case cases[] = {
        {{T::kCharacter, T::kDate, T::kLogical, T::kNumeric}, 0x03, 161},
        {{T::kCharacter, T::kMemo, T::kNumeric}, 0x8B, 129},
        {{T::kPicture}, 0x8B, 65},
        {{}, 0x03, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header_length);
        MemoryFileSystem files;
        auto file = files.Open("t.dbf", OpenMode::kCreate);
        TableWriter writer(*file, "t.dbf", sink_);
        std::vector<TableColumn> columns;
        for (T type : c.types) {
            columns.push_back(Column("F", type, 10, 0, 0));
        }
        ASSERT_TRUE(writer.WriteTableHeader(columns, 0, 1, kDate));
        const auto& bytes = files.Contents("t.dbf");
        ASSERT_EQ(bytes.size(), c.header_length);
        EXPECT_EQ(bytes[0], c.version);
        EXPECT_EQ(LoadU16(std::span(bytes).subspan(8).first<2>(), ByteOrder::kLittle),
                  c.header_length);
        EXPECT_EQ(bytes.back(), 0x0D);
        EXPECT_EQ(file->Position(), c.header_length);  // rows follow the terminator
    }
}

TEST_F(TableWriterTest, LongNamesAreCutToElevenCharacters) {
    ASSERT_TRUE(writer_.WriteTableHeader(
        std::vector{Column("CUSTOMERNUMBER", DbaseType::kNumeric, 6, 0, 0)}, 0, 7, kDate));
    EXPECT_EQ(std::string(table().begin() + 32, table().begin() + 44), "CUSTOMERNUMN");
}

TEST_F(TableWriterTest, TooManyColumnsAreRefusedBeforeWriting) {
    std::vector<TableColumn> columns(kMaxTableColumns + 1,
                                     Column("F", DbaseType::kLogical, 1, 0, 0));
    EXPECT_FALSE(writer_.WriteTableHeader(columns, 0, 1, kDate));
    EXPECT_TRUE(table().empty());
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].message, kMsgWriteFailed);
}

TEST_F(TableWriterTest, WriteFailuresAreReported) {
    struct Case {
        int fail_at;  // the Nth write or seek
        const char* step;
    };
    const Case cases[] = {{1, "field descriptors"},
                          {2, "table header"},
                          {4, "table header"},
                          {5, "table row"},
                          {6, "end-of-file byte"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail_at);
        MemoryFileSystem files;
        RecordingSink sink;
        auto file = files.Open("t.dbf", OpenMode::kCreate);
        TableWriter writer(*file, "t.dbf", sink);
        files.FailNthWriteOrSeek(c.fail_at, false);
        const std::vector<uint8_t> row = {' ', 'x'};
        const bool header = writer.WriteTableHeader(
            std::vector{Column("A", DbaseType::kCharacter, 1, 0, 0)}, 1, 2, kDate);
        const bool wrote_row = writer.WriteTableRow(row);
        const bool ended = writer.EndTableFile();
        EXPECT_FALSE(header && wrote_row && ended);
        ASSERT_EQ(sink.reports.size(), 1u);
        EXPECT_EQ(sink.reports[0].message, kMsgWriteFailed);
        EXPECT_EQ(sink.reports[0].detail, std::string("t.dbf: ") + c.step);
    }
}

// A picture conversion that records what it was handed and stores a fixed block.
class FakePictures : public PictureConverter {
  public:
    uint32_t ConvertPicture(std::span<const uint8_t> ink, MemoFile&) override {
        handed.assign(ink.begin(), ink.end());
        return block;
    }
    std::vector<uint8_t> handed;
    uint32_t block = 0;
};

TEST_F(TableWriterTest, PlacesEachKindWithinGuardBytes) {
    // The row sits between guard bytes; a field at the row's end checks that nothing is written
    // past it, whatever the kind.
    constexpr std::size_t kGuard = 8;
    struct Case {
        const char* what;
        TableColumn column;
        std::string text;
        PlaceKind kind;
        uint32_t picture_block;
        std::string row;  // the row after placing (record length 13)
    };
    const Case cases[] = {
        {"right-aligned number", Column("N", DbaseType::kNumeric, 5, 0, 0), "42",
         PlaceKind::kRightAligned, 0, "    42       "},
        {"left-aligned text", Column("C", DbaseType::kCharacter, 5, 0, 2), "abc",
         PlaceKind::kLeftAligned, 0, "   abc       "},
        {"text converted to OEM", Column("C", DbaseType::kCharacter, 4, 0, 0), "\xE9t\xE9",
         PlaceKind::kLeftAligned, 0, " \x82t\x82         "},
        {"memo reference", Column("M", DbaseType::kMemo, 10, 0, 2), "note", PlaceKind::kMemoText, 0,
         "   0000000001"},
        {"picture reference", Column("G", DbaseType::kPicture, 10, 0, 0), "INK\xE9",
         PlaceKind::kPicture, 7, " 0000000007  "},
        {"picture not stored", Column("G", DbaseType::kPicture, 10, 0, 0), "INK",
         PlaceKind::kPicture, 0, "             "},
        {"text longer than its field", Column("C", DbaseType::kCharacter, 3, 0, 0), "abcdef",
         PlaceKind::kLeftAligned, 0, " abc         "},
        {"number longer than its field", Column("N", DbaseType::kNumeric, 3, 0, 0), "12345",
         PlaceKind::kRightAligned, 0, " 123         "},
        {"field running past the row", Column("C", DbaseType::kCharacter, 10, 0, 8), "abcdefgh",
         PlaceKind::kLeftAligned, 0, "         abcd"},
        {"right-aligned past the row", Column("N", DbaseType::kNumeric, 10, 0, 8), "1234567",
         PlaceKind::kRightAligned, 0, "         1234"},
        {"memo reference past the row", Column("M", DbaseType::kMemo, 10, 0, 6), "x",
         PlaceKind::kMemoText, 0, "       000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        RecordingSink sink;
        MemoFile memo(files, sink);
        memo.SetMemoPath(kTablePath);
        FakePictures pictures;
        pictures.block = c.picture_block;
        std::vector<uint8_t> buffer(kGuard + 13 + kGuard, 0xEE);
        const std::span<uint8_t> row = std::span(buffer).subspan(kGuard, 13);
        std::fill(row.begin(), row.end(), ' ');
        PlaceFieldText(row, c.column, Bytes(c.text), c.kind, memo, &pictures);
        EXPECT_EQ(std::string(row.begin(), row.end()), c.row);
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + kGuard,
                                [](uint8_t b) { return b == 0xEE; }));
        EXPECT_TRUE(
            std::all_of(buffer.end() - kGuard, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
        if (c.kind == PlaceKind::kPicture) {
            EXPECT_EQ(pictures.handed, Bytes(c.text));  // picture bytes are never converted
        }
        EXPECT_TRUE(sink.reports.empty());
    }
}

TEST_F(TableWriterTest, MemoTextIsStoredAsOemWithBlockHeader) {
    const TableColumn note = Column("NOTE", DbaseType::kMemo, 10, 0, 0);
    std::vector<uint8_t> row(11, ' ');
    PlaceFieldText(row, note, Bytes("caf\xE9\r\nbar"), PlaceKind::kMemoText, memo_, nullptr);
    EXPECT_EQ(std::string(row.begin(), row.end()), " 0000000001");
    PlaceFieldText(row, note, {}, PlaceKind::kMemoText, memo_, nullptr);
    EXPECT_EQ(std::string(row.begin(), row.end()), " 0000000002");  // empty memos get a block
    ASSERT_TRUE(memo_.FinishMemoFile());
    const auto& memo = files_.Contents(kMemoPath);
    ASSERT_EQ(memo.size(), 3u * 512);
    const std::vector<uint8_t> expected = {0xFF, 0xFF, 0x08, 0x00, 17,   0,   0,   0,  'c',
                                           'a',  'f',  0x82, '\r', '\n', 'b', 'a', 'r'};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), memo.begin() + 512));
    EXPECT_EQ(memo[0], 3);  // the final next free block
}

TEST_F(TableWriterTest, MemoFileThatCannotBeCreatedLeavesTenSpaces) {
    files_.FailOpen(kMemoPath);
    std::vector<uint8_t> row(11, ' ');
    PlaceFieldText(row, Column("NOTE", DbaseType::kMemo, 10, 0, 0), Bytes("text"),
                   PlaceKind::kMemoText, memo_, nullptr);
    EXPECT_EQ(std::string(row.begin(), row.end()), std::string(11, ' '));
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].message, "1330Could not open specified dBase memo file - ");
    EXPECT_EQ(sink_.reports[0].detail, kMemoPath);
}

}  // namespace
}  // namespace qx::dbase

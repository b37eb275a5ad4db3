// The TableInfoBlock both ways: the column of each dBase field, the block's bytes, and the
// reader's refusal of blocks cut short.

#include "conduit/tables/table_info_block.h"

#include <gtest/gtest.h>

#include "conduit/tables/retrieval_column.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

using dbase::DbaseType;
using dbase::PlaceKind;

dbase::TableColumn Field(const char* name, char type, uint8_t length, uint8_t decimals = 0,
                         uint8_t meta = dbase::kNoColMetaType) {
    dbase::TableColumn c;
    c.name = name;
    c.type = static_cast<DbaseType>(type);
    c.length = length;
    c.decimals = decimals;
    c.meta = meta;
    return c;
}

TEST(HandheldColumnFor, MapsEachDbaseField) {
    struct Case {
        dbase::TableColumn field;
        char letter;
        uint16_t width;
        bool known;
    };
    const std::vector<Case> cases = {
        {Field("C20", 'C', 20), 'C', 20, true},
        {Field("N5", 'N', 5), 'N', 5, true},
        {Field("N12", 'N', 12), 'Q', 12, true},
        {Field("N82", 'N', 8, 2), 'F', 8, true},
        {Field("D", 'D', 8), 'D', 8, true},
        {Field("L", 'L', 1), 'L', 1, true},
        {Field("M", 'M', 10), 'C', 0x8000, true},
        {Field("G", 'G', 10), 'G', 10, true},
        {Field("N9", 'N', 9), 'N', 9, true},
        {Field("N10", 'N', 10), 'Q', 10, true},
        {Field("CT", 'C', 6, 0, 4), 'T', 6, true},
        {Field("NT", 'N', 5, 0, 4), 'N', 5, true},  // mark 4 only touches text
        {Field("NS", 'N', 6, 2, 6), 'S', 6, true},  // mark 6 before decimals
        {Field("CS", 'C', 6, 0, 6), 'C', 6, true},  // mark 6 only touches numbers
        {Field("C0", 'C', 6, 0, 0), 'C', 6, true},  // other marks change nothing
        {Field("X", 'X', 7, 1), 'X', 7, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field.name);
        const HandheldColumn column = HandheldColumnFor(c.field);
        EXPECT_EQ(column.letter, static_cast<uint8_t>(c.letter));
        EXPECT_EQ(column.width, c.width);
        EXPECT_EQ(column.decimals, c.field.decimals);
        EXPECT_EQ(column.known, c.known);
    }
}

TEST(EncodeTableInfoBlock, HeaderAndEntriesByteForByte) {
    std::vector<HandheldColumn> columns = {
        HandheldColumnFor(Field("PRICE", 'N', 8, 2)),
        HandheldColumnFor(Field("ELEVENCHARS", 'M', 10)),
    };
    testing::Bytes expected;
    expected.Text("QXTD").Raw({0x00, 0x02, 0x02, 0x10}).Zeros(4).Raw({0x00, 0x13}).Zeros(20);
    expected.Raw({0x02, 'F'}).Text("PRICE").Zeros(6).Zeros(21).Raw({0x00, 0x08}).Zeros(8);
    expected.Raw({0x00, 'C'}).Text("ELEVENCHARS").Zeros(21).Raw({0x80, 0x00}).Zeros(8);
    EXPECT_EQ(EncodeTableInfoBlock(columns, 19), expected.bytes());
    EXPECT_EQ(EncodeTableInfoBlock(columns, 19).size(), 34u + 44u * 2u);
}

TEST(ParseTableInfoBlock, ReadsWhatTheWriterWrote) {
    const std::vector<HandheldColumn> columns = {HandheldColumnFor(Field("A", 'C', 20)),
                                                 HandheldColumnFor(Field("B", 'N', 12)),
                                                 HandheldColumnFor(Field("CCCCCCCCCCC", 'D', 8))};
    const ParsedInfoBlock parsed = ParseTableInfoBlock(EncodeTableInfoBlock(columns, 41));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.record_length, 41);
    ASSERT_EQ(parsed.columns.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(parsed.columns[i].name, columns[i].name);
        EXPECT_EQ(parsed.columns[i].letter, columns[i].letter);
        EXPECT_EQ(parsed.columns[i].width, columns[i].width);
    }
}

TEST(ParseTableInfoBlock, RefusesEveryTruncation) {
    const std::vector<uint8_t> whole = testing::InfoBlock({{'C', "A", 5}, {'N', "B", 4}}, 10);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
        const ParsedInfoBlock parsed = ParseTableInfoBlock(part);
        EXPECT_FALSE(parsed.ok);
        EXPECT_FALSE(parsed.error.empty());
    }
    // A column count larger than the entries present.
    std::vector<uint8_t> lying = whole;
    lying[5] = 3;
    EXPECT_FALSE(ParseTableInfoBlock(lying).ok);
    EXPECT_NE(ParseTableInfoBlock(lying).error.find("offset 0x4"), std::string::npos);
    // The type tag and version are not checked.
    std::vector<uint8_t> other = whole;
    other[0] = 'Z';
    other[7] = 0x99;
    EXPECT_TRUE(ParseTableInfoBlock(other).ok);
}

TEST(RetrievalColumnsFor, MapsHandheldColumnsToDbaseFields) {
    const ParsedInfoBlock parsed = ParseTableInfoBlock(testing::InfoBlock({{'C', "C20", 20},
                                                                           {'C', "BIG", 32768},
                                                                           {'T', "T5", 5},
                                                                           {'D', "D", 8},
                                                                           {'L', "L", 1},
                                                                           {'G', "G", 10},
                                                                           {'F', "F", 8, 2},
                                                                           {'N', "N", 5},
                                                                           {'Q', "Q", 12},
                                                                           {'S', "S", 7},
                                                                           {'C', "C253", 253},
                                                                           {'C', "C254", 254},
                                                                           {'N', "WIDE", 300},
                                                                           {'?', "ODD", 4}},
                                                                          0));
    ASSERT_TRUE(parsed.ok);
    struct Expect {
        char type;
        uint8_t length;
        uint8_t decimals;
        PlaceKind kind;
        bool known;
    };
    const std::vector<Expect> expected = {
        {'C', 20, 0, PlaceKind::kLeftAligned, true},   {'M', 10, 0, PlaceKind::kMemoText, true},
        {'C', 5, 0, PlaceKind::kLeftAligned, true},    {'D', 8, 0, PlaceKind::kLeftAligned, true},
        {'L', 1, 0, PlaceKind::kLeftAligned, true},    {'G', 10, 0, PlaceKind::kPicture, true},
        {'N', 8, 2, PlaceKind::kRightAligned, true},   {'N', 5, 0, PlaceKind::kRightAligned, true},
        {'N', 12, 0, PlaceKind::kRightAligned, true},  {'N', 7, 0, PlaceKind::kRightAligned, true},
        {'C', 253, 0, PlaceKind::kLeftAligned, true},  {'M', 10, 0, PlaceKind::kMemoText, true},
        {'N', 255, 0, PlaceKind::kRightAligned, true}, {'C', 4, 0, PlaceKind::kLeftAligned, false},
    };
    const std::vector<RetrievalColumn> columns = RetrievalColumnsFor(parsed.columns);
    ASSERT_EQ(columns.size(), expected.size());
    uint32_t offset = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(columns[i].field.name);
        EXPECT_EQ(columns[i].field.type, static_cast<DbaseType>(expected[i].type));
        EXPECT_EQ(columns[i].field.length, expected[i].length);
        EXPECT_EQ(columns[i].field.decimals, expected[i].decimals);
        EXPECT_EQ(columns[i].kind, expected[i].kind);
        EXPECT_EQ(columns[i].known, expected[i].known);
        EXPECT_EQ(columns[i].field.offset, offset);
        offset += columns[i].field.length;
    }
    EXPECT_EQ(MinimumRecordLength(columns), offset + 1);
}

}  // namespace
}  // namespace qx::tables

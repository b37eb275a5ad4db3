// Decoded field values: the text, the length the field receives and the encoded size, and the
// refusal of fields that run past their record.

#include "conduit/tables/field_decoding.h"

#include <gtest/gtest.h>

#include "conduit/tables/table_messages.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

RetrievalColumn Column(char letter, uint16_t width, uint8_t decimals = 0) {
    HandheldColumn entry;
    entry.letter = static_cast<uint8_t>(letter);
    entry.width = width;
    entry.decimals = decimals;
    entry.name = "F";
    return RetrievalColumnsFor(std::vector<HandheldColumn>{entry})[0];
}

std::string Text(const DecodedField& f) {
    return std::string(f.text.begin(), f.text.begin() + static_cast<long>(f.length));
}

TEST(DecodeFieldValue, EachLetter) {
    struct Case {
        const char* name;
        RetrievalColumn column;
        std::vector<uint8_t> field;
        std::string text;  // the placed part
        std::size_t encoded;
    };
    const std::vector<Case> cases = {
        {"integer", Column('N', 5), {0x04, 0x00, 0x00, 0x00, 0x2A}, "42", 5},
        {"negative integer", Column('N', 5), {0x04, 0xFF, 0xFF, 0xFF, 0xFF}, "-1", 5},
        {"integer cut to width", Column('N', 2), {0x04, 0x00, 0x01, 0xE2, 0x40}, "12", 5},
        {"double", Column('F', 8, 2), {0x08, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}, "    1.50", 9},
        {"double longer than width",
         Column('F', 4, 2),
         {0x08, 0x40, 0x8F, 0x40, 0, 0, 0, 0, 0},
         "1000",
         9},
        {"64-bit", Column('Q', 12), {0x08, 0, 0, 0, 0x02, 0x54, 0x0B, 0xE3, 0xFF}, "9999999999", 9},
        {"marked number",
         Column('S', 6),
         {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF9},
         "-7",
         9},
        {"4-byte value under 'S'", Column('S', 6), {0x04, 0, 0, 0, 9}, "9", 5},
        {"text stops at NUL", Column('C', 20), {0x04, 'a', 'b', 0, 'c'}, "ab", 5},
        {"line feed gets CR", Column('C', 20), {0x04, 'a', '\n', 'b', 0}, "a\r\nb", 5},
        {"text cut to width", Column('C', 3), {0x06, 'a', 'b', 'c', 'd', 'e', 0}, "abc", 7},
        {"marked text keeps NUL", Column('T', 5), {0x03, 'h', 'i', 0}, std::string("hi\0", 3), 4},
        {"date", Column('D', 8), {0x08, '2', '0', '2', '4', '0', '3', '0', '1'}, "20240301", 9},
        {"date cut to field",
         Column('D', 12),
         {0x0A, '2', '0', '2', '4', '0', '3', '0', '1', 'x', 'y'},
         "20240301",
         11},
        {"logical", Column('L', 1), {0x01, 'T'}, "T", 2},
        {"empty", Column('N', 5), {0x00, 0x04}, "", 1},
        {"long prefix", Column('C', 300), {0xFF, 0x00, 0x02, 'z', 0}, "z", 5},
        {"picture", Column('G', 10), {0x06, 1, 2, 3, 4, 5, 6}, std::string("\4\5\6", 3), 7},
        {"picture, long prefix", Column('G', 10), {0xFF, 0x00, 0x03, 9, 8, 7}, "\x08\x07", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qx::testing::RecordingErrors errors;
        const DecodedField f = DecodeFieldValue(c.field, c.column, errors);
        ASSERT_TRUE(f.ok) << f.error;
        EXPECT_EQ(Text(f), c.text);
        EXPECT_EQ(f.encoded_size, c.encoded);
        EXPECT_TRUE(errors.reports.empty());
    }
}

TEST(DecodeFieldValue, UnknownLetterGivesOneNulAndReportsEachNonEmptyValue) {
    qx::testing::RecordingErrors errors;
    const DecodedField f =
        DecodeFieldValue(std::vector<uint8_t>{0x02, 'a', 'b'}, Column('?', 4), errors);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.text, std::vector<uint8_t>{0});
    EXPECT_EQ(f.length, 1u);
    EXPECT_EQ(f.encoded_size, 3u);
    const DecodedField empty = DecodeFieldValue(std::vector<uint8_t>{0x00}, Column('?', 4), errors);
    EXPECT_EQ(empty.length, 0u);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, kMsgUnknownPdaFieldType);
}

TEST(DecodeFieldValue, MemoTextIsCutToTheScratchSpace) {
    std::vector<uint8_t> field = {0xFF, 0xFF, 0xFF};
    field.insert(field.end(), 0xFFFF, '\n');  // every line feed gains a carriage return
    qx::testing::RecordingErrors errors;
    const DecodedField f = DecodeFieldValue(field, Column('C', 0x8000), errors);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.text.size(), kMaxDecodedText);
    EXPECT_EQ(f.length, 0x8000u);
    EXPECT_EQ(f.encoded_size, 0xFFFFu + 3);
}

TEST(DecodeFieldValue, RefusesFieldsRunningPastTheRecord) {
    struct Case {
        const char* name;
        RetrievalColumn column;
        std::vector<uint8_t> field;
    };
    const std::vector<Case> cases = {
        {"nothing left", Column('C', 5), {}},
        {"value cut", Column('C', 5), {0x04, 'a', 'b'}},
        {"long prefix cut", Column('C', 5), {0xFF, 0x00}},
        {"long value cut", Column('C', 500), {0xFF, 0x01, 0x00, 'a'}},
        {"double too short", Column('F', 8, 2), {0x04, 0, 0, 0, 1}},
        {"integer of 3 bytes", Column('N', 5), {0x03, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qx::testing::RecordingErrors errors;
        const DecodedField f = DecodeFieldValue(c.field, c.column, errors);
        EXPECT_FALSE(f.ok);
        EXPECT_FALSE(f.error.empty());
    }
}

}  // namespace
}  // namespace qx::tables

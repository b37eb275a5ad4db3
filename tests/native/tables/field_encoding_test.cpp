// Encoded field values, byte for byte, and the length prefix around its boundary, written into
// buffers with guard bytes so that a write past the field shows.

#include "conduit/tables/field_encoding.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "conduit/tables/table_messages.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx::tables {
namespace {

using dbase::DbaseType;

constexpr uint8_t kGuard = 0xA5;

struct EncodeCase {
    const char* name;
    std::string text;
    char type;
    uint8_t length;
    uint8_t decimals;
    std::vector<uint8_t> expected;
};

std::vector<uint8_t> Encode(const EncodeCase& c, qx::testing::RecordingErrors& errors,
                            std::size_t room = 70000) {
    std::vector<uint8_t> buffer(room + 8, kGuard);
    const std::size_t size =
        EncodeFieldValue(c.text, static_cast<DbaseType>(c.type), c.length, c.decimals,
                         std::span(buffer).subspan(4, room), errors);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(buffer[i], kGuard) << "scribbled before the field";
    }
    for (std::size_t i = 4 + size; i < buffer.size(); ++i) {
        if (buffer[i] != kGuard) {
            ADD_FAILURE() << "scribbled after the field at " << i;
            break;
        }
    }
    return std::vector<uint8_t>(buffer.begin() + 4, buffer.begin() + 4 + static_cast<long>(size));
}

TEST(EncodeFieldValue, EachTypeByteForByte) {
    const std::vector<EncodeCase> cases = {
        {"empty text", "", 'C', 10, 0, {0x00}},
        {"empty number", "", 'N', 5, 0, {0x00}},
        {"empty memo", "", 'M', 10, 0, {0x00}},
        {"two letters", "AB", 'C', 10, 0, {0x03, 'A', 'B', 0x00}},
        {"CR LF in a memo", "a\r\nb", 'M', 10, 0, {0x04, 'a', '\n', 'b', 0x00}},
        {"lone CR dropped", "a\rb", 'C', 5, 0, {0x03, 'a', 'b', 0x00}},
        {"date", "20240301", 'D', 8, 0, {0x08, '2', '0', '2', '4', '0', '3', '0', '1'}},
        {"logical", "T", 'L', 1, 0, {0x01, 'T'}},
        {"picture text", "x", 'G', 10, 0, {0x01, 'x'}},
        {"one", "1", 'N', 5, 0, {0x04, 0x00, 0x00, 0x00, 0x01}},
        {"minus one", "-1", 'N', 5, 0, {0x04, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"plus sign", "+7", 'N', 9, 0, {0x04, 0x00, 0x00, 0x00, 0x07}},
        {"no number", "abc", 'N', 5, 0, {0x04, 0x00, 0x00, 0x00, 0x00}},
        {"digits then text", "12ab", 'N', 5, 0, {0x04, 0x00, 0x00, 0x00, 0x0C}},
        {"width 9 is 32-bit", "999999999", 'N', 9, 0, {0x04, 0x3B, 0x9A, 0xC9, 0xFF}},
        {"width 10 is 64-bit",
         "9999999999",
         'N',
         10,
         0,
         {0x08, 0x00, 0x00, 0x00, 0x02, 0x54, 0x0B, 0xE3, 0xFF}},
        {"64-bit lowest",
         "-9223372036854775808",
         'N',
         20,
         0,
         {0x08, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"64-bit beyond range",
         "99999999999999999999",
         'N',
         20,
         0,
         {0x08, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"one and a half", "1.5", 'N', 8, 2, {0x08, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}},
        {"exponent", "-2.5e1", 'N', 8, 1, {0x08, 0xC0, 0x39, 0, 0, 0, 0, 0, 0}},
        {"point first", ".5", 'N', 8, 1, {0x08, 0x3F, 0xE0, 0, 0, 0, 0, 0, 0}},
        {"double of nothing", "x", 'N', 8, 2, {0x08, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        qx::testing::RecordingErrors errors;
        EXPECT_EQ(Encode(c, errors), c.expected);
        EXPECT_TRUE(errors.reports.empty());
    }
}

TEST(EncodeFieldValue, UnknownTypeReportsEachValueAndEncodesItEmpty) {
    qx::testing::RecordingErrors errors;
    EXPECT_EQ(Encode({"", "abc", 'X', 3, 0, {}}, errors), std::vector<uint8_t>{0x00});
    EXPECT_EQ(Encode({"", "", 'X', 3, 0, {}}, errors), std::vector<uint8_t>{0x00});
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, kMsgUnknownDbaseType);
    EXPECT_FALSE(errors.reports[0].detail.has_value());
}

TEST(EncodeFieldValue, PrefixFormAroundLength255) {
    // Text lengths with the NUL: 254 keeps one byte, 255 takes the three-byte form.
    struct Case {
        std::size_t chars;
        std::vector<uint8_t> prefix;
    };
    for (const Case& c : std::vector<Case>{{0, {0x00}},
                                           {253, {0xFE}},
                                           {254, {0xFF, 0x00, 0xFF}},
                                           {1000, {0xFF, 0x03, 0xE9}},
                                           {65534, {0xFF, 0xFF, 0xFF}}}) {
        SCOPED_TRACE(c.chars);
        qx::testing::RecordingErrors errors;
        const std::vector<uint8_t> out =
            Encode({"", std::string(c.chars, 'q'), 'M', 10, 0, {}}, errors);
        ASSERT_GE(out.size(), c.prefix.size());
        EXPECT_EQ(
            std::vector<uint8_t>(out.begin(), out.begin() + static_cast<long>(c.prefix.size())),
            c.prefix);
        const std::size_t value = c.chars == 0 ? 0 : c.chars + 1;
        EXPECT_EQ(out.size(), c.prefix.size() + value);
    }
}

TEST(EncodeFieldValue, RefusesWhatDoesNotFitWithoutWritingPastTheBuffer) {
    struct Case {
        const char* name;
        std::size_t chars;
        std::size_t room;
    };
    for (const Case& c : std::vector<Case>{{"one byte short", 3, 4},
                                           {"no room at all", 1, 0},
                                           {"long form one short", 300, 303},
                                           {"value beyond 16 bits", 65535, 70000}}) {
        SCOPED_TRACE(c.name);
        qx::testing::RecordingErrors errors;
        EXPECT_TRUE(
            Encode({"", std::string(c.chars, 'z'), 'C', 10, 0, {}}, errors, c.room).empty());
    }
    qx::testing::RecordingErrors errors;
    EXPECT_EQ(Encode({"", "zzz", 'C', 10, 0, {}}, errors, 5).size(), 5u);  // exactly fits
}

TEST(LeadingNumbers, ReadWhatTheTextStartsWith) {
    EXPECT_EQ(LeadingInt32("  -12x"), -12);
    EXPECT_EQ(LeadingInt32("99999999999"), INT32_MAX);
    EXPECT_EQ(LeadingInt32("-99999999999"), INT32_MIN);
    EXPECT_EQ(LeadingInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(LeadingInt64("- 5"), 0);
    EXPECT_DOUBLE_EQ(LeadingDouble(" \t3.25e2rest"), 325.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("-0.125"), -0.125);
    EXPECT_EQ(LeadingDouble("1e999"), HUGE_VAL);
    EXPECT_EQ(LeadingDouble(""), 0.0);
}

}  // namespace
}  // namespace qx::tables

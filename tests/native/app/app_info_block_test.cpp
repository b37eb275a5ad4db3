#include "conduit/app/app_info_block.h"

#include <gtest/gtest.h>

#include "conduit/app/app_messages.h"
#include "conduit/sync/record_buffer.h"
#include "tests/native/app/handheld_bytes.h"
#include "tests/native/conduit_sync/recording_doubles.h"
#include "tools/qxpda/pda_writer.h"

namespace qx {
namespace {

using pda::PdaHeader;
using pda::PdaWriter;
using testing::HandheldBytes;

// The values of the block's 90-byte fixed part, in offset order.
struct Fixed {
    std::string name;
    uint16_t long2 = 0, forms = 0, tables = 0, word1 = 0;
    uint32_t long1 = 0;
    uint16_t text_at = 0;
    std::array<uint8_t, 4> options{};
    uint16_t strings = 0, string_table_at = 0, word2 = 0;
};

HandheldBytes FixedPart(const Fixed& f) {
    HandheldBytes b;
    b.Text("QXAD").Zeros(4).Field(f.name, 32).U16(0x0210);
    b.U16(f.long2).U16(f.forms).U16(f.tables).Zeros(4).U16(f.word1).U32(f.long1).U16(f.text_at);
    for (uint8_t o : f.options) {
        b.U8(o);
    }
    b.U16(f.strings).Zeros(4).U16(f.string_table_at).U16(f.word2).Zeros(16);
    return b;
}

struct Converted {
    PdaOpening opening = PdaOpening::kNotApplication;
    bool ok = false;
    PdaFailure failure = PdaFailure::kNone;
    std::vector<uint8_t> block;
    uint16_t forms = 0;
    std::size_t consumed = 0;
    testing::RecordingErrors errors;
};

void Convert(const std::vector<uint8_t>& file, Converted& c,
             std::size_t capacity = kRecordBufferCapacity) {
    PdaReader reader(file, c.errors);
    c.opening = ReadPdaOpening(reader);
    if (c.opening != PdaOpening::kApplication) {
        c.consumed = reader.offset();
        return;
    }
    std::vector<uint8_t> out(capacity);
    AppInfoBlockResult result;
    c.ok = ConvertAppHeader(reader, out, result);
    c.failure = reader.failure();
    c.block.assign(out.begin(), out.begin() + result.size);
    c.forms = result.form_count;
    c.consumed = reader.offset();
}

TEST(ReadPdaOpening, ChecksSignatureThenSignedVersion) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        PdaOpening expected;
        std::size_t consumed;
    } cases[] = {
        {"version 54", PdaWriter(54).Raw("QXAD").Long(54).bytes(), PdaOpening::kApplication, 8},
        {"version 53", PdaWriter(53).Raw("QXAD").Long(53).bytes(), PdaOpening::kIncompatible, 8},
        {"negative version", PdaWriter(0).Raw("QXAD").Long(0x80000036).bytes(),
         PdaOpening::kIncompatible, 8},
        {"all ones", PdaWriter(0).Raw("QXAD").Long(0xFFFFFFFF).bytes(), PdaOpening::kIncompatible,
         8},
        // A wrong signature stops before the version: only 1010 can follow.
        {"wrong signature", PdaWriter(0).Raw("QXAE").Long(53).bytes(), PdaOpening::kNotApplication,
         4},
        {"lower case", PdaWriter(0).Raw("qxad").Long(300).bytes(), PdaOpening::kNotApplication, 4},
        {"three bytes", PdaWriter(0).Raw("QXA").bytes(), PdaOpening::kNotApplication, 0},
        {"version cut", PdaWriter(0).Raw("QXAD").Word(300).bytes(), PdaOpening::kNotApplication, 4},
        {"empty", {}, PdaOpening::kNotApplication, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::RecordingErrors errors;
        PdaReader reader(c.file, errors);
        EXPECT_EQ(ReadPdaOpening(reader), c.expected);
        EXPECT_EQ(reader.offset(), c.consumed);
        EXPECT_TRUE(errors.reports.empty());
    }
}

TEST(ConvertAppHeader, Version54ReadsNoOptionalItem) {
    PdaHeader h;
    h.long1 = 0x11223344;
    h.name = "Orders";
    h.long2 = 0x00050007;
    h.word1 = 0xABCD;
    h.form_count = 3;
    h.tables = {{"c:\\data\\cust.dbf", {}}};
    const auto file = PdaWriter(54).Header(h).bytes();
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
    EXPECT_EQ(c.consumed, file.size());
    EXPECT_EQ(c.forms, 3);
    HandheldBytes expected = FixedPart({.name = "Orders",
                                        .long2 = 7,
                                        .forms = 3,
                                        .tables = 1,
                                        .word1 = 0xABCD,
                                        .long1 = 0x11223344});
    expected.Field("QXT-SE_CUST", 32).U16(0).Zeros(10);
    EXPECT_EQ(c.block, expected.bytes());
}

TEST(ConvertAppHeader, Version272PlacesEveryPart) {
    PdaHeader h;
    h.long1 = 1;
    h.name = "Field Sales";
    h.long2 = 0x12345678;
    h.word1 = 2;
    h.text_flag = 1;
    h.text = "(c) Pat";
    h.options = {0x0101, 0x0002, 0x0003, 0x0104};  // only the low bytes are kept
    h.word2 = 0x0BEE;
    h.form_count = 2;
    h.tables = {{"orders.dbf", {'A', 'B', 'C', 'D', 'E'}}, {"C:\\x\\Stock Items.dbf", {}}};
    h.strings = {"a", "bc", ""};
    const auto file = PdaWriter(272).Header(h).bytes();
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
    EXPECT_EQ(c.consumed, file.size());
    HandheldBytes expected = FixedPart({.name = "Field Sales",
                                        .long2 = 0x5678,
                                        .forms = 2,
                                        .tables = 2,
                                        .word1 = 2,
                                        .long1 = 1,
                                        .text_at = 204,
                                        .options = {1, 2, 3, 4},
                                        .strings = 3,
                                        .string_table_at = 184,
                                        .word2 = 0x0BEE});
    expected.Field("QXT-SE_ORDERS", 32).U16(88).Zeros(10);      // entry at 90, data at 178
    expected.Field("QXT-SE_STOCK_ITEMS", 32).U16(0).Zeros(10);  // entry at 134
    expected.Text("ABCDE").Zeros(1);                            // 178..182, then to even
    expected.U16(12).U16(0).U16(10).U16(0).U16(9).U16(0);       // slots at 184
    expected.CString("a").CString("bc").CString("").Zeros(1);   // 196, 198, 201, extra zero
    expected.Zeros(1);                                          // block to even: 204
    expected.CString("(c) Pat");
    EXPECT_EQ(c.block, expected.bytes());
}

TEST(ConvertAppHeader, TrailingTextOnlyWithItsFlagAndUnaligned) {
    {
        SCOPED_TRACE("version 258, flag 0: read, not placed");
        PdaHeader h;
        h.name = "A";
        h.text = "not placed";
        h.form_count = 1;
        const auto file = PdaWriter(258).Header(h).bytes();
        Converted c;
        Convert(file, c);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(c.consumed, file.size());
        EXPECT_EQ(c.block, FixedPart({.name = "A", .forms = 1}).bytes());
    }
    {
        SCOPED_TRACE("version 261, no strings, odd table data");
        PdaHeader h;
        h.name = "B";
        h.text_flag = 7;
        h.text = "T";
        h.tables = {{"t", {'X', 'Y', 'Z'}}};
        const auto file = PdaWriter(261).Header(h).bytes();
        Converted c;
        Convert(file, c);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(c.consumed, file.size());
        HandheldBytes expected = FixedPart({.name = "B", .tables = 1, .text_at = 137});
        expected.Field("QXT-SE_T", 32).U16(44).Zeros(10).Text("XYZ").CString("T");
        EXPECT_EQ(c.block, expected.bytes());
    }
}

TEST(ConvertAppHeader, VersionGatesDecideWhatIsRead) {
    PdaHeader h;
    h.name = "G";
    h.text_flag = 1;
    h.text = "t";
    h.options = {0x11, 0x22, 0x33, 0x44};
    h.word2 = 0x5566;
    h.tables = {{"x", {9}}};
    h.strings = {"s"};
    for (int32_t v : {54, 257, 258, 259, 260, 261, 262, 271, 272, 273, 1000}) {
        SCOPED_TRACE(v);
        const auto file = PdaWriter(v).Header(h).bytes();
        Converted c;
        Convert(file, c);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(c.consumed, file.size());
        ASSERT_GE(c.block.size(), 134u);
        EXPECT_EQ(c.block[59] != 0, v >= 258) << "trailing text offset";
        EXPECT_EQ(c.block[60], v >= 260 ? 0x11 : 0);
        EXPECT_EQ(c.block[62], v >= 260 ? 0x33 : 0);
        EXPECT_EQ(c.block[63], v >= 272 ? 0x44 : 0);
        EXPECT_EQ(c.block[65], v >= 261 ? 1 : 0) << "string count";
        EXPECT_EQ(c.block[73], v >= 262 ? 0x66 : 0);
        EXPECT_EQ(c.block[90 + 33], v >= 261 ? 44 : 0) << "table data offset";
    }
}

TEST(ConvertAppHeader, NamesAreCutToTheirFields) {
    PdaHeader h;
    h.name = std::string(40, 'n');
    h.tables = {{"C:\\" + std::string(40, 't') + ".dbf", {}}};
    Converted c;
    Convert(PdaWriter(54).Header(h).bytes(), c);
    ASSERT_TRUE(c.ok);
    HandheldBytes expected = FixedPart({.name = std::string(31, 'n'), .tables = 1});
    expected.Field("QXT-SE_" + std::string(24, 'T'), 32).U16(0).Zeros(10);
    EXPECT_EQ(c.block, expected.bytes());
}

TEST(ConvertAppHeader, LongStringReports1050AndStaysInStep) {
    PdaHeader h;
    h.name = "Long" + std::string(1100, 'x');
    h.name[2] = '\0';  // the text ends at its first zero byte
    h.word1 = 0x4242;
    h.form_count = 5;
    const auto file = PdaWriter(54).Header(h).bytes();
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.consumed, file.size());
    ASSERT_EQ(c.errors.reports.size(), 1u);
    EXPECT_EQ(c.errors.reports[0].message, kMsgStringTooBig);
    EXPECT_FALSE(c.errors.reports[0].detail.has_value());
    EXPECT_EQ(c.block, FixedPart({.name = "Lo", .forms = 5, .word1 = 0x4242}).bytes());

    for (std::size_t length : {1023u, 1024u}) {
        SCOPED_TRACE(length);
        h.name = std::string(length, 'y');
        Converted d;
        Convert(PdaWriter(54).Header(h).bytes(), d);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.errors.reports.size(), length >= 1024 ? 1u : 0u);
        EXPECT_EQ(d.forms, 5);
    }
}

TEST(ConvertAppHeader, TruncatedAnywhereFailsCleanly) {
    PdaHeader h;
    h.name = "Cut";
    h.text_flag = 1;
    h.text = "tail";
    h.tables = {{"a", {1, 2, 3}}, {"b", {}}};
    h.strings = {"one", "two"};
    const auto file = PdaWriter(272).Header(h).bytes();
    for (std::size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE(n);
        Converted c;
        Convert({file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)}, c);
        if (n < 8) {
            EXPECT_EQ(c.opening, PdaOpening::kNotApplication);
            continue;
        }
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.failure, PdaFailure::kTruncated);
        EXPECT_EQ(AppFailureMessage(c.failure), kMsgAppFileCorrupted);
    }
}

TEST(ConvertAppHeader, CountsAndSizesBeyondTheHandheldFail) {
    const auto counts = [](uint32_t forms, uint32_t tables) {
        PdaWriter w(54);
        w.Raw("QXAD").Long(54).Long(0).String("N").Long(0).Word(0).Long(forms).Long(tables);
        return w.bytes();
    };
    PdaHeader big_tables;
    big_tables.tables = {{"a", std::vector<uint8_t>(40000, 1)},
                         {"b", std::vector<uint8_t>(30000, 2)}};
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        PdaFailure failure;
        std::string_view message;
    } cases[] = {
        {"form count 65536", counts(0x10000, 0), PdaFailure::kCountTooLarge, kMsgAppFileCorrupted},
        {"table count 65536", counts(0, 0x10000), PdaFailure::kCountTooLarge, kMsgAppFileCorrupted},
        // 90 + 1464 * 44 = 64506 fits; one more entry passes 64512 before any is read.
        {"1465 table entries", counts(0, 1465), PdaFailure::kAppInfoTooLarge,
         kMsgCannotWriteAppInfo},
        {"table data", PdaWriter(261).Header(big_tables).bytes(), PdaFailure::kAppInfoTooLarge,
         kMsgCannotWriteAppInfo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Converted r;
        Convert(c.file, r);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(AppFailureMessage(r.failure), c.message);
    }
}

TEST(ConvertAppHeader, NeverWritesPastItsBuffer) {
    PdaHeader h;
    h.name = "Guard";
    h.text_flag = 1;
    h.text = "tail text";
    h.tables = {{"a", {1, 2, 3}}};
    h.strings = {"one", "two"};
    const auto file = PdaWriter(272).Header(h).bytes();
    Converted full;
    Convert(file, full);
    ASSERT_TRUE(full.ok);
    const std::size_t needed = full.block.size();
    for (std::size_t capacity :
         {std::size_t{0}, std::size_t{89}, std::size_t{90}, needed - 1, needed}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> out(capacity + 16, 0xA5);
        testing::RecordingErrors errors;
        PdaReader reader(file, errors);
        ASSERT_EQ(ReadPdaOpening(reader), PdaOpening::kApplication);
        AppInfoBlockResult result;
        const bool ok = ConvertAppHeader(reader, std::span(out).first(capacity), result);
        EXPECT_EQ(ok, capacity >= needed);
        if (!ok) {
            EXPECT_EQ(reader.failure(), PdaFailure::kAppInfoTooLarge);
        }
        for (std::size_t i = capacity; i < out.size(); ++i) {
            ASSERT_EQ(out[i], 0xA5) << "guard byte " << i - capacity;
        }
    }
}

}  // namespace
}  // namespace qx

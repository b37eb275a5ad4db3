#include <gtest/gtest.h>

#include "conduit/app/app_messages.h"
#include "conduit/app/control_detail.h"
#include "conduit/app/control_entry.h"
#include "conduit/sync/record_buffer.h"
#include "tests/native/app/handheld_bytes.h"
#include "tests/native/conduit_sync/recording_doubles.h"
#include "tools/qxpda/pda_writer.h"

namespace qx {
namespace {

using pda::PdaControl;
using pda::PdaDetail;
using pda::PdaWriter;
using testing::HandheldBytes;

struct Converted {
    bool ok = false;
    PdaFailure failure = PdaFailure::kNone;
    std::vector<uint8_t> bytes;
    std::size_t consumed = 0;
    std::size_t file_size = 0;
    testing::RecordingErrors errors;
};

// Runs one converter over `file` at the given version, after `prefix` bytes already in the record.
template <typename F>
void RunConverter(const PdaWriter& file, F convert, Converted& c, std::size_t prefix = 0) {
    const auto bytes = file.bytes();
    c.file_size = bytes.size();
    PdaReader reader(bytes, c.errors);
    reader.set_version(file.version());
    std::vector<uint8_t> buffer(kRecordBufferCapacity);
    RecordWriter out(buffer);
    EXPECT_TRUE(out.Zeros(prefix));
    c.ok = convert(reader, out);
    c.failure = reader.failure();
    c.consumed = reader.offset();
    c.bytes.assign(buffer.begin() + static_cast<std::ptrdiff_t>(prefix),
                   buffer.begin() + static_cast<std::ptrdiff_t>(out.size()));
}

void RunControl(const PdaWriter& file, Converted& c) {
    RunConverter(file, ConvertControl, c);
}

// The 36-byte control header as the handheld holds it.
struct Head {
    uint16_t size = 36, type = 2;
    uint32_t control_long = 0x01020304;
    uint16_t word = 0x0506, left = 10, top = 20, right = 30, bottom = 40, second = 0x0708;
    uint16_t type_word = 0;
};

HandheldBytes Header(const Head& h) {
    HandheldBytes b;
    b.Text("CTRL").U16(36).U16(h.size).U16(h.type).U32(h.control_long).U16(h.word);
    b.U16(h.left).U16(h.top).U16(h.right).U16(h.bottom).U16(h.second).U16(h.type_word).Zeros(8);
    return b;
}

PdaControl Common(uint16_t type) {
    return {.type = type,
            .control_long = 0x01020304,
            .word = 0x0506,
            .left = 10,
            .top = 20,
            .right = 30,
            .bottom = 40,
            .second_word = 0x0708};
}

// A detail with nothing optional in it; s1, s2, x1, x2 are read and dropped.
const PdaDetail kPlainDetail = {
    .d1 = 0xD1, .d2 = 0xD2, .d3 = 0xD3, .s1 = "dropped", .s2 = "too", .x1 = 5, .x2 = 6, .d4 = 0xD4};

HandheldBytes& PlainDetail(HandheldBytes& b) {
    return b.U16(0xD1).U16(0xD2).U16(0xD3).U16(0xD4).U16(0).U16(0).Zeros(14);
}

TEST(ConvertControl, EveryTypeAtVersion273) {
    struct Case {
        const char* name;
        PdaWriter file;
        HandheldBytes expected;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, PdaWriter file, HandheldBytes expected) {
        cases.push_back({name, std::move(file), std::move(expected)});
    };
    add("type 2", PdaWriter(273).Control(Common(2)), Header({.type = 2}));
    add("type 16", PdaWriter(273).Control(Common(16)), Header({.type = 16}));
    add("type 4", PdaWriter(273).Control(Common(4)).String("Name"),
        Header({.size = 42, .type = 4}).CString("Name").Zeros(1));
    add("type 5, empty text", PdaWriter(273).Control(Common(5)).String(""),
        Header({.size = 38, .type = 5}).CString("").Zeros(1));
    add("type 6", PdaWriter(273).Control(Common(6)).Word(0x1111).Word(0x2222).Word(0x3333),
        Header({.size = 40, .type = 6, .type_word = 0x2222}).U16(0x1111).U16(0x3333));
    {
        PdaControl c = Common(9);
        c.control_long = 0x01020300;
        add("type 9 marks its control long", PdaWriter(273).Control(c).Word(0x0009).Word(0x4444),
            Header({.size = 40, .type = 9, .control_long = 0x01020304, .type_word = 9})
                .U16(1)
                .U16(0x4444));
    }
    add("type 13", PdaWriter(273).Control(Common(13)).Word(0x0D0D),
        Header({.size = 38, .type = 13, .type_word = 0x0D0D}).U8(0).Zeros(1));
    add("type 15", PdaWriter(273).Control(Common(15)).Word(0x0F0F).Word(1).Word(2).Word(3),
        Header({.size = 46, .type = 15, .type_word = 0x0F0F}).U16(1).U16(2).U16(0).U16(3).U16(0));
    {
        PdaWriter f(273);
        f.Control(Common(3)).Word(0x0303);
        for (uint16_t w = 1; w <= 7; ++w) {
            f.Word(w);
        }
        f.Detail(kPlainDetail);
        HandheldBytes e = Header({.size = 78, .type = 3, .type_word = 0x0303});
        for (uint16_t w = 1; w <= 7; ++w) {
            e.U16(w);
        }
        e.U16(16);
        add("type 3", std::move(f), std::move(PlainDetail(e)));
    }
    {
        HandheldBytes e = Header({.size = 68, .type = 8});
        e.U16(6).CString("abc");
        add("type 8, odd text",
            PdaWriter(273).Control(Common(8)).String("abc").Detail(kPlainDetail),
            std::move(PlainDetail(e)));
        HandheldBytes e2 = Header({.size = 68, .type = 8});
        e2.U16(6).CString("ab").Zeros(1);
        add("type 8, even text",
            PdaWriter(273).Control(Common(8)).String("ab").Detail(kPlainDetail),
            std::move(PlainDetail(e2)));
    }
    {
        PdaWriter f(273);
        f.Control(Common(10)).Word(0x000A).Word(2);
        for (uint16_t w = 1; w <= 6; ++w) {
            f.Word(w);
        }
        for (uint16_t w = 11; w <= 16; ++w) {
            f.Word(w);
        }
        f.Detail(kPlainDetail);
        HandheldBytes e = Header({.size = 92, .type = 10});
        e.U16(0x000A).U16(2).U16(30);
        for (uint16_t w : {1, 2, 4, 5, 6, 3, 11, 12, 14, 15, 16, 13}) {
            e.U16(w);
        }
        add("type 10 moves the third word last", std::move(f), std::move(PlainDetail(e)));
    }
    {
        HandheldBytes e = Header({.size = 72, .type = 11, .type_word = 0x0B0B});
        e.U16(0).U16(0).U16(10).CString("Hi").Zeros(1);
        add("type 11",
            PdaWriter(273).Control(Common(11)).String("Hi").Word(0x0B0B).Detail(kPlainDetail),
            std::move(PlainDetail(e)));
        HandheldBytes e2 = Header({.size = 72, .type = 12, .type_word = 0x0C0C});
        e2.U16(0x0C01).U16(0x0C02).U16(10).CString("Hi").Zeros(1);
        add("type 12",
            PdaWriter(273)
                .Control(Common(12))
                .String("Hi")
                .Word(0x0C0C)
                .Word(0x0C01)
                .Word(0x0C02)
                .Detail(kPlainDetail),
            std::move(PlainDetail(e2)));
    }
    {
        const pda::PdaScript script{.w1 = 1, .w2 = 2, .code = "xyz"};
        HandheldBytes e = Header({.size = 94, .type = 17});
        e.U16(0x1717).U16(22).U16(32).Zeros(16).U16(6).U16(1).U16(2).Text("xyz").Zeros(1);
        add("type 17 with its detail",
            PdaWriter(273).Control(Common(17)).Word(0x1717).Script(script).Detail(kPlainDetail),
            std::move(PlainDetail(e)));
        HandheldBytes e2 = Header({.size = 84, .type = 17});
        e2.U16(0x1717).U16(22).U16(22).Zeros(16);
        add("type 17, empty script",
            PdaWriter(273).Control(Common(17)).Word(0x1717).Script({}).Detail(kPlainDetail),
            std::move(PlainDetail(e2)));
        HandheldBytes e3 = Header({.size = 68, .type = 17});
        e3.U16(0x1717).U16(22).U16(0).Zeros(16).U16(6).U16(1).U16(2).Text("xyz").Zeros(1);
        add("type 17 before version 273",
            PdaWriter(272).Control(Common(17)).Word(0x1717).Script(script), std::move(e3));
    }
    add("no second word before 263", PdaWriter(262).Control(Common(2)), Header({.second = 0}));

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Converted r;
        RunControl(c.file, r);
        ASSERT_TRUE(r.ok) << static_cast<int>(r.failure);
        EXPECT_EQ(r.consumed, r.file_size);
        EXPECT_EQ(r.bytes, c.expected.bytes());
        EXPECT_TRUE(r.errors.reports.empty());
    }
}

TEST(ConvertControl, BitmapRowsArePaddedAndInverted) {
    const struct {
        const char* name;
        uint16_t right, bottom;
        std::vector<uint8_t> rows;
        uint16_t row_bytes;
        std::vector<uint8_t> handheld_rows;
    } cases[] = {
        {"width 10, height 2", 10, 2, {0xF0, 0x0F, 0x80, 0x01}, 2, {0x0F, 0xF0, 0x7F, 0xFE}},
        {"width 17, height 2",
         17,
         2,
         {0x00, 0xFF, 0x80, 0xAA, 0x55, 0x01},
         4,
         {0xFF, 0x00, 0x7F, 0xFF, 0x55, 0xAA, 0xFE, 0xFF}},
        {"width 8, height 1", 8, 1, {0x81}, 2, {0x7E, 0xFF}},
        {"width 0", 0, 3, {}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PdaControl ctl = Common(7);
        ctl.left = 0;
        ctl.top = 0;
        ctl.right = c.right;
        ctl.bottom = c.bottom;
        Converted r;
        RunControl(PdaWriter(273).Control(ctl).Bytes(c.rows), r);
        ASSERT_TRUE(r.ok) << static_cast<int>(r.failure);
        EXPECT_EQ(r.consumed, r.file_size);
        const auto part = static_cast<uint16_t>(20 + c.handheld_rows.size());
        HandheldBytes e = Header({.size = static_cast<uint16_t>(36 + part),
                                  .type = 7,
                                  .left = 0,
                                  .top = 0,
                                  .right = c.right,
                                  .bottom = c.bottom});
        e.U16(c.right).U16(c.bottom).U16(c.row_bytes).Zeros(10).Bytes(c.handheld_rows).Zeros(4);
        EXPECT_EQ(r.bytes, e.bytes());
    }
}

TEST(ConvertControl, RefusesWhatItCannotHold) {
    PdaControl backwards = Common(7);
    backwards.right = 5;  // left is 10
    const struct {
        const char* name;
        PdaWriter file;
        PdaFailure failure;
        std::string_view message;
        std::size_t consumed;
    } cases[] = {
        {"type 0", PdaWriter(273).Control(Common(0)), PdaFailure::kBadControlType,
         kMsgCannotCopyForm, 2},
        {"type 1", PdaWriter(273).Control(Common(1)), PdaFailure::kBadControlType,
         kMsgCannotCopyForm, 2},
        {"type 18", PdaWriter(273).Control(Common(18)), PdaFailure::kBadControlType,
         kMsgCannotCopyForm, 2},
        {"type 65535", PdaWriter(273).Control(Common(0xFFFF)), PdaFailure::kBadControlType,
         kMsgCannotCopyForm, 2},
        {"bitmap of negative width", PdaWriter(273).Control(backwards), PdaFailure::kBadBitmapSize,
         kMsgAppFileCorrupted, 18},
        {"text cut short", PdaWriter(273).Control(Common(4)).Word(5).Raw("abc"),
         PdaFailure::kTruncated, kMsgAppFileCorrupted, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Converted r;
        RunControl(c.file, r);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(AppFailureMessage(r.failure), c.message);
        EXPECT_EQ(r.consumed, c.consumed);
    }
}

// Entries with and without strings, the reference block, two items and a script; offsets count
// from the start of the detail wherever it sits in the record.
TEST(ConvertControlDetail, PlacesEveryPartAligned) {
    const PdaDetail detail = {
        .d1 = 0x0D01,
        .flags = 0x0102,
        .d2 = 0x0D02,
        .d3 = 0x0D03,
        .s1 = "ab",
        .s2 = "c",
        .x1 = 0x11111111,
        .x2 = 0x22222222,
        .d4 = 0x0D04,
        .entries = {{.e1 = 1, .e2 = 2, .flags = 0x8000, .text = "one"},
                    {.e1 = 3, .e2 = 4, .flags = 0x0001, .e4 = 0x4444},
                    {.e1 = 5, .e2 = 6, .flags = 0x8001, .text = "xy"}},
        .d5 = 0x0D05,
        .items = {{1, 2, 3, 0x44444444}, {5, 6, 7, 8}},
        .script = {.w1 = 9, .w2 = 10, .code = "s"},
    };
    HandheldBytes e;
    e.U16(0x0D01).U16(0x0D02).U16(0x0D03).U16(0x0D04).U16(3).U16(0x0102);
    e.U16(82).U16(100).U16(124).Zeros(8);              // references, items, script
    e.U16(1).U16(2).U16(0x8000).U16(74).Zeros(8);      // entries at 26
    e.U16(3).U16(4).U16(0x0001).U16(0x4444).Zeros(8);  //
    e.U16(5).U16(6).U16(0x8001).U16(78).Zeros(8);      //
    e.CString("one").CString("xy").Zeros(1);           // 74, 78, to 82
    e.U16(12).U16(15).U32(0x11111111).U32(0x22222222).CString("ab").CString("c").Zeros(1);
    e.U16(2).U16(0x0D05).U16(1).U16(2).U16(3).U32(0x44444444).U16(5).U16(6).U16(7).U32(8);
    e.U16(6).U16(9).U16(10).Text("s").Zeros(1);  // script at 124, ends at 132
    for (std::size_t prefix : {0u, 4u, 58u}) {
        SCOPED_TRACE(prefix);
        Converted r;
        RunConverter(PdaWriter(273).Detail(detail), ConvertControlDetail, r, prefix);
        ASSERT_TRUE(r.ok) << static_cast<int>(r.failure);
        EXPECT_EQ(r.consumed, r.file_size);
        EXPECT_EQ(r.bytes, e.bytes());
    }
}

TEST(ConvertControlDetail, VersionsDecideItemsScriptAndFinalAlignment) {
    // Without the reference flag the strings s1, s2 are read and dropped; the entry string leaves
    // the block at an odd size.
    PdaDetail d = {.d1 = 1, .s1 = "gone", .s2 = "gone too", .d4 = 4};
    d.entries = {{.e1 = 7, .flags = 0x8000, .text = "ab"}};
    d.d5 = 0x55;
    d.items = {{1, 2, 3, 4}};
    HandheldBytes head;
    const auto fixed = [](uint16_t items_at) {
        HandheldBytes b;
        b.U16(1).U16(0).U16(0).U16(4).U16(1).U16(0).U16(0).U16(items_at).U16(0).Zeros(8);
        b.U16(7).U16(0).U16(0x8000).U16(42).Zeros(8).CString("ab");  // ends at 45
        return b;
    };
    const struct {
        int32_t version;
        HandheldBytes expected;
    } cases[] = {
        {256, fixed(0)},
        {257, fixed(46).Zeros(1).U16(1).U16(0x55).U16(1).U16(2).U16(3).U32(4)},
        {259, fixed(46).Zeros(1).U16(1).U16(0x55).U16(1).U16(2).U16(3).U32(4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        Converted r;
        RunConverter(PdaWriter(c.version).Detail(d), ConvertControlDetail, r);
        ASSERT_TRUE(r.ok) << static_cast<int>(r.failure);
        EXPECT_EQ(r.consumed, r.file_size);
        EXPECT_EQ(r.bytes, c.expected.bytes());
    }
    // From 259 on an empty script still rounds the block up to even.
    d.items.clear();
    Converted r258, r259;
    RunConverter(PdaWriter(258).Detail(d), ConvertControlDetail, r258);
    RunConverter(PdaWriter(259).Detail(d), ConvertControlDetail, r259);
    ASSERT_TRUE(r258.ok && r259.ok);
    EXPECT_EQ(r258.bytes, fixed(0).bytes());
    EXPECT_EQ(r259.bytes, fixed(0).Zeros(1).bytes());
}

TEST(ConvertControlDetail, WrongScriptSignatureIsReportedAndReadOn) {
    PdaDetail d = kPlainDetail;
    d.script = {.w1 = 1, .w2 = 2, .code = "ab", .tag = "RCSX"};
    Converted r;
    RunConverter(PdaWriter(273).Detail(d), ConvertControlDetail, r);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.consumed, r.file_size);
    ASSERT_EQ(r.errors.reports.size(), 1u);
    EXPECT_EQ(r.errors.reports[0].message, kMsgWrongScriptSignature);
    HandheldBytes e;
    e.U16(0xD1).U16(0xD2).U16(0xD3).U16(0xD4).U16(0).U16(0).U16(0).U16(0).U16(26).Zeros(8);
    e.U16(6).U16(1).U16(2).Text("ab");
    EXPECT_EQ(r.bytes, e.bytes());
}

}  // namespace
}  // namespace qx

#include "conduit/app/form_record.h"

#include <gtest/gtest.h>

#include "conduit/app/app_messages.h"
#include "conduit/sync/record_buffer.h"
#include "tests/native/app/handheld_bytes.h"
#include "tests/native/conduit_sync/recording_doubles.h"
#include "tools/qxpda/pda_writer.h"

namespace qx {
namespace {

using pda::PdaControl;
using pda::PdaForm;
using pda::PdaScript;
using pda::PdaWriter;
using testing::HandheldBytes;

struct Converted {
    bool ok = false;
    PdaFailure failure = PdaFailure::kNone;
    std::vector<uint8_t> record;
    std::size_t consumed = 0;
    std::size_t file_size = 0;
    bool guard_intact = true;
    testing::RecordingErrors errors;
};

// Converts one form into a record buffer followed by guard bytes that must stay untouched.
void Convert(const PdaWriter& file, Converted& c) {
    const auto bytes = file.bytes();
    c.file_size = bytes.size();
    PdaReader reader(bytes, c.errors);
    reader.set_version(file.version());
    std::vector<uint8_t> buffer(kRecordBufferCapacity + 32, 0xA5);
    uint16_t size = 0;
    c.ok = ConvertForm(reader, buffer, size);
    c.failure = reader.failure();
    c.consumed = reader.offset();
    c.record.assign(buffer.begin(), buffer.begin() + size);
    c.guard_intact = std::all_of(buffer.begin() + kRecordBufferCapacity, buffer.end(),
                                 [](uint8_t b) { return b == 0xA5; });
}

// The form header; offsets 14 (script table) and 16 (first control) given by the test.
HandheldBytes FormHeader(uint16_t word1, uint16_t word2, uint16_t word3, uint16_t controls,
                         uint16_t script_table_at, uint16_t first_control_at) {
    HandheldBytes b;
    b.Text("FORM").U16(word2).U16(controls).U16(controls).U16(word1).U16(word3);
    b.U16(script_table_at).U16(first_control_at).Zeros(16);
    return b;
}

// A plain control (type 2 or 16) as the file holds it before version 263, and on the handheld.
PdaControl Plain(uint16_t type, uint16_t left) {
    return {.type = type,
            .control_long = 0xA0B0C0D0,
            .word = 3,
            .left = left,
            .top = 2,
            .right = 50,
            .bottom = 60};
}
HandheldBytes& PlainEntry(HandheldBytes& b, uint16_t type, uint16_t left) {
    b.Text("CTRL").U16(36).U16(36).U16(type).U32(0xA0B0C0D0).U16(3).U16(left).U16(2).U16(50);
    return b.U16(60).U16(0).U16(0).Zeros(8);
}

TEST(ConvertForm, Version54HasNoScriptTable) {
    PdaWriter file(54);
    file.Form({.word1 = 0x0101, .word2 = 0x0202, .word3 = 0x0303, .control_count = 2});
    file.Control(Plain(2, 7)).Control(Plain(16, 8));
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
    EXPECT_EQ(c.consumed, c.file_size);
    HandheldBytes e = FormHeader(0x0101, 0x0202, 0x0303, 2, 0, 34);
    PlainEntry(e, 2, 7);
    PlainEntry(e, 16, 8);
    EXPECT_EQ(c.record, e.bytes());
}

TEST(ConvertForm, Version259ReadsExactlyEightScripts) {
    PdaWriter file(259);
    PdaForm form{.word1 = 1, .word2 = 2, .word3 = 3, .control_count = 1};
    form.scripts.resize(8);
    form.scripts[1] = {.w1 = 1, .w2 = 2, .code = "abc"};
    form.scripts[3] = {.w1 = 3, .w2 = 4, .code = "wxyz"};
    file.Form(form).Control(Plain(2, 9));
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
    EXPECT_EQ(c.consumed, c.file_size);
    HandheldBytes e = FormHeader(1, 2, 3, 1, 34, 78);
    e.U16(8).U16(0).U16(24).U16(0).U16(34).Zeros(8).Zeros(6);  // script table at 34
    e.U16(6).U16(1).U16(2).Text("abc").Zeros(1);               // 58
    e.U16(6).U16(3).U16(4).Text("wxyz");                       // 68
    PlainEntry(e, 2, 9);                                       // 78
    EXPECT_EQ(c.record, e.bytes());
}

TEST(ConvertForm, ScriptCountFromVersion264) {
    for (uint16_t count : {0, 1, 11}) {
        SCOPED_TRACE(count);
        PdaForm form{.control_count = 0};
        form.scripts.assign(count, PdaScript{.w1 = 5, .w2 = 6, .code = "s"});
        PdaWriter file(264);
        file.Form(form);
        Converted c;
        Convert(file, c);
        ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
        EXPECT_EQ(c.consumed, c.file_size);
        HandheldBytes e = FormHeader(0, 0, 0, 0, 34, static_cast<uint16_t>(58 + 8 * count));
        e.U16(count);
        for (uint16_t i = 0; i < count; ++i) {
            e.U16(static_cast<uint16_t>(24 + 8 * i));
        }
        e.Zeros(22 - 2 * count);
        for (uint16_t i = 0; i < count; ++i) {
            e.U16(6).U16(5).U16(6).Text("s").Zeros(1);
        }
        EXPECT_EQ(c.record, e.bytes());
    }
}

TEST(ConvertForm, FailuresEndTheFormWithTheirMessage) {
    PdaForm twelve;
    twelve.scripts.resize(12);
    PdaForm long_script;
    long_script.scripts = {{.code = std::string(70000, 'x')}};
    PdaWriter bad_type(54);
    bad_type.Form({.control_count = 2}).Control(Plain(2, 1)).Control(Plain(18, 1));
    // 62 text controls of 1038 bytes fit after the header (64390 bytes); the 63rd does not.
    PdaWriter too_many(54);
    too_many.Form({.control_count = 63});
    for (int i = 0; i < 63; ++i) {
        too_many.Control(Plain(4, 1)).String(std::string(1000, 't'));
    }
    PdaWriter count_too_big(54);
    count_too_big.Form({.control_count = 0x10000});
    const struct {
        const char* name;
        PdaWriter file;
        PdaFailure failure;
        std::string_view message;
    } cases[] = {
        {"wrong tag", PdaWriter(54).Raw("FROM").Word(0).Word(0).Word(0).Long(0),
         PdaFailure::kWrongFormTag, kMsgAppFileCorrupted},
        {"twelve scripts", PdaWriter(264).Form(twelve), PdaFailure::kTooManyScripts,
         kMsgAppFileCorrupted},
        {"script beyond the record", PdaWriter(264).Form(long_script), PdaFailure::kRecordTooLarge,
         kMsgCannotCopyForm},
        {"control type 18", std::move(bad_type), PdaFailure::kBadControlType, kMsgCannotCopyForm},
        {"controls beyond the record", std::move(too_many), PdaFailure::kRecordTooLarge,
         kMsgCannotCopyForm},
        {"control count 65536", std::move(count_too_big), PdaFailure::kCountTooLarge,
         kMsgAppFileCorrupted},
        {"no controls after the count", PdaWriter(54).Form({.control_count = 1}),
         PdaFailure::kTruncated, kMsgAppFileCorrupted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Converted r;
        Convert(c.file, r);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(AppFailureMessage(r.failure), c.message);
        EXPECT_TRUE(r.guard_intact);
    }
}

TEST(ConvertForm, FillsTheRecordToItsLastByte) {
    // 62 text controls of 1038 bytes after the 34-byte header leave 122 bytes; one more text
    // control of exactly that size (36 + 85 characters + terminator) fills the buffer.
    PdaWriter file(54);
    file.Form({.control_count = 63});
    for (int i = 0; i < 62; ++i) {
        file.Control(Plain(4, 1)).String(std::string(1000, 't'));
    }
    file.Control(Plain(4, 1)).String(std::string(85, 'u'));
    Converted c;
    Convert(file, c);
    ASSERT_TRUE(c.ok) << static_cast<int>(c.failure);
    EXPECT_EQ(c.record.size(), kRecordBufferCapacity);
    EXPECT_TRUE(c.guard_intact);
}

TEST(ConvertForm, TruncatedAnywhereFailsCleanly) {
    PdaWriter full(273);
    PdaForm form{.word1 = 1, .control_count = 4};
    form.scripts = {{.w1 = 1, .w2 = 2, .code = "abc"}, {}};
    full.Form(form);
    full.Control({.type = 8})
        .String("label")
        .Detail({.flags = 2,
                 .s1 = "r",
                 .entries = {{.flags = 0x8000, .text = "e"}},
                 .items = {{1, 2, 3, 4}},
                 .script = {.code = "z"}});
    full.Control({.type = 7, .right = 9, .bottom = 2}).Bytes({1, 2, 3, 4});
    full.Control({.type = 17}).Word(1).Script({.code = "q"}).Detail({});
    full.Control({.type = 15}).Word(1).Word(2).Word(3).Word(4);
    Converted whole;
    Convert(full, whole);
    ASSERT_TRUE(whole.ok) << static_cast<int>(whole.failure);
    ASSERT_EQ(whole.consumed, whole.file_size);
    const auto bytes = full.bytes();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        testing::RecordingErrors errors;
        const std::vector<uint8_t> cut(bytes.begin(),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(n));
        PdaReader reader(cut, errors);
        reader.set_version(273);
        std::vector<uint8_t> buffer(kRecordBufferCapacity);
        uint16_t size = 0;
        EXPECT_FALSE(ConvertForm(reader, buffer, size));
        EXPECT_EQ(reader.failure(), PdaFailure::kTruncated);
    }
}

}  // namespace
}  // namespace qx

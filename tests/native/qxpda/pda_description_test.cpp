#include "tools/qxpda/pda_description.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/native/app/handheld_bytes.h"
#include "tests/native/app/rich_file.h"
#include "tests/native/qxpda/pda_to_pdb.h"
#include "tools/qxpda/pda_writer.h"

namespace qx {
namespace {

using pda::ParsePdaDescription;
using pda::PdaHeader;
using pda::PdaWriter;
using testing::HandheldBytes;

std::vector<uint8_t> Bytes(const std::string& description) {
    const auto parsed = ParsePdaDescription(description, "t.txt");
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return pda::WriteApplication(parsed.app);
}

// The damaged-file tests' file with every control type, told as a description.
constexpr const char* kRichDescription = R"(
version 273
name Rich
text "tail"          # flag 1 by default
table a.dbf
table-data 01 0203
string s1
string "s22"

form word1=1
script code="f"
script
control 2
control 4 text=label
control 3 type-word=1 words=1,2,3,4,5,6,7
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc
control 6 a=1 type-word=2 w=3
control bitmap box=0,0,12,2
  row 0x0102
  row 0x0304
control 8 text=x
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc
control 9 type-word=1 w=2
control 10 a=1
  control-entry e1=1 e2=2 e3=3 e4=4 e5=5 e6=6
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc
control 11 text=y type-word=1
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc

form word1=2
control 12 text=z type-word=1 a=2 b=3
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc
control 13 type-word=1
control 15 type-word=1 a=2 b=3 c=4
control 17 a=1
  control-script code=q
  detail flags=2 s1=r s2=rr d5=5
  detail-entry text=e
  detail-entry e4=4
  detail-item t1=1 t2=2 t3=3 t4=4
  detail-script w1=1 code=sc
)";

TEST(PdaDescription, TheRichFileToldAsADescriptionGivesTheWritersBytes) {
    EXPECT_EQ(Bytes(kRichDescription), testing::RichFile());
}

TEST(PdaDescription, EachItemGoesWhereTheWriterPutsIt) {
    const struct {
        const char* name;
        std::string description;
        std::function<PdaWriter()> expected;
    } cases[] = {
        {"version 54 header: no optional parts",
         "version 54\nname Sales\nheader long1=0x10203 long2=7 word1=9\ntable T.DBF",
         [] {
             PdaHeader h{.long1 = 0x10203, .name = "Sales", .long2 = 7, .word1 = 9};
             h.tables = {{"T.DBF", {}}};
             return std::move(PdaWriter(54).Header(h));
         }},
        {"trailing text left out by flag 0", "version 258\ntext \"a \\\"b\\\"\\n\" flag=0",
         [] { return std::move(PdaWriter(258).Header({.text = "a \"b\"\n"})); }},
        {"every header item at 272",
         "version 272\nheader word2=5 options=1,2,3,4\ntable t\ntable-data ff\nstring \"\"",
         [] {
             PdaHeader h{.text_flag = 0, .options = {1, 2, 3, 4}, .word2 = 5};
             h.tables = {{"t", {0xFF}}};
             h.strings = {""};
             return std::move(PdaWriter(272).Header(h));
         }},
        {"a form of 259 with its eight scripts and a control without a second word",
         "version 259\nform word1=1 word2=2 word3=3\nscript w1=1 w2=2 code=\"\\x00\\x01\" "
         "tag=RCSX\nscript\nscript\nscript\nscript\nscript\nscript\nscript\n"
         "control 2 long=0xFFFFFFFF word=1 box=1,2,3,4",
         [] {
             PdaHeader h{.form_count = 1};
             PdaWriter w(259);
             w.Header(h).Form(
                 {.word1 = 1,
                  .word2 = 2,
                  .word3 = 3,
                  .scripts = {{.w1 = 1, .w2 = 2, .code = std::string("\0\1", 2), .tag = "RCSX"},
                              {},
                              {},
                              {},
                              {},
                              {},
                              {},
                              {}},
                  .control_count = 1});
             w.Control({.type = 2,
                        .control_long = 0xFFFFFFFF,
                        .word = 1,
                        .left = 1,
                        .top = 2,
                        .right = 3,
                        .bottom = 4});
             return w;
         }},
        {"pixels are read from the left, high bit first",
         "version 264\nform\ncontrol 7 box=1,1,11,3 second=4\nrow X.......XX\nrow .X......X.",
         [] {
             PdaWriter w(264);
             w.Header({.form_count = 1}).Form({.control_count = 1});
             w.Control({.type = 7, .left = 1, .top = 1, .right = 11, .bottom = 3, .second_word = 4})
                 .Bytes({0x80, 0xC0, 0x40, 0x80});
             return w;
         }},
        {"type 17 before 273 has no detail; type 14 gets an empty one",
         "version 272\nform\ncontrol 17 a=3\ncontrol-script w1=1 code=s\ncontrol 14",
         [] {
             PdaWriter w(272);
             w.Header({.form_count = 1}).Form({.control_count = 2});
             w.Control({.type = 17}).Word(3).Script({.w1 = 1, .code = "s"});
             w.Control({.type = 14}).Word(0);
             for (int i = 0; i < 7; ++i) {
                 w.Word(0);
             }
             w.Detail({});
             return w;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Bytes(c.description), c.expected().bytes());
    }
}

TEST(PdaDescription, ConvertsToTheExpectedDatabase) {
    // Three forms with plain controls, the last a bitmap of width 10 and height 2.
    const auto pda = Bytes(R"(version 54
name Sales
form word1=1
  control 2
form word1=2
  control 16
form word1=3
  control bitmap box=0,0,10,2
    row X.X.X.X.XX
    row ..........
)");
    const testing::Converted c = testing::ConvertToPdb(pda, "route.pda");
    ASSERT_EQ(c.result, 1) << ::testing::PrintToString(c.messages);
    ASSERT_TRUE(c.read.ok) << c.read.error;
    EXPECT_EQ(c.read.db.header.name, "QX-SE_ROUTE");
    EXPECT_EQ(c.read.db.header.type, FourCc("FORM"));
    HandheldBytes info;
    info.Text("QXAD").Zeros(4).Field("Sales", 32).U16(0x0210).U16(0).U16(3).Zeros(44);
    ASSERT_TRUE(c.read.db.app_info.has_value());
    EXPECT_EQ(*c.read.db.app_info, info.bytes());
    ASSERT_EQ(c.read.db.records.size(), 3u);
    for (uint16_t form = 1; form <= 2; ++form) {
        HandheldBytes plain;
        plain.Text("FORM").U16(0).U16(1).U16(1).U16(form).U16(0).U16(0).U16(34).Zeros(16);
        plain.Text("CTRL").U16(36).U16(36).U16(form == 1 ? 2 : 16).Zeros(26);
        EXPECT_EQ(c.read.db.records[form - 1].data, plain.bytes());
    }
    // The bitmap's rows are inverted on the handheld: 0xAA 0xC0 becomes 0x55 0x3F.
    HandheldBytes bitmap;
    bitmap.Text("FORM").U16(0).U16(1).U16(1).U16(3).U16(0).U16(0).U16(34).Zeros(16);
    bitmap.Text("CTRL").U16(36).U16(36 + 24).U16(7).Zeros(10).U16(10).U16(2).Zeros(12);
    bitmap.U16(10).U16(2).U16(2).Zeros(10).U8(0x55).U8(0x3F).U8(0xFF).U8(0xFF).Zeros(4);
    EXPECT_EQ(c.read.db.records[2].data, bitmap.bytes());
}

TEST(PdaDescription, BadDescriptionsNameTheLineAndWhatIsWrong) {
    const struct {
        const char* description;
        const char* error;
    } cases[] = {
        {"", "t.txt:1: no 'version N' line: the description starts with one"},
        {"# only a comment\n\n", "t.txt:2: no 'version N' line: the description starts with one"},
        {"name x\nversion 273",
         "t.txt:1: the description starts with 'version N' (54 and up), not 'name'"},
        {"version 53", "t.txt:1: version 53 is older than the conduit reads (54 and up)"},
        {"version two", "t.txt:1: 'version' must be a number from 0 to 2147483647, not 'two'"},
        {"version 273\nversion 273", "t.txt:2: 'version' is given once, on the first line"},
        {"version 273\nform\ncontrol buton",
         "t.txt:3: unknown control type 'buton' (a number 2 to 17, or bitmap)"},
        {"version 273\nform\ncontrol 18", "t.txt:3: control type 18 is outside 2 to 17"},
        {"version 273\nform\ncontrol 1", "t.txt:3: control type 1 is outside 2 to 17"},
        {"version 273\nfrom", "t.txt:2: unknown item 'from'"},
        {"version 273\ncontrol 2", "t.txt:2: 'control' belongs to a form; start one with 'form'"},
        {"version 273\nform\ncontrol 4 a=1", "t.txt:3: control type 4 has no 'a'"},
        {"version 273\nform\ncontrol 4 txt=\"x\"", "t.txt:3: control type 4 has no 'txt'"},
        {"version 273\nform\ncontrol 2 box=1,2,3",
         "t.txt:3: 'box' takes 4 numbers separated by commas, not 3"},
        {"version 273\nform\ncontrol 2 box=1,2,3,65536",
         "t.txt:3: 'box' must be a number from 0 to 65535, not '65536'"},
        {"version 273\nform word1=-1",
         "t.txt:2: 'word1' must be a number from 0 to 65535, not '-1'"},
        {"version 273\nform word1=1 word1=2", "t.txt:2: 'word1' given twice"},
        {"version 273\nform 1", "t.txt:2: 'form' takes no '1'; values are given as name=value"},
        {"version 273\nname \"Orders", "t.txt:2: string not closed with '\"'"},
        {"version 273\nname \"a\\q\"",
         "t.txt:2: unknown escape '\\q' (use \\n \\r \\t \\0 \\\\ \\\" \\xHH)"},
        {"version 273\nname a\"b\"", "t.txt:2: a quote inside 'a'; put a space before it"},
        {"version 273\nname", "t.txt:2: 'name' takes one name"},
        {"version 257\ntext x",
         "t.txt:2: 'text' is in the file from version 258 on; this one is 257"},
        {"version 260\nstring x",
         "t.txt:2: 'string' is in the file from version 261 on; this one is 260"},
        {"version 271\nheader options=1,2,3,4",
         "t.txt:2: 'option 4' is in the file from version 272 on; this one is 271"},
        {"version 273\ntable-data 01", "t.txt:2: 'table-data' follows the 'table' it belongs to"},
        {"version 273\ntable t\ntable-data 1", "t.txt:3: '1' is not hex bytes (two digits a byte)"},
        {"version 273\nform\nname x",
         "t.txt:3: 'name' belongs to the header, before the first form"},
        {"version 273\nform\ncontrol 2\nscript",
         "t.txt:4: a form's scripts come before its controls"},
        {"version 260\nform\nscript\nform",
         "t.txt:2: a form of version 259 to 263 has exactly 8 scripts (give empty ones as "
         "'script'); this one has 1"},
        {"version 273\nform\nscript w1=1",
         "t.txt:3: a script without code is written as its length 0 alone: w1 and w2 have no "
         "place"},
        {"version 273\nform\nscript code=x tag=RC",
         "t.txt:3: a script's tag is four bytes, not 'RC'"},
        {"version 273\nform\ncontrol 7 box=0,0,4,2\nrow X..X\ncontrol 2",
         "t.txt:3: this bitmap has 2 rows (bottom - top) but 1 'row' lines"},
        {"version 273\nform\ncontrol 7 box=0,0,4,1\nrow X..",
         "t.txt:4: a row of this bitmap is 4 pixels (right - left), not 3"},
        {"version 273\nform\ncontrol 7 box=0,0,4,1\nrow X..o",
         "t.txt:4: a pixel is X (set) or . (clear), not 'o'"},
        {"version 273\nform\ncontrol 7 box=0,0,12,1\nrow 0x01",
         "t.txt:4: a row of this bitmap is 2 bytes, not '0x01'"},
        {"version 273\nform\ncontrol 7 box=4,0,0,1",
         "t.txt:3: a bitmap's box runs from left,top to right,bottom; this one is backwards"},
        {"version 273\nform\ncontrol 2\nrow X", "t.txt:4: a control of type 2 has no 'row'"},
        {"version 273\nform\ncontrol 4\ndetail",
         "t.txt:4: a control of type 4 has no detail (types 3, 8, 10, 11, 12, 14, 17)"},
        {"version 272\nform\ncontrol 17\ndetail",
         "t.txt:4: a control of type 17 has a detail from version 273 on"},
        {"version 273\nform\ncontrol 8\ndetail-entry e1=1",
         "t.txt:4: 'detail-entry' belongs to a 'detail'; give that line first"},
        {"version 273\nform\ncontrol 8\ndetail\ndetail", "t.txt:5: a control has one 'detail'"},
        {"version 273\nform\ncontrol 8\ndetail\ndetail-entry text=a e4=1",
         "t.txt:5: an entry holds either text or e4"},
        {"version 273\nform\ncontrol 8\ndetail\ndetail-entry flags=0x8000",
         "t.txt:5: an entry whose flags have 0x8000 holds a text: give text=\"...\""},
        {"version 256\nform\ncontrol 8\ndetail\ndetail-item t1=1",
         "t.txt:5: 'detail-item' is in the file from version 257 on; this one is 256"},
        {"version 273\nform\ncontrol 10\ncontrol-entry e7=1",
         "t.txt:4: 'control-entry' has no 'e7'"},
        {"version 273\nform\ncontrol 17\ncontrol-script\ncontrol-script",
         "t.txt:5: a control has one 'control-script'"},
        {"version 262\nform\ncontrol 2 second=1",
         "t.txt:3: 'second' is in the file from version 263 on; this one is 262"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        const auto parsed = ParsePdaDescription(c.description, "t.txt");
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(PdaDescription, AStringOfTheConduitsLimitIsTakenOneMoreIsNot) {
    const std::string ok = "version 273\nname \"" + std::string(1023, 'a') + "\"";
    EXPECT_TRUE(ParsePdaDescription(ok, "t.txt").ok);
    const auto parsed =
        ParsePdaDescription("version 273\nname \"" + std::string(1024, 'a') + "\"", "t.txt");
    EXPECT_EQ(parsed.error, "t.txt:2: 'name' is 1024 bytes; the conduit reads at most 1023");
    // A script's code has a 32-bit length: no such limit.
    EXPECT_TRUE(ParsePdaDescription(
                    "version 273\nform\nscript code=\"" + std::string(2000, 'c') + "\"", "t.txt")
                    .ok);
}

}  // namespace
}  // namespace qx

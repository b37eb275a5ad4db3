#include "tools/qxhandheld/table_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

using tables::HandheldColumn;

std::vector<uint8_t> Info() {
    const std::vector<HandheldColumn> columns = {
        {.decimals = 0, .letter = 'N', .name = "QTY", .width = 5},
        {.decimals = 0, .letter = 'C', .name = "ITEM", .width = 12},
        {.decimals = 2, .letter = 'F', .name = "PRICE", .width = 8},
        {.decimals = 0, .letter = 'Q', .name = "BIG", .width = 12},
        {.decimals = 0, .letter = 'C', .name = "NOTES", .width = tables::kMemoColumnWidth},
        {.decimals = 0, .letter = 'G', .name = "SKETCH", .width = 10},
    };
    return tables::EncodeTableInfoBlock(columns, 60);
}

// QTY 7, ITEM "Cups", PRICE 2.5, BIG 9, NOTES "a", SKETCH empty.
const std::vector<uint8_t> kRecord = {
    4, 0,    0,    0,   7,                // 32-bit integer
    5, 'C',  'u',  'p', 's', 0,           // text and NUL
    8, 0x40, 0x04, 0,   0,   0, 0, 0, 0,  // double 2.5
    8, 0,    0,    0,   0,   0, 0, 0, 9,  // 64-bit integer
    2, 'a',  0,                           // memo text
    0,                                    // no picture
};

std::string Texts(const std::vector<ShownField>& fields) {
    std::string out;
    for (const auto& f : fields) {
        out += f.name + "=" + f.text + ";";
    }
    return out;
}

TEST(TableRecord, ShowsEveryFieldAndEditsOneLeavingTheOthers) {
    std::string error;
    const auto shown = ShowTableRecord(Info(), kRecord, error);
    ASSERT_TRUE(shown) << error;
    EXPECT_EQ(Texts(*shown), "QTY=7;ITEM=Cups;PRICE=    2.50;BIG=9;NOTES=a;SKETCH=;");

    const struct {
        const char* column;
        const char* text;
        const char* shown;
    } edits[] = {
        {"QTY", "-12", "QTY=-12;ITEM=Cups;PRICE=    2.50;BIG=9;NOTES=a;SKETCH=;"},
        {"ITEM", "Saucers", "QTY=7;ITEM=Saucers;PRICE=    2.50;BIG=9;NOTES=a;SKETCH=;"},
        {"ITEM", "", "QTY=7;ITEM=;PRICE=    2.50;BIG=9;NOTES=a;SKETCH=;"},
        {"PRICE", "3.75", "QTY=7;ITEM=Cups;PRICE=    3.75;BIG=9;NOTES=a;SKETCH=;"},
        {"BIG", "12345678901", "QTY=7;ITEM=Cups;PRICE=    2.50;BIG=12345678901;NOTES=a;SKETCH=;"},
        {"NOTES", "two\nlines", "QTY=7;ITEM=Cups;PRICE=    2.50;BIG=9;NOTES=two\r\nlines;SKETCH=;"},
    };
    for (const auto& e : edits) {
        const auto edited = EditTableRecord(Info(), kRecord, e.column, e.text, error);
        ASSERT_TRUE(edited) << e.column << ": " << error;
        const auto again = ShowTableRecord(Info(), *edited, error);
        ASSERT_TRUE(again) << e.column << ": " << error;
        EXPECT_EQ(Texts(*again), e.shown) << e.column;
    }
}

TEST(TableRecord, RefusesWhatCannotBeTypedOrRead) {
    const struct {
        std::vector<uint8_t> record;
        const char* column;
        const char* text;
        const char* error;
    } cases[] = {
        {kRecord, "NOPE", "1", "no column named NOPE"},
        {kRecord, "SKETCH", "x", "column SKETCH cannot be typed into"},
        {kRecord, "ITEM", "thirteen char", "\"thirteen char\" is wider than column ITEM (12)"},
        {{4, 0, 0, 0}, "QTY", "1", "column QTY: "},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(EditTableRecord(Info(), c.record, c.column, c.text, error)) << c.column;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
    std::string error;
    const std::vector<uint8_t> short_block = {'Q', 'X', 'T', 'D', 0, 5};
    EXPECT_FALSE(ShowTableRecord(short_block, kRecord, error));
    EXPECT_EQ(error.rfind("not a table database: ", 0), 0u) << error;
}

}  // namespace
}  // namespace qx

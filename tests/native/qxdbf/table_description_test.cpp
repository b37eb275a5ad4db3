#include "tools/qxdbf/table_description.h"

#include <gtest/gtest.h>

#include <string>

#include "conduit/dbase/memory_file_system.h"

namespace qx::qxdbf {
namespace {

constexpr char kDescription[] =
    "# a comment, then blank lines\n"
    "\n"
    "field CUSTNO  N 6\n"
    "field BALANCE N 10 2\n"
    "field NAME    C 12\n"
    "field SINCE   D\n"
    "field ACTIVE  L\n"
    "field NOTES   M\n"
    "row     1001 | 1250.50 | Ada \\| Co | 19990312 | T | Morning.\\nCall first.\n"
    "deleted 1002 |    0.00 | Caf\xE9      | 20010101 | F |\n"
    "row     1003 |         | x\\x41      |          |   | tab\\there\\\\ \n";

std::string Text(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t n) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
}

TEST(TableDescription, MakesTheTableAndShowsItBackInTheSameForm) {
    std::string error;
    const auto table = ParseTableDescription(kDescription, error);
    ASSERT_TRUE(table) << error;
    dbase::MemoryFileSystem files;
    ASSERT_TRUE(WriteDescribedTable(*table, files, "CUST.DBF", error)) << error;

    // Rows: flag, numbers right-aligned, text left-aligned in OEM, the memo's block number.
    const auto& dbf = files.Contents("CUST.DBF");
    const std::size_t header = 32 + 6 * 32 + 1;
    const std::size_t length = 1 + 6 + 10 + 12 + 8 + 1 + 10;
    ASSERT_EQ(dbf.size(), header + 3 * length + 1);
    EXPECT_EQ(dbf[0], 0x8B);  // memos with block headers
    EXPECT_EQ(Text(dbf, header, length), "   1001   1250.50Ada | Co    19990312T0000000001");
    EXPECT_EQ(Text(dbf, header + length, length),
              "*  1002      0.00Caf\x82        20010101F          ");
    EXPECT_EQ(dbf.back(), 0x1A);

    // The memo: block 1, with its block header and the line break as CR LF.
    const auto& dbt = files.Contents("CUST.dbt");
    ASSERT_GE(dbt.size(), 512u + 8 + 21);
    EXPECT_EQ(Text(dbt, 512, 8), std::string("\xFF\xFF\x08\x00\x1D\x00\x00\x00", 8));
    EXPECT_EQ(Text(dbt, 520, 21), "Morning.\r\nCall first.");

    std::string shown;
    ASSERT_TRUE(DescribeTable(files, "CUST.DBF", shown, error)) << error;
    EXPECT_EQ(shown,
              "# CUST: 3 rows, version 0x8B\n"
              "field CUSTNO N 6\n"
              "field BALANCE N 10 2\n"
              "field NAME C 12\n"
              "field SINCE D\n"
              "field ACTIVE L\n"
              "field NOTES M\n"
              "row 1001 | 1250.50 | Ada \\| Co | 19990312 | T | Morning.\\nCall first.\n"
              "deleted 1002 | 0.00 | Caf\xE9 | 20010101 | F |\n"
              "row 1003 |  | xA |  |  | tab\\there\\\\\n");

    // What is shown makes the same rows again.
    const auto again = ParseTableDescription(shown, error);
    ASSERT_TRUE(again) << error;
    dbase::MemoryFileSystem other;
    ASSERT_TRUE(WriteDescribedTable(*again, other, "CUST.DBF", error)) << error;
    EXPECT_EQ(Text(other.Contents("CUST.DBF"), header, 3 * length),
              Text(files.Contents("CUST.DBF"), header, 3 * length));
}

TEST(TableDescription, AFailedWriteLeavesTheOldTableAsItWas) {
    std::string error;
    const auto table = ParseTableDescription(kDescription, error);
    ASSERT_TRUE(table) << error;
    dbase::MemoryFileSystem files;
    ASSERT_TRUE(WriteDescribedTable(*table, files, "CUST.DBF", error)) << error;
    const auto dbf = files.Contents("CUST.DBF");
    const auto dbt = files.Contents("CUST.dbt");

    for (const int fault : {1, 2, 4, 8}) {
        files.FailNthWriteOrSeek(fault, true);
        EXPECT_FALSE(WriteDescribedTable(*table, files, "CUST.DBF", error)) << fault;
        files.FailNthWriteOrSeek(0, false);
        EXPECT_EQ(files.Contents("CUST.DBF"), dbf) << fault;
        EXPECT_EQ(files.Contents("CUST.dbt"), dbt) << fault;
        EXPECT_FALSE(files.Exists("CUST.DBF.qxnew")) << fault;
    }
}

TEST(TableDescription, FaultsNameTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"field A C\n", "1: a C field needs a length from 1 to 254"},
        {"field A C 255\n", "1: a C field needs a length from 1 to 254"},
        {"field A N 4 5\n", "1: decimals are for N fields"},
        {"field A D 8\n", "1: a D field has a fixed length"},
        {"field A X 3\n", "1: unknown field type 'X'"},
        {"field ABCDEFGHIJKL C 3\n", "1: field name \"ABCDEFGHIJKL\" is longer than 11"},
        {"field A C 3\nfield A N 2\n", "2: field A is named twice"},
        {"row 1\n", "1: a row before any field"},
        {"field A C 3\nfield B C 3\n\nrow x\n", "4: 1 values for 2 fields"},
        {"field A C 3\nrow abcd\n", "2: value \"abcd\" is longer than field A (3)"},
        {"field A C 3\nrow a\\\n", "2: a backslash ends the line"},
        {"field A C 3\nrow \\q\n", "2: unknown escape \\q"},
        {"field A C 3\nrow \\x4\n", "2: \\x needs two hex digits"},
        {"field G G\nrow ink\n", "2: picture field G can only be left empty"},
        {"field A C 3\nrow a\nfield B C 1\n", "3: fields come before the rows"},
        {"table A\n", "1: unknown item \"table\""},
        {"# nothing\n", "the description has no fields"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseTableDescription(c.text, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
    }
}

TEST(TableDescription, ADamagedTableIsAnErrorNotAShow) {
    dbase::MemoryFileSystem files;
    files.Contents("BAD.DBF") = {0x03, 99, 1, 1, 5, 0, 0, 0};
    std::string shown, error;
    EXPECT_FALSE(DescribeTable(files, "BAD.DBF", shown, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(DescribeTable(files, "MISSING.DBF", shown, error));
    EXPECT_EQ(error, "cannot open MISSING.DBF");
}

}  // namespace
}  // namespace qx::qxdbf

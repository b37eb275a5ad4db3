// The table commands against the other backends: a .pdb file instead of a handheld, and desktop
// files on a real disk instead of in memory.

#include <gtest/gtest.h>

#include <fstream>

#include "conduit/dbase/stdio_file_system.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/tables/staged_table_files.h"
#include "conduit/tables/table_messages.h"
#include "tests/native/dbase/dbase_test_support.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

using dbase::testing::BuildTable;

std::vector<uint8_t> ReadDisk(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>{std::istreambuf_iterator<char>(in), {}};
}

void WriteDisk(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class PdbTableTest : public testing::TableTest {
  protected:
    PalmDbReadResult WritePdb(const std::string& table_path) {
        PdbFileOps pdb(disk_, testing::kClock, log_, [&] { return table_path; });
        EXPECT_EQ(CopyTableToHandheld({pdb, log_, errors_, buffer_, files_}, table_path,
                                      FourCc("QVXD"), 1),
                  1);
        return ReadPalmDatabase(ReadDisk(scratch_.path() / "QXT-SE_STOCK.pdb"));
    }
};

TEST_F(PdbTableTest, WritesTheSameBlockAndRecordsIntoAPdbFile) {
    const std::string path = (scratch_.path() / "stock.dbf").string();
    files_.Contents(path) =
        BuildTable(0x03, {{"ITEM", 'C', 4}, {"QTY", 'N', 3}}, {" nut   7", "*old   1", " bolt 12"});
    const PalmDbReadResult read = WritePdb(path);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.header.name, "QXT-SE_STOCK");
    EXPECT_EQ(read.db.header.type, FourCc("TABL"));
    EXPECT_EQ(read.db.app_info, testing::InfoBlock({{'C', "ITEM", 4}, {'N', "QTY", 3}}, 8));
    ASSERT_EQ(read.db.records.size(), 2u);
    EXPECT_EQ(read.db.records[0].data,
              testing::Bytes().Raw({0x04, 'n', 'u', 't', 0, 0x04, 0, 0, 0, 7}).bytes());
    EXPECT_EQ(read.db.records[1].data,
              testing::Bytes().Raw({0x05, 'b', 'o', 'l', 't', 0, 0x04, 0, 0, 0, 12}).bytes());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PdbTableTest, ARecordCountNeverWraps) {
    const std::string path = (scratch_.path() / "stock.dbf").string();
    files_.Contents(path) =
        BuildTable(0x03, {{"A", 'C', 1}}, std::vector<std::string>(65536 + 10, " x"));
    const PalmDbReadResult read = WritePdb(path);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.records.size(), 65535u);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgCannotCopyRecord)});
}

class DiskTableTest : public testing::TableTest {};

TEST_F(DiskTableTest, RetrievalReplacesFilesOnDisk) {
    dbase::StdioFileSystem disk_files;
    const auto table = scratch_.path() / "Orders.dbf";
    const auto memo = scratch_.path() / "Orders.dbt";
    WriteDisk(table, {'o', 'l', 'd'});
    WriteDisk(memo, {'o', 'l', 'd', 'm'});
    PutHandheldTable("QXT-SE_ORDERS", testing::InfoBlock({{'C', "NOTE", 300}}, 11),
                     {testing::Bytes().Raw({0x02, 'n', 0}).bytes()});

    ASSERT_EQ(
        GetTableFromHandheld({*ops_, log_, errors_, buffer_, disk_files, nullptr}, table.string()),
        1);
    std::vector<uint8_t> expected = BuildTable(0x8B, {{"NOTE", 'M', 10}}, {" 0000000001"});
    const std::vector<uint8_t> actual = ReadDisk(table);
    ASSERT_EQ(actual.size(), expected.size());
    std::copy_n(actual.begin() + 1, 3, expected.begin() + 1);  // today's date
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ReadDisk(memo).size(), 1024u);
    EXPECT_FALSE(std::filesystem::exists(StagedPathFor(table.string())));
    EXPECT_FALSE(std::filesystem::exists(SetAsidePathFor(table.string())));
    EXPECT_FALSE(std::filesystem::exists(SetAsidePathFor(memo.string())));

    // A second retrieval that fails leaves what the first one wrote.
    ops_->fail_purge = true;
    EXPECT_EQ(
        GetTableFromHandheld({*ops_, log_, errors_, buffer_, disk_files, nullptr}, table.string()),
        0);
    EXPECT_EQ(ReadDisk(table), actual);
    EXPECT_FALSE(std::filesystem::exists(StagedPathFor(table.string())));
}

}  // namespace
}  // namespace qx::tables

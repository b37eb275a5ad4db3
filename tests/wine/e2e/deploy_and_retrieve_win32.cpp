// A deployment's data moving both ways under a real HotSync: an application and a table go to the
// emulated handheld (commands 7 and 8), the person holding it edits one row and deletes another,
// and the table comes back into the desktop's .DBF and .DBT (command 4).

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/creator_id.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/pdb/palm_database_reader.h"
#include "tests/wine/support/child_process_win32.h"
#include "tools/qxdbf/table_description.h"
#include "tools/qxpda/pda_writer.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

constexpr char kFolder[] = "C:\\qxdeploy";
constexpr char kDevice[] = "C:\\Palm\\Cradle";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

PalmDatabase ReadDatabase(const std::string& path) {
    const auto read = ReadPalmDatabase(ReadBytes(path));
    EXPECT_TRUE(read.ok) << path << ": " << read.error;
    return read.db;
}

class DeployAndRetrieve : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryA(kFolder, nullptr);
        std::string error;
        ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix_, error)) << error;
    }
    void TearDown() override { UnloadLutrix(lutrix_); }

    // Queues one command while this process keeps the queue alive, and presses HotSync.
    void SyncWith(int32_t command, const std::string& file) {
        ASSERT_EQ(lutrix_.QX_AddToCommandQueueEx(command, file.c_str(), FourCc("QVXD"), 1), 1);
        int code = -1;
        const std::string output = RunToEnd("C:\\Palm\\HOTSYNC.EXE /once", &code);
        EXPECT_EQ(code, 0) << output;
    }

    LutrixBinding lutrix_;
};

TEST_F(DeployAndRetrieve, AnApplicationOnTheHandheldIsTheOneItsPdbFileHolds) {
    pda::PdaHeader header;
    header.name = "Orders";
    header.form_count = 2;
    header.tables = {{.name = "CUSTOMER", .data = {}}, {.name = "ORDERS", .data = {}}};
    header.strings = {"Customer", "Order"};
    pda::PdaWriter pda(273);
    pda.Header(header);
    pda.Form({.word1 = 1, .word2 = 0, .word3 = 0, .scripts = {}, .control_count = 3})
        .Control({.type = 2, .left = 4, .top = 4, .right = 60, .bottom = 16})
        .Control({.type = 4, .left = 4, .top = 20, .right = 60, .bottom = 32})
        .String("Customer:")
        .Control({.type = 16, .left = 64, .top = 20, .right = 150, .bottom = 32});
    pda.Form({.word1 = 2, .word2 = 0, .word3 = 0, .scripts = {}, .control_count = 1})
        .Control({.type = 5, .left = 0, .top = 0, .right = 159, .bottom = 12})
        .String("New order");
    const std::string file = std::string(kFolder) + "\\ORDERS.PDA";
    {
        std::ofstream out(file, std::ios::binary);
        const auto bytes = pda.bytes();
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    SyncWith(7, file);
    int code = -1;
    RunToEnd("qxpdb.exe write-app " + file + " QVXD 1", &code);
    ASSERT_EQ(code, 0);

    const PalmDatabase on_device = ReadDatabase(std::string(kDevice) + "\\QX-SE_ORDERS.pdb");
    const PalmDatabase in_file = ReadDatabase(std::string(kFolder) + "\\QX-SE_ORDERS.pdb");
    EXPECT_EQ(on_device.header.creator, FourCc("QVXD"));
    ASSERT_TRUE(on_device.app_info && in_file.app_info);
    EXPECT_EQ(*on_device.app_info, *in_file.app_info);
    ASSERT_EQ(on_device.records.size(), 2u);
    ASSERT_EQ(in_file.records.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(on_device.records[i].data, in_file.records[i].data) << "form " << i;
    }
}

TEST_F(DeployAndRetrieve, ATableEditedOnTheHandheldComesBackWithoutItsDeletedRow) {
    const std::string table = std::string(kFolder) + "\\CUST.DBF";
    std::string error;
    const auto described = qxdbf::ParseTableDescription(
        "field CUSTNO N 6\n"
        "field NAME   C 20\n"
        "field CREDIT N 10 2\n"
        "field SINCE  D\n"
        "field ACTIVE L\n"
        "field NOTES  M\n"
        "row     1001 | Harbour Bakery | 2500.00 | 20190314 | T | Back door.\\nAsk for Mia.\n"
        "deleted 1002 | Gone Ltd       |    0.00 | 20000101 | F |\n"
        "row     1003 | Cafe Lumiere   |  800.00 | 20210920 | T |\n"
        "row     1004 | Blue Fern      | 1500.00 | 20200111 | T | Orders double in May.\n",
        error);
    ASSERT_TRUE(described) << error;
    dbase::StdioFileSystem files;
    ASSERT_TRUE(qxdbf::WriteDescribedTable(*described, files, table, error)) << error;

    SyncWith(8, table);
    const std::string device = RunToEnd(std::string("qxhandheld.exe list ") + kDevice);
    EXPECT_NE(device.find("QXT-SE_CUST"), std::string::npos) << device;
    const std::string first =
        RunToEnd(std::string("qxhandheld.exe fields ") + kDevice + " QXT-SE_CUST 0");
    EXPECT_NE(first.find("Back door.\\x0D\\x0AAsk for Mia."), std::string::npos) << first;

    // The person holding the device changes a credit limit and a note, and deletes a customer.
    const std::string edit = std::string("qxhandheld.exe set-field ") + kDevice + " QXT-SE_CUST ";
    int code = -1;
    RunToEnd(edit + "0 CREDIT 3100.5", &code);
    EXPECT_EQ(code, 0);
    RunToEnd(edit + "2 NOTES \"Orders triple in May.\"", &code);
    EXPECT_EQ(code, 0);
    RunToEnd(std::string("qxhandheld.exe mark ") + kDevice + " QXT-SE_CUST 1 deleted", &code);
    EXPECT_EQ(code, 0);

    SyncWith(4, table);
    std::string shown;
    ASSERT_TRUE(qxdbf::DescribeTable(files, table, shown, error)) << error;
    EXPECT_EQ(shown,
              "# CUST: 2 rows, version 0x8B\n"
              "field CUSTNO N 6\n"
              "field NAME C 20\n"
              "field CREDIT N 10 2\n"
              "field SINCE D\n"
              "field ACTIVE L\n"
              "field NOTES M\n"
              "row 1001 | Harbour Bakery | 3100.50 | 20190314 | T | Back door.\\nAsk for Mia.\n"
              "row 1004 | Blue Fern | 1500.00 | 20200111 | T | Orders triple in May.\n");

    // The handheld keeps the table, purged, with its changes no longer pending.
    const PalmDatabase after = ReadDatabase(std::string(kDevice) + "\\QXT-SE_CUST.pdb");
    ASSERT_EQ(after.records.size(), 2u);
    for (const auto& record : after.records) {
        EXPECT_EQ(record.attributes & (kFileRecDeleted | kFileRecDirty), 0)
            << "record " << record.unique_id;
    }
}

}  // namespace
}  // namespace qx::test

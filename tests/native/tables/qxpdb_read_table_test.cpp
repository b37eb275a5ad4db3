// qxpdb read-table run as a person runs it: a table written with write-table comes back through
// read-table with the same rows, from the .pdb file or from an emulated handheld's folder, and a
// source that is missing or holds no table is refused with a clear message, exit status 1 and the
// user's old table untouched.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/palm_database_writer.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_records.h"
#include "standins/handheld/handheld_device.h"
#include "tests/native/conduit_sync/recording_doubles.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::tables {
namespace {

using dbase::testing::BuildTable;
using dbase::testing::FieldLayout;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::vector<uint8_t> ReadDisk(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>{std::istreambuf_iterator<char>(in), {}};
}

void WriteDisk(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// Fixed-width field texts as a dBase program stores them.
std::string Left(std::string_view text, std::size_t width) {
    std::string field(text);
    field.resize(width, ' ');
    return field;
}
std::string Right(std::string_view text, std::size_t width) {
    return std::string(width - text.size(), ' ') + std::string(text);
}

const std::vector<FieldLayout> kFields = {
    {"NAME", 'C', 12}, {"QTY", 'N', 5},  {"TOTAL", 'N', 12}, {"PRICE", 'N', 8, 2},
    {"DUE", 'D', 8},   {"PAID", 'L', 1}, {"NOTE", 'M', 10},
};

std::string Row(char flag, std::string_view name, std::string_view qty, std::string_view total,
                std::string_view price, std::string_view due, char paid, std::string_view note) {
    return flag + Left(name, 12) + Right(qty, 5) + Right(total, 12) + Right(price, 8) +
           Left(due, 8) + paid + Left(note, 10);
}

// Row 2 is deleted and does not travel; the memos sit in blocks 1..3 in row order, as the
// retrieval stores them again. "N\x81sse" is OEM (code page 437) text.
const std::vector<std::string> kRows = {
    Row(' ', "N\x81sse", "7", "42", "1.50", "20240301", 'T', "0000000001"),
    Row('*', "old", "1", "1", "0.00", "20000101", 'F', ""),
    Row(' ', "bolt", "-3", "123456789012", "-0.25", "", 'F', "0000000002"),
    Row(' ', "", "", "", "", "", ' ', "0000000003"),
};
const std::vector<std::string> kMemos = {"two\r\nlines", "ok", "x"};

class ReadTableToolTest : public ::testing::Test {
  protected:
    std::filesystem::path At(std::string_view name) const { return scratch_.path() / name; }

    static ToolRun Qxpdb(const std::vector<std::string>& args) {
        std::string command = "'" QX_QXPDB_PATH "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        static int serial = 0;
        const std::string out =
            (std::filesystem::temp_directory_path() /
             ("qxpdb-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
                .string();
        command += " >'" + out + ".out' 2>'" + out + ".err'";
        ToolRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = Text(ReadDisk(out + ".out"));
        run.err = Text(ReadDisk(out + ".err"));
        std::filesystem::remove(out + ".out");
        std::filesystem::remove(out + ".err");
        return run;
    }

    // STOCK.DBF and its memo file, written as dBase IV writes them; then its .pdb.
    std::filesystem::path WriteStockPdb() {
        WriteDisk(At("STOCK.DBF"), BuildTable(0x8B, kFields, kRows));
        dbase::StdioFileSystem files;
        dbase::testing::RecordingSink sink;
        dbase::MemoFile memo(files, sink);
        memo.SetMemoPath(At("STOCK.DBF").string());
        for (const std::string& text : kMemos) {
            memo.AppendMemo(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                            true);
        }
        EXPECT_TRUE(memo.FinishMemoFile());
        EXPECT_TRUE(sink.reports.empty());
        const ToolRun wrote = Qxpdb({"write-table", At("STOCK.DBF").string()});
        EXPECT_EQ(wrote.status, 0) << wrote.out << wrote.err;
        return At("QXT-SE_STOCK.pdb");
    }

    // The table read-table should give back: the live rows, header as written today.
    static void ExpectTableHolds(const std::filesystem::path& table,
                                 const std::vector<std::string>& rows,
                                 const std::vector<std::string>& memos) {
        std::vector<uint8_t> expected = BuildTable(0x8B, kFields, rows);
        const std::vector<uint8_t> actual = ReadDisk(table);
        ASSERT_EQ(actual.size(), expected.size());
        std::copy_n(actual.begin() + 1, 3, expected.begin() + 1);  // the date of writing
        EXPECT_EQ(Text(actual), Text(expected));

        dbase::StdioFileSystem files;
        dbase::testing::RecordingSink sink;
        dbase::MemoFile memo(files, sink);
        memo.SetMemoPath(table.string());
        for (std::size_t i = 0; i < memos.size(); ++i) {
            std::string text;
            EXPECT_TRUE(memo.ReadMemo(static_cast<uint32_t>(i + 1), true, text)) << i;
            EXPECT_EQ(text, memos[i]) << i;
        }
        EXPECT_TRUE(memo.Close());
    }

    qx::testing::ScratchFolder scratch_;
};

TEST_F(ReadTableToolTest, APdbComesBackWithTheSameRowsAndStaysUnchanged) {
    const std::filesystem::path pdb = WriteStockPdb();
    const std::vector<uint8_t> before = ReadDisk(pdb);
    ASSERT_FALSE(before.empty());

    const ToolRun back = Qxpdb({"read-table", pdb.string(), At("BACK.DBF").string()});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.err, "");
    EXPECT_NE(back.out.find("3 rows from \"QXT-SE_BACK\""), std::string::npos) << back.out;
    ExpectTableHolds(At("BACK.DBF"), {kRows[0], kRows[2], kRows[3]}, kMemos);
    EXPECT_EQ(ReadDisk(pdb), before);
}

TEST_F(ReadTableToolTest, AHandheldFolderGivesItsLiveRowsAndIsPurged) {
    const PalmDbReadResult written = ReadPalmDatabase(ReadDisk(WriteStockPdb()));
    ASSERT_TRUE(written.ok) << written.error;
    NativeFileSystem disk;
    const FixedPalmClock clock({1709294400, 0, false});
    std::string error;
    ASSERT_EQ(HandheldDevice::Create(disk, At("device"), "Pat Doe", 4242, error), kSyncOk);
    auto device = HandheldDevice::Open(disk, clock, At("device"), error);
    ASSERT_NE(device, nullptr) << error;
    PalmDatabase db = written.db;
    db.header.name = "QXT-SE_BACK";
    ASSERT_EQ(device->ImportDatabase(db), kSyncOk);
    // The person holding the device deletes the first row.
    uint8_t handle = 0;
    ASSERT_EQ(device->OpenDatabase("QXT-SE_BACK", handle), kSyncOk);
    ASSERT_EQ(device->SetRecordAttributes(handle, 0, kRecAttrDeleted, 0), kSyncOk);
    ASSERT_EQ(device->CloseDatabase(handle), kSyncOk);

    const ToolRun back = Qxpdb({"read-table", At("device").string(), At("BACK.DBF").string()});
    EXPECT_EQ(back.status, 0) << back.err;
    // The first live memo went with the deleted row, so the others move up a block.
    ExpectTableHolds(At("BACK.DBF"),
                     {Row(' ', "bolt", "-3", "123456789012", "-0.25", "", 'F', "0000000001"),
                      Row(' ', "", "", "", "", "", ' ', "0000000002")},
                     {kMemos[1], kMemos[2]});
    PalmDatabase after;
    ASSERT_EQ(device->LoadDatabase("QXT-SE_BACK", after, error), kSyncOk) << error;
    EXPECT_EQ(after.records.size(), 2u);
}

TEST_F(ReadTableToolTest, ASourceWithoutTheTableIsRefusedAndTheOldTableKept) {
    WriteStockPdb();
    // Sources that are not a table database, made once.
    WriteDisk(At("garbage.pdb"), {'n', 'o', 't', ' ', 'a', ' ', 'p', 'd', 'b'});
    PalmDatabase app;
    app.header.name = "QX-SE_ORDERS";
    app.header.type = FourCc("appl");
    app.header.creator = FourCc("QVXD");
    app.app_info = std::vector<uint8_t>(80, 0);
    app.records.push_back({0, 1, {1, 2, 3}});
    std::vector<uint8_t> app_bytes;
    std::string error;
    ASSERT_TRUE(EncodePalmDatabase(app, app_bytes, error)) << error;
    WriteDisk(At("app.pdb"), app_bytes);
    PalmDatabase bad_block = app;
    bad_block.header.type = FourCc("TABL");
    bad_block.app_info = std::vector<uint8_t>(10, 0);  // too short for a TableInfoBlock
    std::vector<uint8_t> bad_bytes;
    ASSERT_TRUE(EncodePalmDatabase(bad_block, bad_bytes, error)) << error;
    WriteDisk(At("badblock.pdb"), bad_bytes);
    NativeFileSystem disk;
    const FixedPalmClock clock({1709294400, 0, false});
    ASSERT_EQ(HandheldDevice::Create(disk, At("device"), "Pat Doe", 4242, error), kSyncOk);
    auto device = HandheldDevice::Open(disk, clock, At("device"), error);
    ASSERT_NE(device, nullptr) << error;
    std::filesystem::create_directories(At("empty"));
    ASSERT_EQ(HandheldDevice::Create(disk, At("device2"), "Pat Doe", 4242, error), kSyncOk);
    auto device2 = HandheldDevice::Open(disk, clock, At("device2"), error);
    ASSERT_NE(device2, nullptr) << error;
    PalmDatabase named_app = app;
    named_app.header.name = "QXT-SE_BACK";
    ASSERT_EQ(device2->ImportDatabase(named_app), kSyncOk);

    const struct {
        std::string source;
        std::string message;
    } cases[] = {
        {"none.pdb", "none.pdb: no such file or folder"},
        {"garbage.pdb", "garbage.pdb: malformed: "},
        {"app.pdb", "app.pdb: \"QX-SE_ORDERS\" is not a table database (type 'appl')"},
        {"badblock.pdb", "Get table \"QXT-SE_BACK\" from Handheld - FAILED"},
        {"empty", "no device in "},
        {"device", "holds no database \"QXT-SE_BACK\""},
        {"device2", "\"QXT-SE_BACK\" is not a table database (type 'appl')"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        WriteDisk(At("BACK.DBF"), {'o', 'l', 'd'});
        WriteDisk(At("BACK.DBT"), {'o', 'l', 'd', 'm'});
        const ToolRun back = Qxpdb({"read-table", At(c.source).string(), At("BACK.DBF").string()});
        EXPECT_EQ(back.status, 1);
        EXPECT_NE(back.err.find(c.message), std::string::npos) << back.err;
        EXPECT_EQ(back.out, "");
        EXPECT_EQ(Text(ReadDisk(At("BACK.DBF"))), "old");
        EXPECT_EQ(Text(ReadDisk(At("BACK.DBT"))), "oldm");
    }
}

TEST_F(ReadTableToolTest, AWrongNumberOfArgumentsIsAUsageError) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"read-table"},
                                                 {"read-table", "x.pdb"},
                                                 {"read-table", "x.pdb", "X.DBF", "extra"}}) {
        SCOPED_TRACE(args.size());
        const ToolRun run = Qxpdb(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("qxpdb read-table SOURCE FILE.DBF"), std::string::npos);
    }
}

}  // namespace
}  // namespace qx::tables

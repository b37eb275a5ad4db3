// The table brought back: the .DBF and .DBT byte for byte, and every failure with its report and
// FAILED line, after which the user's old files are exactly as they were.

#include "conduit/tables/table_retrieval.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "conduit/dbase/table_image.h"

#include "conduit/dbase/dbase_messages.h"
#include "conduit/tables/staged_table_files.h"
#include "conduit/tables/table_messages.h"
#include "tests/native/dbase/dbase_test_support.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

using dbase::testing::BuildTable;
using dbase::testing::FieldLayout;
using testing::Bytes;

constexpr char kTablePath[] = "C:\\DATA\\Orders.DBF";
constexpr char kMemoPath[] = "C:\\DATA\\Orders.dbt";
constexpr char kDbName[] = "QXT-SE_ORDERS";
const std::vector<uint8_t> kOldTable = {'o', 'l', 'd', ' ', 't', 'a', 'b', 'l', 'e'};
const std::vector<uint8_t> kOldMemo = {'o', 'l', 'd', ' ', 'm', 'e', 'm', 'o'};

const std::vector<testing::Entry> kEntries = {
    {'C', "NAME", 20}, {'C', "NOTE", 32768}, {'T', "CODE", 5}, {'D', "WHEN", 8}, {'L', "OK", 1},
    {'G', "INK", 10},  {'F', "PRICE", 8, 2}, {'N', "QTY", 5},  {'Q', "BIG", 12},
};
const std::vector<FieldLayout> kFields = {
    {"NAME", 'C', 20}, {"NOTE", 'M', 10},    {"CODE", 'C', 5}, {"WHEN", 'D', 8}, {"OK", 'L', 1},
    {"INK", 'G', 10},  {"PRICE", 'N', 8, 2}, {"QTY", 'N', 5},  {"BIG", 'N', 12},
};
constexpr uint16_t kRecordLength = 80;

std::vector<std::vector<uint8_t>> HandheldRecords() {
    return {
        Bytes()
            .Raw({0x07, 'M', 0xFC, 'l', 'l', 'e', 'r', 0})
            .U8(0x12)
            .Text("Line one\nLine two")
            .U8(0)
            .Raw({0x03, 'a', 'b', 0})
            .U8(0x08)
            .Text("20240301")
            .Raw({0x01, 'T'})
            .Raw({0x00})
            .Raw({0x08, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0})
            .Raw({0x04, 0, 0, 0, 42})
            .Raw({0x08, 0, 0, 0, 0x02, 0x54, 0x0B, 0xE3, 0xFF})
            .bytes(),
        Bytes().Raw({0x02, 'd', 0}).Zeros(8).bytes(),  // marked deleted on the handheld
        std::vector<uint8_t>(9, 0x00),
        Bytes()
            .Raw({0x02, 'z', 0, 0x00, 0x00, 0x00, 0x00})
            .Raw({0x05, 0, 0, 0, 1, 2})  // ink: no picture conversion yet, ten spaces
            .Raw({0x08, 0xC0, 0x02, 0, 0, 0, 0, 0, 0})
            .Raw({0x04, 0xFF, 0xFF, 0xFF, 0xFF})
            .Raw({0x08, 0, 0, 0, 0, 0, 0, 0, 0})
            .bytes(),
    };
}

std::string Left(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}
std::string Right(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

std::vector<uint8_t> ExpectedTable() {
    return BuildTable(
        0x8B, kFields,
        {" " + Left("M\x81ller", 20) + "0000000001" + Left(std::string("ab\0", 3), 5) + "20240301" +
             "T" + Left("", 10) + "    1.50" + Right("42", 5) + Right("9999999999", 12),
         " " + Left("", 20) + "0000000002" + Left("", 5 + 8 + 1 + 10 + 8 + 5 + 12),
         " " + Left("z", 20) + "0000000003" + Left("", 5 + 8 + 1 + 10) + "   -2.25" +
             Right("-1", 5) + Right("0", 12)});
}

std::vector<uint8_t> ExpectedMemo() {
    ByteWriter m(ByteOrder::kLittle);
    m.U32(4);
    m.Zeros(4);
    m.Text("Orders");
    m.Zeros(2 + 2);
    m.U16(0x0102);
    m.U32(512);
    m.Zeros(512 - 24);
    const std::string note = "Line one\r\nLine two";
    m.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00});
    m.U32(static_cast<uint32_t>(note.size() + 8));
    m.Text(note);
    m.Zeros(1024 - m.size());
    for (int block = 2; block <= 3; ++block) {
        m.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00});
        m.U32(8);
        m.Zeros(504);
    }
    return m.Take();
}

class RetrievalTest : public testing::TableTest {
  protected:
    RetrievalTest() {
        files_.Contents(kTablePath) = kOldTable;
        files_.Contents(kMemoPath) = kOldMemo;
    }
    void PutOrders() {
        PutHandheldTable(kDbName, testing::InfoBlock(kEntries, kRecordLength), HandheldRecords());
        MarkRecord(kDbName, 1, kRecAttrDeleted | kRecAttrDirty);
    }
    // The date of writing is today's; the rest must match byte for byte.
    std::vector<uint8_t> TableWithItsDate(std::vector<uint8_t> expected) {
        const auto& actual = files_.Contents(kTablePath);
        if (actual.size() >= 4 && expected.size() >= 4) {
            std::copy_n(actual.begin() + 1, 3, expected.begin() + 1);
        }
        return expected;
    }
    void ExpectNoLeftovers() {
        for (const char* path : {kTablePath, kMemoPath}) {
            EXPECT_FALSE(files_.Exists(StagedPathFor(path))) << path;
            EXPECT_FALSE(files_.Exists(SetAsidePathFor(path))) << path;
        }
    }
    void ExpectOldFiles() {
        EXPECT_EQ(files_.Contents(kTablePath), kOldTable);
        EXPECT_EQ(files_.Contents(kMemoPath), kOldMemo);
        ExpectNoLeftovers();
    }
};

TEST_F(RetrievalTest, WritesTableAndMemoFileByteForByte) {
    PutOrders();
    ASSERT_EQ(Get(kTablePath), 1);
    EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
    EXPECT_TRUE(LogLines().empty());
    EXPECT_EQ(files_.Contents(kTablePath), TableWithItsDate(ExpectedTable()));
    EXPECT_EQ(files_.Contents(kMemoPath), ExpectedMemo());
    ExpectNoLeftovers();

    // The handheld table stays, purged and with its sync flags reset.
    const PalmDatabase db = Stored(kDbName);
    ASSERT_EQ(db.records.size(), 3u);
    for (const PalmRecord& record : db.records) {
        EXPECT_EQ(record.attributes & (kFileRecDirty | kFileRecDeleted), 0);
    }
    EXPECT_EQ(ops_->reset_calls, 1);
}

// Stands in for the picture conversion: keeps the ink it is handed as a memo.
struct RecordingConverter final : dbase::PictureConverter {
    std::vector<std::vector<uint8_t>> seen;
    uint32_t ConvertPicture(std::span<const uint8_t> ink, dbase::MemoFile& memo) override {
        seen.emplace_back(ink.begin(), ink.end());
        return memo.AppendMemo(ink, true);
    }
};

TEST_F(RetrievalTest, InkGoesToThePictureConversionAndEmptyPicturesDoNot) {
    PutOrders();
    RecordingConverter pictures;
    ASSERT_EQ(GetTableFromHandheld({*ops_, log_, errors_, buffer_, files_, &pictures}, kTablePath),
              1);
    EXPECT_EQ(pictures.seen, (std::vector<std::vector<uint8_t>>{{1, 2}}));
    const std::vector<uint8_t>& table = files_.Contents(kTablePath);
    const std::size_t ink_of_last_row = 321 + 2 * kRecordLength + 1 + 20 + 10 + 5 + 8 + 1;
    ASSERT_GE(table.size(), ink_of_last_row + 10);
    EXPECT_EQ(std::string(table.begin() + ink_of_last_row, table.begin() + ink_of_last_row + 10),
              "0000000004");
}

TEST_F(RetrievalTest, AnEmptyTableHasItsHeaderAndEndByte) {
    PutHandheldTable(kDbName, testing::InfoBlock({{'C', "A", 3}, {'N', "B", 4}}, 8), {});
    ASSERT_EQ(Get(kTablePath), 1);
    EXPECT_EQ(files_.Contents(kTablePath),
              TableWithItsDate(BuildTable(0x03, {{"A", 'C', 3}, {"B", 'N', 4}}, {})));
    // No memo was stored, so the memo file beside it is left as it was.
    EXPECT_EQ(files_.Contents(kMemoPath), kOldMemo);
}

TEST_F(RetrievalTest, WideTextComesBackAsMemoAndRowsKeepTheBlockRecordLength) {
    // Record length 20 in the block, more than the fields' 1 + 10 + 2.
    PutHandheldTable(kDbName, testing::InfoBlock({{'C', "W", 254}, {'C', "S", 2}}, 20),
                     {Bytes().Raw({0x02, 'w', 0, 0x02, 's', 0}).bytes()});
    ASSERT_EQ(Get(kTablePath), 1);
    std::vector<uint8_t> expected =
        BuildTable(0x8B, {{"W", 'M', 10}, {"S", 'C', 2}}, {" 0000000001s " + std::string(7, ' ')});
    StoreU16(std::span(expected).subspan(10).first<2>(), 20, ByteOrder::kLittle);
    EXPECT_EQ(files_.Contents(kTablePath), TableWithItsDate(expected));
    EXPECT_EQ(files_.Contents(kMemoPath).size(), 1024u);
}

TEST_F(RetrievalTest, ARecordLengthShorterThanTheFieldsIsWidened) {
    PutHandheldTable(kDbName, testing::InfoBlock({{'C', "A", 4}}, 2),
                     {Bytes().Raw({0x05, 'a', 'b', 'c', 'd', 0}).bytes()});
    ASSERT_EQ(Get(kTablePath), 1);
    EXPECT_EQ(files_.Contents(kTablePath),
              TableWithItsDate(BuildTable(0x03, {{"A", 'C', 4}}, {" abcd"})));
}

TEST_F(RetrievalTest, UnknownLetterIsReportedForTheColumnAndEachValue) {
    PutHandheldTable(kDbName, testing::InfoBlock({{'?', "ODD", 3}}, 4),
                     {Bytes().Raw({0x01, 'x'}).bytes(), Bytes().Raw({0x00}).bytes()});
    ASSERT_EQ(Get(kTablePath), 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(kMsgUnknownPdaFieldType),
                                                    std::string(kMsgUnknownPdaFieldType)}));
    EXPECT_EQ(files_.Contents(kTablePath),
              TableWithItsDate(
                  BuildTable(0x03, {{"ODD", 'C', 3}}, {std::string(" ") + '\0' + "  ", "    "})));
}

struct FailureCase {
    const char* name;
    std::function<void(RetrievalTest&)> set_up;
    std::vector<std::string> messages;
    bool purge_tried;
};

class RetrievalFailureTest : public RetrievalTest {
  public:
    void Put() { PutOrders(); }
    void PutInfo(const std::vector<uint8_t>& info, const std::vector<std::vector<uint8_t>>& recs) {
        PutHandheldTable(kDbName, info, recs);
    }
    dbase::MemoryFileSystem& files() { return files_; }
    testing::FaultyOps& ops() { return *ops_; }
};

TEST_F(RetrievalFailureTest, EachFailureReportsAndKeepsTheOldFiles) {
    const std::string failed = std::string("Get table \"") + kDbName + "\" from Handheld - FAILED";
    const std::vector<FailureCase> cases = {
        {"handheld table missing", [](RetrievalTest&) {}, {}, false},
        {"table file cannot be created",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).Put();
             static_cast<RetrievalFailureTest&>(t).files().FailOpen(StagedPathFor(kTablePath));
         },
         {std::string(dbase::kMsgTableOpenFailed) + "|" + kTablePath},
         false},
        {"purge fails",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).Put();
             static_cast<RetrievalFailureTest&>(t).ops().fail_purge = true;
         },
         {std::string(kMsgCannotPurge)},
         true},
        {"info block shorter than its column count",
         [](RetrievalTest& t) {
             auto info = testing::InfoBlock({{'C', "A", 3}, {'C', "B", 3}}, 7);
             info.resize(info.size() - 1);
             static_cast<RetrievalFailureTest&>(t).PutInfo(info, {});
         },
         {std::string(kMsgCannotReadInfoBlock)},
         false},
        {"info block of 4 bytes",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).PutInfo({'Q', 'X', 'T', 'D'}, {});
         },
         {std::string(kMsgCannotReadInfoBlock)},
         false},
        {"info block without columns",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).PutInfo(testing::InfoBlock({}, 1), {});
         },
         {std::string(kMsgCannotReadInfoBlock)},
         false},
        {"a record cannot be read",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).Put();
             static_cast<RetrievalFailureTest&>(t).ops().fail_read_rec = 2;
         },
         {std::string(kMsgCannotReadRows)},
         true},
        {"a record's fields run past its end",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).PutInfo(
                 testing::InfoBlock({{'C', "A", 3}, {'N', "B", 4}}, 8),
                 {Bytes().Raw({0x02, 'a', 0, 0x04, 0, 0, 0, 1}).bytes(),
                  Bytes().Raw({0x02, 'a', 0, 0x04, 0, 0}).bytes()});
         },
         {std::string(kMsgCannotReadRows)},
         true},
        {"memo file cannot be created",
         [](RetrievalTest& t) {
             static_cast<RetrievalFailureTest&>(t).Put();
             static_cast<RetrievalFailureTest&>(t).files().FailOpen(StagedPathFor(kMemoPath));
         },
         // Tried again for each memo; a table without its memos is not brought back.
         {std::string(dbase::kMsgMemoOpenFailed) + "|" + kMemoPath,
          std::string(dbase::kMsgMemoOpenFailed) + "|" + kMemoPath,
          std::string(dbase::kMsgMemoOpenFailed) + "|" + kMemoPath},
         true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        errors_.reports.clear();
        log_.lines.clear();
        device_->DeleteDatabase(kDbName);
        files_ = dbase::MemoryFileSystem();
        files_.Contents(kTablePath) = kOldTable;
        files_.Contents(kMemoPath) = kOldMemo;
        ops_ = std::make_unique<testing::FaultyOps>(*handheld_);
        c.set_up(*this);
        EXPECT_EQ(Get(kTablePath), 0);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(LogLines(), std::vector<std::string>{failed});
        ExpectOldFiles();
        EXPECT_EQ(ops_->reset_calls, 0);
        if (device_->Exists(kDbName)) {
            // Still there, and the records the user has not yet brought back stay dirty.
            const PalmDatabase db = Stored(kDbName);
            EXPECT_EQ(c.purge_tried, ops_->purge_calls == 1);
            for (const PalmRecord& record : db.records) {
                EXPECT_NE(record.attributes & kFileRecDirty, 0);
            }
        }
    }
}

TEST_F(RetrievalTest, AFailedCloseKeepsTheOldFiles) {
    PutOrders();
    files_.FailClose(true);
    EXPECT_EQ(Get(kTablePath), 0);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{std::string(dbase::kMsgCloseFailed) + "|" + kTablePath,
                                        std::string(dbase::kMsgCloseFailed) + "|" + kMemoPath}));
    EXPECT_EQ(LogLines(), std::vector<std::string>{std::string("Get table \"") + kDbName +
                                                   "\" from Handheld - FAILED"});
    ExpectOldFiles();
    EXPECT_EQ(ops_->reset_calls, 0);
}

// Every write, seek and replace of the retrieval failed in turn: each run either brings the new
// table back whole or leaves the old files exactly as they were.
TEST_F(RetrievalTest, InjectedFaultsNeverLeaveAMixOrALoss) {
    PutOrders();
    ASSERT_EQ(Get(kTablePath), 1);
    const std::vector<uint8_t> new_table = files_.Contents(kTablePath);
    const std::vector<uint8_t> new_memo = files_.Contents(kMemoPath);

    struct Sweep {
        const char* name;
        std::function<void(dbase::MemoryFileSystem&, int)> arm;
        std::function<bool(dbase::MemoryFileSystem&)> tripped;
    };
    int replaces_seen = 0;
    const std::vector<Sweep> sweeps = {
        {"write or seek fails once",
         [](dbase::MemoryFileSystem& f, int n) { f.FailNthWriteOrSeek(n, false); },
         [](dbase::MemoryFileSystem& f) { return f.fault_tripped(); }},
        {"writes and seeks fail from then on",
         [](dbase::MemoryFileSystem& f, int n) { f.FailNthWriteOrSeek(n, true); },
         [](dbase::MemoryFileSystem& f) { return f.fault_tripped(); }},
        {"a replace fails",
         [&](dbase::MemoryFileSystem& f, int n) {
             f.FailNthReplace(n, false);
             replaces_seen = n;
         },
         [&](dbase::MemoryFileSystem&) { return replaces_seen <= 4; }},  // 2 aside + 2 in
    };
    for (const Sweep& sweep : sweeps) {
        SCOPED_TRACE(sweep.name);
        int failures = 0;
        for (int n = 1; n < 500; ++n) {
            SCOPED_TRACE(n);
            PutOrders();
            files_ = dbase::MemoryFileSystem();
            files_.Contents(kTablePath) = kOldTable;
            files_.Contents(kMemoPath) = kOldMemo;
            errors_.reports.clear();
            log_.lines.clear();
            sweep.arm(files_, n);
            const int result = Get(kTablePath);
            const bool tripped = sweep.tripped(files_);
            if (result == 1) {
                EXPECT_EQ(files_.Contents(kTablePath), new_table);
                EXPECT_EQ(files_.Contents(kMemoPath), new_memo);
                ExpectNoLeftovers();
                EXPECT_FALSE(tripped && sweep.name[0] == 'w');  // a failed write never succeeds
            } else {
                ++failures;
                ExpectOldFiles();
                EXPECT_FALSE(Messages().empty());
                EXPECT_EQ(LogLines().size(), 1u);
            }
            if (!tripped) {
                break;
            }
        }
        EXPECT_GT(failures, 0);
    }
}

// Seeded random damage to the block and records: every run ends in a table that reads back, or
// in a failure that leaves the old files as they were.
TEST_F(RetrievalTest, RandomlyDamagedHandheldTablesFailCleanly) {
    std::mt19937 random(20261211);
    int done = 0;
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(run);
        std::vector<uint8_t> info = testing::InfoBlock(kEntries, kRecordLength);
        std::vector<std::vector<uint8_t>> records = HandheldRecords();
        std::vector<uint8_t>& target =
            random() % 3 == 0 ? info : records[random() % records.size()];
        if (random() % 4 == 0 && !target.empty()) {
            target.resize(random() % target.size());
        } else {
            for (int flips = 1 + random() % 4; flips > 0 && !target.empty(); --flips) {
                target[random() % target.size()] = static_cast<uint8_t>(random());
            }
        }
        PutHandheldTable(kDbName, info, records);
        files_ = dbase::MemoryFileSystem();
        files_.Contents(kTablePath) = kOldTable;
        files_.Contents(kMemoPath) = kOldMemo;
        errors_.reports.clear();
        log_.lines.clear();
        if (Get(kTablePath) == 0) {
            ExpectOldFiles();
            EXPECT_EQ(LogLines().size(), 1u);
            continue;
        }
        ++done;
        ExpectNoLeftovers();
        // What came back is a table the dBase reader accepts whole.
        dbase::testing::RecordingSink sink;
        dbase::TableImage image;
        auto file = files_.Open(kTablePath, dbase::OpenMode::kRead);
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(dbase::LoadTable(*file, kTablePath, sink, image));
        EXPECT_EQ(image.record_count(), records.size());
    }
    EXPECT_GT(done, 0);
}

}  // namespace
}  // namespace qx::tables

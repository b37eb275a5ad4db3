// The table copied to the handheld: the TableInfoBlock and every record byte for byte, and each
// failure with its report and FAILED line.

#include <gtest/gtest.h>

#include <functional>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/tables/table_messages.h"
#include "tests/native/dbase/dbase_test_support.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

using dbase::testing::BuildTable;
using dbase::testing::FieldLayout;
using testing::Bytes;

constexpr char kTablePath[] = "C:\\DATA\\Field Orders.DBF";
constexpr char kMemoPath[] = "C:\\DATA\\Field Orders.dbt";
constexpr char kDbName[] = "QXT-SE_FIELD_ORDERS";

// Every dBase type, the two meta markers, and numbers on both sides of the 10-character line.
std::vector<FieldLayout> AllTypes() {
    return {
        {"NAME", 'C', 12},
        {"KIND", 'C', 6, 0, {4, 'M', 'X', 'Q'}},    // marked text: 'T'
        {"QTY", 'N', 5, 0, {4, 'M', 'X', 'Q'}},     // mark 4 on a number changes nothing
        {"BIG", 'N', 10},                           // 'Q'
        {"NINE", 'N', 9},                           // 'N'
        {"PRICE", 'N', 8, 2},                       // 'F'
        {"SERIAL", 'N', 6, 0, {6, 'M', 'X', 'Q'}},  // 'S'
        {"WHEN", 'D', 8},
        {"OK", 'L', 1},
        {"NOTE", 'M', 10},
        {"INK", 'G', 10},
        {"LONGFIELD_X", 'C', 3, 0, {4, 'M', 'X', 'R'}},  // wrong marker: plain text
    };
}
constexpr uint16_t kAllTypesRecordLength = 1 + 12 + 6 + 5 + 10 + 9 + 8 + 6 + 8 + 1 + 10 + 10 + 3;

std::string Row(char flag, std::initializer_list<std::string> fields) {
    std::string row(1, flag);
    for (const auto& f : fields) {
        row += f;
    }
    return row;
}

// A memo file with block headers: "Line one" CR LF "Line two" at block 1.
std::vector<uint8_t> MemosWithBlockHeader() {
    ByteWriter m(ByteOrder::kLittle);
    m.U32(2);
    m.Zeros(14);
    m.U16(0x0102);
    m.U32(512);
    m.Zeros(512 - 24);
    const std::string memo = "Line one\r\nLine two";
    m.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00});
    m.U32(static_cast<uint32_t>(memo.size() + 8));
    m.Text(memo);
    m.Zeros(1024 - m.size());
    return m.Take();
}

std::vector<uint8_t> ExpectedAllTypesInfoBlock() {
    return testing::InfoBlock({{'C', "NAME", 12},
                               {'T', "KIND", 6},
                               {'N', "QTY", 5},
                               {'Q', "BIG", 10},
                               {'N', "NINE", 9},
                               {'F', "PRICE", 8, 2},
                               {'S', "SERIAL", 6},
                               {'D', "WHEN", 8},
                               {'L', "OK", 1},
                               {'C', "NOTE", 0x8000},
                               {'G', "INK", 10},
                               {'C', "LONGFIELD_X", 3}},
                              kAllTypesRecordLength);
}

class TransferTest : public testing::TableTest {
  protected:
    void PutAllTypes(uint8_t version, const std::vector<std::string>& rows) {
        files_.Contents(kTablePath) = BuildTable(version, AllTypes(), rows);
    }
};

TEST_F(TransferTest, WritesInfoBlockAndLiveRecordsByteForByte) {
    PutAllTypes(
        0x8B,
        {
            // OEM 0x81 is u-umlaut, ANSI 0xFC; blanks around it go.
            Row(' ', {"  M\x81ller    ", "memo  ", "   42", "1234567890", "999999999", "   -1.50",
                      "    -7", "20240301", "T", "0000000001", "0000000002", "AB "}),
            Row('*', {"deleted     ", "      ", "    1", "         1", "        1", "    1.00",
                      "     1", "20000101", "F", "          ", "          ", "   "}),
            Row(' ', {"            ", "      ", "     ", "          ", "         ", "        ",
                      "      ", "        ", " ", "          ", "          ", "   "}),
            Row(' ', {"x           ", "y     ", "   -1", "        -1", "      abc", "     1.5",
                      "    12", "19991231", "F", "0000000000", "          ", "Z  "}),
        });
    files_.Contents(kMemoPath) = MemosWithBlockHeader();

    ASSERT_EQ(Copy(kTablePath, 1), 1);
    EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
    EXPECT_TRUE(LogLines().empty());

    const PalmDatabase db = Stored(kDbName);
    EXPECT_EQ(db.header.type, FourCc("TABL"));
    EXPECT_EQ(db.header.creator, FourCc("QVXD"));
    EXPECT_EQ(db.header.attributes & kDbAttrBackupFlag, kDbAttrBackupFlag);
    ASSERT_TRUE(db.app_info.has_value());
    EXPECT_EQ(*db.app_info, ExpectedAllTypesInfoBlock());

    const std::vector<std::vector<uint8_t>> expected = {
        Bytes()
            .Raw({0x07, 'M', 0xFC, 'l', 'l', 'e', 'r', 0})
            .Raw({0x05, 'm', 'e', 'm', 'o', 0})
            .Raw({0x04, 0x00, 0x00, 0x00, 0x2A})
            .Raw({0x08, 0x00, 0x00, 0x00, 0x00, 0x49, 0x96, 0x02, 0xD2})
            .Raw({0x04, 0x3B, 0x9A, 0xC9, 0xFF})
            .Raw({0x08, 0xBF, 0xF8, 0, 0, 0, 0, 0, 0})
            .Raw({0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF9})
            .Raw({0x08})
            .Text("20240301")
            .Raw({0x01, 'T'})
            .Raw({0x12})
            .Text("Line one\nLine two")
            .U8(0)
            .Raw({0x00})
            .Raw({0x03, 'A', 'B', 0})
            .bytes(),
        std::vector<uint8_t>(12, 0x00),  // every field blank: every value empty
        Bytes()
            .Raw({0x02, 'x', 0})
            .Raw({0x02, 'y', 0})
            .Raw({0x04, 0xFF, 0xFF, 0xFF, 0xFF})
            .Raw({0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
            .Raw({0x04, 0, 0, 0, 0})  // no number: 0
            .Raw({0x08, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0})
            .Raw({0x08, 0, 0, 0, 0, 0, 0, 0, 12})
            .Raw({0x08})
            .Text("19991231")
            .Raw({0x01, 'F'})
            .Raw({0x00})  // memo reference 0: no memo
            .Raw({0x00})
            .Raw({0x02, 'Z', 0})
            .bytes(),
    };
    ASSERT_EQ(db.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(db.records[i].data, expected[i]);
        // Reset after the copy: the handheld sees nothing to sync back yet.
        EXPECT_EQ(db.records[i].attributes & kFileRecDirty, 0);
    }
}

TEST_F(TransferTest, FilesDeliveredInSmallPiecesGiveTheSameRecords) {
    PutAllTypes(0x8B, {Row(' ', {"  M\x81ller    ", "memo  ", "   42", "1234567890", "999999999",
                                 "   -1.50", "    -7", "20240301", "T", "0000000001", "0000000002",
                                 "AB "})});
    files_.Contents(kMemoPath) = MemosWithBlockHeader();
    ASSERT_EQ(Copy(kTablePath), 1);
    const PalmDatabase whole = Stored(kDbName);
    for (const std::size_t chunk : {1u, 3u, 31u}) {
        SCOPED_TRACE(chunk);
        files_.LimitReadChunk(chunk);
        ASSERT_EQ(Copy(kTablePath), 1);
        const PalmDatabase pieces = Stored(kDbName);
        EXPECT_EQ(pieces.app_info, whole.app_info);
        ASSERT_EQ(pieces.records.size(), 1u);
        EXPECT_EQ(pieces.records[0].data, whole.records[0].data);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TransferTest, FailedClosesAreReportedAndChangeNothing) {
    const std::vector<FieldLayout> fields = {{"NOTE", 'M', 10}};
    files_.Contents(kTablePath) = BuildTable(0x8B, fields, {Row(' ', {"0000000001"})});
    files_.Contents(kMemoPath) = MemosWithBlockHeader();
    files_.FailClose(true);
    EXPECT_EQ(Copy(kTablePath), 1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{std::string(dbase::kMsgCloseFailed) + "|" + kTablePath,
                                        std::string(dbase::kMsgCloseFailed) + "|" + kMemoPath}));
    EXPECT_TRUE(LogLines().empty());
    ASSERT_EQ(Stored(kDbName).records.size(), 1u);
}

TEST_F(TransferTest, ReadsMemosWithoutBlockHeaderInTheOlderStyle) {
    const std::vector<FieldLayout> fields = {{"NOTE", 'M', 10}};
    files_.Contents(kTablePath) =
        BuildTable(0x83, fields, {Row(' ', {"         1"}), Row(' ', {"         2"})});
    ByteWriter m(ByteOrder::kLittle);
    m.U32(3);
    m.Zeros(512 - 4);
    m.Text(
        "A\x1A"
        "B\r\nC");
    m.U8(0x1A);
    m.U8(0x1A);
    m.Zeros(1024 - m.size());
    m.Text("second");
    files_.Contents(kMemoPath) = m.Take();

    ASSERT_EQ(Copy(kTablePath), 1);
    const PalmDatabase db = Stored(kDbName);
    ASSERT_EQ(db.records.size(), 2u);
    EXPECT_EQ(db.records[0].data, Bytes().Raw({0x06, 'A', 0x1A, 'B', '\n', 'C', 0}).bytes());
    EXPECT_EQ(db.records[1].data, Bytes().Raw({0x07}).Text("second").U8(0).bytes());
}

TEST_F(TransferTest, TextLengthsAroundThePrefixBoundary) {
    // 253 characters and the NUL take the one-byte prefix 0xFE; 254 take 0xFF and a 16-bit 255.
    const std::vector<FieldLayout> fields = {{"T", 'C', 254}};
    files_.Contents(kTablePath) = BuildTable(
        0x03, fields, {Row(' ', {std::string(253, 'a') + " "}), Row(' ', {std::string(254, 'b')})});
    ASSERT_EQ(Copy(kTablePath), 1);
    const PalmDatabase db = Stored(kDbName);
    ASSERT_EQ(db.records.size(), 2u);
    EXPECT_EQ(db.records[0].data, Bytes().U8(0xFE).Text(std::string(253, 'a')).U8(0).bytes());
    EXPECT_EQ(db.records[1].data,
              Bytes().Raw({0xFF, 0x00, 0xFF}).Text(std::string(254, 'b')).U8(0).bytes());
}

TEST_F(TransferTest, AllRowsDeletedGiveAnEmptyDatabaseWithItsBlock) {
    const std::vector<FieldLayout> fields = {{"A", 'C', 2}};
    files_.Contents(kTablePath) = BuildTable(0x03, fields, {Row('*', {"xx"}), Row('*', {"yy"})});
    ASSERT_EQ(Copy(kTablePath), 1);
    const PalmDatabase db = Stored(kDbName);
    EXPECT_TRUE(db.records.empty());
    EXPECT_EQ(db.app_info, testing::InfoBlock({{'C', "A", 2}}, 3));
}

TEST_F(TransferTest, ReplacesAnEarlierCopy) {
    const std::vector<FieldLayout> fields = {{"A", 'C', 2}};
    files_.Contents(kTablePath) = BuildTable(0x03, fields, {Row(' ', {"xx"}), Row(' ', {"yy"})});
    ASSERT_EQ(Copy(kTablePath), 1);
    files_.Contents(kTablePath) = BuildTable(0x03, fields, {Row(' ', {"zz"})});
    ASSERT_EQ(Copy(kTablePath), 1);
    const PalmDatabase db = Stored(kDbName);
    ASSERT_EQ(db.records.size(), 1u);
    EXPECT_EQ(db.records[0].data, Bytes().Raw({0x03, 'z', 'z', 0}).bytes());
}

TEST_F(TransferTest, MissingMemoFileSendsThe1320Text) {
    const std::vector<FieldLayout> fields = {{"NOTE", 'M', 10}, {"N", 'N', 3}};
    files_.Contents(kTablePath) = BuildTable(
        0x8B, fields, {Row(' ', {"0000000001", "  5"}), Row(' ', {"0000000003", "  6"})});
    ASSERT_EQ(Copy(kTablePath), 1);
    // The open is tried again for each memo that needs it.
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{std::string(dbase::kMsgMemoOpenFailed) + "|" + kMemoPath,
                                        std::string(dbase::kMsgMemoOpenFailed) + "|" + kMemoPath}));
    const std::string text = dbase::kMemoUnreadableText;
    const PalmDatabase db = Stored(kDbName);
    ASSERT_EQ(db.records.size(), 2u);
    EXPECT_EQ(db.records[0].data, Bytes()
                                      .U8(static_cast<uint8_t>(text.size() + 1))
                                      .Text(text)
                                      .U8(0)
                                      .Raw({0x04, 0, 0, 0, 5})
                                      .bytes());
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(TransferTest, UnknownFieldTypeKeepsItsLetterAndSendsEmptyValues) {
    const std::vector<FieldLayout> fields = {{"ODD", 'X', 4}, {"A", 'C', 1}};
    files_.Contents(kTablePath) =
        BuildTable(0x03, fields, {Row(' ', {"abcd", "q"}), Row(' ', {"    ", "r"})});
    ASSERT_EQ(Copy(kTablePath), 1);
    // Once for the column, then once per non-empty value.
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(kMsgUnknownColMetaType),
                                                    std::string(kMsgUnknownDbaseType)}));
    const PalmDatabase db = Stored(kDbName);
    EXPECT_EQ(db.app_info, testing::InfoBlock({{'X', "ODD", 4}, {'C', "A", 1}}, 6));
    ASSERT_EQ(db.records.size(), 2u);
    EXPECT_EQ(db.records[0].data, Bytes().Raw({0x00, 0x02, 'q', 0}).bytes());
}

struct FailureCase {
    const char* name;
    std::function<void(dbase::MemoryFileSystem&, testing::FaultyOps&)> set_up;
    std::vector<std::string> messages;
    std::string log_line;
};

TEST_F(TransferTest, FailuresReportAndWriteTheFailedLine) {
    const std::string table_path = kTablePath;
    const std::string failed = std::string("Copy table \"") + kDbName + "\" to Handheld - FAILED";
    const std::vector<FieldLayout> one = {{"A", 'C', 2}};
    const std::vector<FailureCase> cases = {
        {"missing table",
         [](dbase::MemoryFileSystem&, testing::FaultyOps&) {},
         {std::string(dbase::kMsgTableOpenFailed) + "|" + kTablePath},
         "Copy table \"\" to Handheld - FAILED"},
        {"record length over the limit",
         [](dbase::MemoryFileSystem& files, testing::FaultyOps&) {
             auto table = BuildTable(0x03, {{"A", 'C', 2}}, {});
             StoreU16(std::span(table).subspan(10).first<2>(), 0xFC01, ByteOrder::kLittle);
             files.Contents(kTablePath) = table;
         },
         {std::string(dbase::kMsgRowTooLong) + "|" + kTablePath},
         "Copy table \"\" to Handheld - FAILED"},
        {"no fields",
         [](dbase::MemoryFileSystem& files, testing::FaultyOps&) {
             files.Contents(kTablePath) = BuildTable(0x03, {}, {});
         },
         {std::string(kMsgTableHasNoFields)},
         failed},
        {"info block cannot be written",
         [&](dbase::MemoryFileSystem& files, testing::FaultyOps& ops) {
             files.Contents(kTablePath) = BuildTable(0x03, one, {Row(' ', {"ab"})});
             ops.fail_app_info_write = true;
         },
         {std::string(kMsgCannotWriteInfoBlock)},
         failed},
        {"database cannot be created",
         [&](dbase::MemoryFileSystem& files, testing::FaultyOps& ops) {
             files.Contents(kTablePath) = BuildTable(0x03, one, {Row(' ', {"ab"})});
             ops.fail_create = true;
         },
         {std::string("1030Could not create file on handheld - |") + kDbName,
          std::string(kMsgCannotWriteInfoBlock)},
         failed},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        errors_.reports.clear();
        log_.lines.clear();
        files_ = dbase::MemoryFileSystem();
        ops_ = std::make_unique<testing::FaultyOps>(*handheld_);
        c.set_up(files_, *ops_);
        EXPECT_EQ(Copy(table_path), 0);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(LogLines(), std::vector<std::string>{c.log_line});
        EXPECT_EQ(ops_->reset_calls, 0);
        EXPECT_EQ(ops_->write_calls, 0);  // no record is written after a failure
    }
}

TEST_F(TransferTest, ARecordThatCannotBeWrittenStopsTheCopyButTheCommandIsDone) {
    const std::vector<FieldLayout> one = {{"A", 'C', 2}};
    files_.Contents(kTablePath) =
        BuildTable(0x03, one, {Row(' ', {"a1"}), Row(' ', {"a2"}), Row(' ', {"a3"})});
    ops_->fail_write_rec = 1;
    EXPECT_EQ(Copy(kTablePath), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgCannotCopyRecord)});
    EXPECT_TRUE(LogLines().empty());
    EXPECT_EQ(ops_->write_calls, 2);
    EXPECT_EQ(Stored(kDbName).records.size(), 1u);
}

TEST_F(TransferTest, ARecordTooLargeForTheBufferIsRefusedWith1060) {
    // 254 fields of 253 characters: the record (64,263 bytes) loads, but each field encodes to
    // 255 bytes, 64,770 in all, over the 64,512-byte buffers.
    std::vector<FieldLayout> fields;
    std::string wide;
    std::string narrow;
    for (int i = 0; i < 254; ++i) {
        fields.push_back({"F" + std::to_string(i), 'C', 253});
        wide += std::string(253, 'w');
        narrow += std::string(253, ' ');
    }
    narrow[0] = 'n';
    files_.Contents(kTablePath) =
        BuildTable(0x03, fields, {Row(' ', {narrow}), Row(' ', {wide}), Row(' ', {narrow})});
    EXPECT_EQ(Copy(kTablePath), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kMsgCannotCopyRecord)});
    EXPECT_EQ(Stored(kDbName).records.size(), 1u);
    EXPECT_EQ(buffer_.data.size(), kRecordBufferCapacity);
}

// Counts records and drops them, so 65,536 rows cost no disk.
struct CountingOps final : SyncOps {
    uint32_t records = 0;
    SyncResult OpenDB(std::string_view, uint8_t, uint8_t&, uint8_t) override {
        return kSyncErrNotFound;
    }
    SyncResult DeleteDB(std::string_view, uint8_t) override { return kSyncOk; }
    SyncResult CreateDB(CreateDbRequest& r) override {
        r.handle = 1;
        return kSyncOk;
    }
    SyncResult CloseDB(uint8_t) override { return kSyncOk; }
    SyncResult WriteRec(RecordDescriptor&) override {
        ++records;  // never refuses: the limit must come from the transfer itself
        return kSyncOk;
    }
    SyncResult WriteDBAppInfoBlock(uint8_t, BlockDescriptor&) override { return kSyncOk; }
    SyncResult ReadUserID(HandheldUserRecord&) override { return kSyncOk; }
    SyncResult ResetSyncFlags(uint8_t) override { return kSyncOk; }
    SyncResult GetDBRecordCount(uint8_t, uint16_t&) override { return kSyncOk; }
    SyncResult PurgeDeletedRecs(uint8_t) override { return kSyncOk; }
    SyncResult ReadDBAppInfoBlock(uint8_t, BlockDescriptor&) override { return kSyncOk; }
    SyncResult ReadRecordByIndex(RecordDescriptor&) override { return kSyncOk; }
    SyncResult YieldCycles(uint16_t) override { return kSyncOk; }
};

TEST_F(TransferTest, AtMost65535RecordsReachTheHandheld) {
    const std::vector<FieldLayout> one = {{"A", 'C', 1}};
    for (const uint32_t rows : {65535u, 65536u}) {
        SCOPED_TRACE(rows);
        errors_.reports.clear();
        std::vector<std::string> records(rows, Row(' ', {"x"}));
        records.push_back(Row('*', {"d"}));  // a deleted row does not count
        files_.Contents(kTablePath) = BuildTable(0x03, one, records);
        CountingOps counting;
        EXPECT_EQ(CopyTableToHandheld({counting, log_, errors_, buffer_, files_}, kTablePath,
                                      FourCc("QVXD"), 0),
                  1);
        EXPECT_EQ(counting.records, 65535u);
        EXPECT_EQ(Messages(), rows > 65535
                                  ? std::vector<std::string>{std::string(kMsgCannotCopyRecord)}
                                  : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace qx::tables

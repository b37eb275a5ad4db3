#include "conduit/pdb/pdb_file_ops.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/byte_io.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/storage/native_file_system.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

// 2024-03-01 12:00:00 UTC in a zone one hour east of UTC, daylight saving off.
constexpr LocalClockReading kFixedTime{1709294400, -3600, false};
constexpr uint32_t kFixedPalmDate = 1709294400u + 2082844800u + 3600u;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PdbFileOpsTest : public ::testing::Test {
  protected:
    PdbFileOpsTest()
        : clock_(kFixedTime), ops_(files_, clock_, log_, [this] { return command_file_; }) {
        command_file_ = (scratch_.path() / "ORDERS.DBF").string();
    }

    uint8_t Create(std::string_view name, uint32_t flags = 0) {
        CreateDbRequest request;
        SetFieldName(request.name, name);
        request.creator = FourCc("QVXD");
        request.type = FourCc("DATA");
        request.flags = flags;
        EXPECT_EQ(ops_.CreateDB(request), kSyncOk);
        return request.handle;
    }

    void WriteRecord(std::vector<uint8_t> bytes) {
        RecordDescriptor desc;
        desc.handle = kPdbFileHandle;
        desc.record_id = 77;     // ignored: the file numbers records by position
        desc.attributes = 0x40;  // ignored
        desc.category = 3;       // ignored
        desc.bytes = bytes.data();
        desc.capacity = static_cast<uint16_t>(bytes.size());
        desc.record_size = static_cast<uint32_t>(bytes.size());
        ASSERT_EQ(ops_.WriteRec(desc), kSyncOk);
    }

    void WriteAppInfo(std::vector<uint8_t> bytes) {
        BlockDescriptor block;
        block.bytes = bytes.data();
        block.byte_count = block.bytes_read = static_cast<uint16_t>(bytes.size());
        ASSERT_EQ(ops_.WriteDBAppInfoBlock(kPdbFileHandle, block), kSyncOk);
    }

    std::filesystem::path Output(std::string_view db_name) const {
        return scratch_.path() / (std::string(db_name) + ".pdb");
    }

    testing::ScratchFolder scratch_;
    NativeFileSystem files_{7};  // small chunks so a fault can land mid-file
    FixedPalmClock clock_;
    testing::RecordingLog log_;
    std::string command_file_;
    PdbFileOps ops_;
};

// The header a database named "QX-SE_T" gets, up to the record count, with the fixed clock.
std::vector<uint8_t> ExpectedHeader(uint16_t attributes, uint32_t app_info_offset, uint16_t count) {
    ByteWriter w(ByteOrder::kBig);
    w.Text("QX-SE_T");
    w.Zeros(32 - 7);
    w.U16(attributes);
    w.U16(0);               // version
    w.U32(kFixedPalmDate);  // creation
    w.U32(kFixedPalmDate);  // modification
    w.U32(kFixedPalmDate);  // last backup
    w.U32(0);               // modification number
    w.U32(app_info_offset);
    w.U32(0);  // sort info
    w.Text("DATA");
    w.Text("QVXD");
    w.U32(0);  // unique ID seed
    w.U32(0);  // next record list
    w.U16(count);
    return w.Take();
}

TEST_F(PdbFileOpsTest, EmptyDatabaseWithTenByteBlockIsNinetyBytes) {
    const uint8_t handle = Create("QX-SE_T", kDbAttrBackup);
    EXPECT_EQ(handle, 255);
    WriteAppInfo({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);

    std::vector<uint8_t> expected = ExpectedHeader(0x0008, 80, 0);
    expected.push_back(0xFF);  // gap at 78
    expected.push_back(0xFF);  // gap at 79
    for (uint8_t i = 0; i < 10; ++i) {
        expected.push_back(i);  // application info at 80
    }
    const auto written = ReadAll(Output("QX-SE_T"));
    EXPECT_EQ(written.size(), 90u);
    EXPECT_EQ(written, expected);
}

TEST_F(PdbFileOpsTest, ThreeRecordsAfterTwentyByteBlock) {
    const uint8_t handle = Create("QX-SE_T");
    WriteAppInfo(std::vector<uint8_t>(20, 0xAA));
    WriteRecord({1, 2, 3, 4, 5});
    WriteRecord({});
    WriteRecord({9, 9, 9, 9, 9, 9, 9});
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);

    ByteWriter w(ByteOrder::kBig);
    w.Bytes(ExpectedHeader(0, 104, 3));
    // entries: data offset, attributes 0, unique ID 0 then position + 1
    w.U32(124), w.U8(0), w.U8(0), w.U16(1);
    w.U32(129), w.U8(0), w.U8(0), w.U16(2);
    w.U32(129), w.U8(0), w.U8(0), w.U16(3);
    w.U8(0xFF), w.U8(0xFF);
    w.Bytes(std::vector<uint8_t>(20, 0xAA));
    w.Bytes(std::vector<uint8_t>{1, 2, 3, 4, 5});
    w.Bytes(std::vector<uint8_t>{9, 9, 9, 9, 9, 9, 9});
    const auto written = ReadAll(Output("QX-SE_T"));
    EXPECT_EQ(written.size(), 136u);
    EXPECT_EQ(written, w.bytes());
}

TEST_F(PdbFileOpsTest, WithoutBlockFirstRecordStartsAtAppInfoOffset) {
    const uint8_t handle = Create("QX-SE_T");
    WriteRecord({0x42, 0x43});
    const std::vector<uint8_t> image = ops_.BuildImage();
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);
    ByteReader r(image, ByteOrder::kBig);
    uint32_t app_info_offset = 0, first_record = 0;
    ASSERT_TRUE(r.Seek(52, "app info offset") && r.U32(app_info_offset, "app info offset") &&
                r.Seek(78, "entry") && r.U32(first_record, "record offset"));
    EXPECT_EQ(app_info_offset, 88u);
    EXPECT_EQ(first_record, 88u);
    EXPECT_EQ(image.size(), 90u);
}

TEST_F(PdbFileOpsTest, CloseWithOtherHandleWritesNothing) {
    Create("QX-SE_T");
    WriteRecord({1});
    for (uint8_t handle : {0, 1, 254}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(ops_.CloseDB(handle), 0x4004);
        EXPECT_FALSE(std::filesystem::exists(Output("QX-SE_T")));
    }
    // The database is still there to close properly.
    EXPECT_EQ(ops_.CloseDB(255), kSyncOk);
    EXPECT_EQ(ReadAll(Output("QX-SE_T")).size(), 80u + 8 + 1);
}

TEST_F(PdbFileOpsTest, FileLandsBesideSourceNamedAfterDatabase) {
    const struct {
        const char* source;
        const char* db_name;
        const char* expected;
    } cases[] = {
        {"C:\\DATA\\ORDERS.DBF", "QXT-SE_ORDERS", "C:\\DATA\\QXT-SE_ORDERS.pdb"},
        {"C:\\Apps\\Sales.pda", "QX-SE_SALES", "C:\\Apps\\QX-SE_SALES.pdb"},
        {"D:ORDERS.DBF", "QXT-SE_ORDERS", "D:QXT-SE_ORDERS.pdb"},
        {"ORDERS", "QXT-SE_ORDERS", "QXT-SE_ORDERS.pdb"},
        {"/home/pat/tables/orders.dbf", "QXT-SE_ORDERS", "/home/pat/tables/QXT-SE_ORDERS.pdb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        command_file_ = c.source;
        Create(c.db_name);
        EXPECT_EQ(ops_.OutputPath(), c.expected);
    }
}

TEST_F(PdbFileOpsTest, ExistingFileIsReplaced) {
    std::ofstream(Output("QX-SE_T"), std::ios::binary) << std::string(500, 'x');
    const uint8_t handle = Create("QX-SE_T");
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);
    EXPECT_EQ(ReadAll(Output("QX-SE_T")).size(), 80u);
}

TEST_F(PdbFileOpsTest, FailedWriteKeepsEarlierFileAndReportsFailure) {
    const std::string earlier(500, 'x');
    std::ofstream(Output("QX-SE_T"), std::ios::binary) << earlier;
    bool fired = true;
    for (int64_t n = 1; fired; ++n) {
        SCOPED_TRACE(n);
        const uint8_t handle = Create("QX-SE_T");
        WriteAppInfo(std::vector<uint8_t>(20, 1));
        WriteRecord(std::vector<uint8_t>(30, 2));
        files_.faults().Arm(n);
        const SyncResult result = ops_.CloseDB(handle);
        fired = files_.faults().fired();
        files_.faults().Disarm();
        const auto on_disk = ReadAll(Output("QX-SE_T"));
        if (fired) {
            EXPECT_EQ(result, 0x4004);
            EXPECT_EQ(std::string(on_disk.begin(), on_disk.end()), earlier);
        } else {
            EXPECT_EQ(result, kSyncOk);
            EXPECT_EQ(on_disk.size(), 80u + 8 + 20 + 30);
        }
        EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(Output("QX-SE_T"))));
    }
}

// Records are kept in blocks of a few megabytes and written piece by piece in 7-byte chunks: a
// table larger than one block, with empty records between, must reach the file whole and in
// order, the same bytes BuildImage gives.
TEST_F(PdbFileOpsTest, RecordsBeyondOneBlockReachTheFileInOrder) {
    const uint8_t handle = Create("QX-SE_T");
    WriteAppInfo({9, 8, 7});
    std::vector<std::vector<uint8_t>> records;
    for (int i = 0; i < 75; ++i) {
        records.emplace_back(i % 10 == 3 ? 0 : 60000 + i, static_cast<uint8_t>(i));
        WriteRecord(records.back());
    }
    const std::vector<uint8_t> image = ops_.BuildImage();
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);
    const auto written = ReadAll(Output("QX-SE_T"));
    EXPECT_TRUE(written == image);
    const PalmDbReadResult read = ReadPalmDatabase(written);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.db.records.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_TRUE(read.db.records[i].data == records[i]) << i;
    }
    EXPECT_EQ(read.db.app_info, (std::vector<uint8_t>{9, 8, 7}));
}

TEST_F(PdbFileOpsTest, NewDatabaseDoesNotInheritAnUnclosedOne) {
    Create("QX-SE_T");
    WriteAppInfo({1, 2, 3});
    WriteRecord({1, 2, 3});
    const uint8_t handle = Create("QX-SE_T");
    EXPECT_EQ(ops_.record_count(), 0u);
    ASSERT_EQ(ops_.CloseDB(handle), kSyncOk);
    EXPECT_EQ(ReadAll(Output("QX-SE_T")).size(), 80u);
}

TEST_F(PdbFileOpsTest, RecordLargerThanItsBufferIsRefused) {
    Create("QX-SE_T");
    std::vector<uint8_t> bytes(8, 1);
    RecordDescriptor desc;
    desc.bytes = bytes.data();
    desc.capacity = 8;
    desc.record_size = 9;
    EXPECT_NE(ops_.WriteRec(desc), kSyncOk);
    desc.bytes = nullptr;
    desc.record_size = 1;
    EXPECT_NE(ops_.WriteRec(desc), kSyncOk);
    EXPECT_EQ(ops_.record_count(), 0u);
}

TEST_F(PdbFileOpsTest, SixtyFiveThousandFiveHundredThirtySixthRecordIsRefused) {
    Create("QX-SE_T");
    RecordDescriptor desc;  // empty records: the limit is the count, not the bytes
    for (int i = 0; i < 65535; ++i) {
        ASSERT_EQ(ops_.WriteRec(desc), kSyncOk);
    }
    EXPECT_NE(ops_.WriteRec(desc), kSyncOk);
    const PalmDbReadResult read = ReadPalmDatabase(ops_.BuildImage());
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.records.size(), 65535u);
    EXPECT_EQ(read.db.records.back().unique_id, 65535u);
}

TEST_F(PdbFileOpsTest, ReadingSlotsSayTheyAreNotImplemented) {
    HandheldUserRecord user;
    uint16_t count = 0;
    BlockDescriptor block;
    RecordDescriptor desc;
    const struct {
        const char* slot;
        std::function<SyncResult()> call;
    } cases[] = {
        {"ReadUserID", [&] { return ops_.ReadUserID(user); }},
        {"GetDBRecordCount", [&] { return ops_.GetDBRecordCount(255, count); }},
        {"PurgeDeletedRecs", [&] { return ops_.PurgeDeletedRecs(255); }},
        {"ReadDBAppInfoBlock", [&] { return ops_.ReadDBAppInfoBlock(255, block); }},
        {"ReadRecordByIndex", [&] { return ops_.ReadRecordByIndex(desc); }},
        {"YieldCycles", [&] { return ops_.YieldCycles(10); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        log_.lines.clear();
        EXPECT_EQ(c.call(), 0x10004000);
        ASSERT_EQ(log_.lines.size(), 1u);
        EXPECT_EQ(log_.lines[0].text,
                  std::string("PDB FILE: ") + c.slot + " - function not implemented");
        EXPECT_EQ(log_.lines[0].activity, -1);
    }
}

TEST_F(PdbFileOpsTest, OpenAndDeleteNeverFindADatabase) {
    uint8_t handle = 9;
    EXPECT_EQ(ops_.OpenDB("QX-SE_T", 0, handle, 0xE0), 0x4003);
    EXPECT_EQ(ops_.DeleteDB("QX-SE_T", 0), 0x4003);
    EXPECT_EQ(ops_.ResetSyncFlags(255), kSyncOk);
    EXPECT_TRUE(log_.lines.empty());
}

TEST(PalmTime, LocalSecondsSince1904) {
    const struct {
        LocalClockReading reading;
        uint32_t expected;
    } cases[] = {
        {{0, 0, false}, 2082844800u},                 // 1970-01-01 00:00 in UTC
        {{0, 5 * 3600, false}, 2082844800u - 18000},  // five hours west
        {{0, 5 * 3600, true}, 2082844800u - 14400},   // ... with daylight saving
        {{0, -3600, true}, 2082844800u + 7200},       // one hour east, daylight saving
        {{2212122495, 0, false}, 0xFFFFFFFFu},        // the last second a date holds
        {{2212122496, 0, false}, 0u},                 // then it wraps
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(PalmSecondsFrom(c.reading), c.expected);
    }
    EXPECT_EQ(FormatPalmDate(kFixedPalmDate), "2024-03-01 13:00:00");
    EXPECT_EQ(FormatPalmDate(0), "1904-01-01 00:00:00");
}

}  // namespace
}  // namespace qx

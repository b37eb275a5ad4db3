#include "conduit/handheld_db/handheld_db.h"

#include <gtest/gtest.h>

#include "conduit/handheld_db/byte_swap.h"
#include "conduit/handheld_db/desktop_file.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

TEST(MakeHandheldDbName, FollowsTheNamingRule) {
    const std::string base30(30, 'b');
    const std::string base40(40, 'c');
    const struct {
        std::string file;
        HandheldDbKind kind;
        std::string expected;
    } cases[] = {
        {"C:\\Data\\My Orders.dbf", HandheldDbKind::kTable, "QXT-SE_MY_ORDERS"},
        {"C:\\Apps\\sales 2 go.pda", HandheldDbKind::kApplication, "QX-SE_SALES_2_GO"},
        {"ORDERS", HandheldDbKind::kTable, "QXT-SE_ORDERS"},
        {"orders.dbf", HandheldDbKind::kTable, "QXT-SE_ORDERS"},
        {"C:orders.dbf", HandheldDbKind::kTable, "QXT-SE_ORDERS"},
        {"C:\\DATA\\ORDERS", HandheldDbKind::kTable, "QXT-SE_ORDERS"},
        {"/home/pat/my.file.dbf", HandheldDbKind::kTable, "QXT-SE_MY.FILE"},
        {"C:\\x\\\xE9t\xE9.dbf", HandheldDbKind::kTable, "QXT-SE_\xE9T\xE9"},
        {"C:\\" + base30 + ".pda", HandheldDbKind::kApplication, "QX-SE_" + std::string(25, 'B')},
        {base40 + ".dbf", HandheldDbKind::kTable, "QXT-SE_" + std::string(24, 'C')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(MakeHandheldDbName(c.file, c.kind), c.expected);
    }
}

TEST(ByteSwap, ReversesEveryWidth) {
    EXPECT_EQ(Swap16(0x1234), 0x3412);
    EXPECT_EQ(Swap32(0x12345678), 0x78563412u);
    EXPECT_EQ(Swap64(0x0102030405060708), 0x0807060504030201u);
    const std::array<uint8_t, 8> one_and_half = {0x3F, 0xF8, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(SwapDouble(one_and_half), 1.5);
    EXPECT_EQ(HandheldDoubleBytes(1.5), one_and_half);
}

class HandheldDbHelpersTest : public ::testing::Test {
  protected:
    HandheldDbHelpersTest() {
        std::string error;
        EXPECT_EQ(HandheldDevice::Create(files_, scratch_.path(), "Pat", 7, error), kSyncOk);
        device_ = HandheldDevice::Open(files_, clock_, scratch_.path(), error);
    }

    testing::ScratchFolder scratch_;
    NativeFileSystem files_;
    FixedPalmClock clock_{{0, 0, false}};
    std::unique_ptr<HandheldDevice> device_;
    testing::RecordingErrors errors_;
};

TEST_F(HandheldDbHelpersTest, RecreateReplacesAnExistingDatabase) {
    HandheldSyncOps ops(*device_);
    RecordBuffer buffer;
    uint8_t handle = kNoHandle;
    ASSERT_EQ(
        RecreateHandheldDb(ops, errors_, handle, "QXT-SE_T", FourCc("QVXD"), FourCc("DATA"), 1), 1);
    buffer.data[0] = 0x5A;
    ASSERT_EQ(WriteRecordBuffer(ops, buffer, handle, 1), 1);
    EXPECT_NE(buffer.desc.record_id, 0u);
    CloseHandheldDb(ops, handle);

    ASSERT_EQ(
        RecreateHandheldDb(ops, errors_, handle, "QXT-SE_T", FourCc("QVXD"), FourCc("DATA"), 0), 1);
    PalmDbHeader header;
    ASSERT_EQ(device_->DatabaseInfo(handle, header), kSyncOk);
    EXPECT_EQ(header.attributes & kDbAttrBackup, 0u);  // the new one, without the old's records
    uint16_t count = 99;
    ASSERT_EQ(ops.GetDBRecordCount(handle, count), kSyncOk);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(HandheldDbHelpersTest, RecreateReportsWhenCreationFails) {
    HandheldSyncOps ops(*device_);
    uint8_t handle = kNoHandle;
    CreateDbRequest held;
    SetFieldName(held.name, "QXT-SE_BUSY");
    ASSERT_EQ(ops.CreateDB(held), kSyncOk);
    // The database is open (exclusive), so it can neither be opened, deleted nor created again.
    EXPECT_EQ(RecreateHandheldDb(ops, errors_, handle, "QXT-SE_BUSY", 0, 0, 0), 0);
    ASSERT_EQ(errors_.reports.size(), 1u);
    EXPECT_EQ(errors_.reports[0].message, "1030Could not create file on handheld - ");
    EXPECT_EQ(errors_.reports[0].detail, "QXT-SE_BUSY");
}

TEST_F(HandheldDbHelpersTest, ReadAppInfoBlockNeedsTheWholeSize) {
    HandheldSyncOps ops(*device_);
    uint8_t handle = kNoHandle;
    ASSERT_EQ(CreateHandheldDb(ops, handle, "QX-SE_SysHeap", 0, 0, 0), 1);
    ASSERT_EQ(WriteAppInfoBlock(ops, handle, std::vector<uint8_t>(20, 0x11)), 1);
    const struct {
        std::size_t asked;
        int result;
    } cases[] = {{26, 0}, {20, 1}, {10, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        std::vector<uint8_t> buffer(c.asked);
        uint16_t got = 0;
        EXPECT_EQ(ReadAppInfoBlock(ops, handle, buffer, &got), c.result);
        EXPECT_EQ(got, 20);
    }
}

TEST_F(HandheldDbHelpersTest, ReadRecordAtFillsTheBuffer) {
    HandheldSyncOps ops(*device_);
    RecordBuffer buffer;
    uint8_t handle = kNoHandle;
    ASSERT_EQ(CreateHandheldDb(ops, handle, "QXT-SE_R", 0, 0, 0), 1);
    for (uint8_t i = 1; i <= 3; ++i) {
        std::fill_n(buffer.data.begin(), i, i);
        ASSERT_EQ(WriteRecordBuffer(ops, buffer, handle, i), 1);
    }
    EXPECT_EQ(WriteRecordBuffer(ops, buffer, handle, kRecordBufferCapacity + 1u), 0);
    EXPECT_EQ(ReadRecordAt(ops, buffer, handle, 2), 3u);
    EXPECT_EQ(buffer.data[2], 3);
    EXPECT_EQ(ReadRecordAt(ops, buffer, handle, 3), 0u);
}

TEST(HandheldDbHelpersPdb, RecreateInFileModeGoesStraightToCreation) {
    testing::ScratchFolder scratch;
    NativeFileSystem files;
    FixedPalmClock clock({0, 0, false});
    testing::RecordingLog log;
    testing::RecordingErrors errors;
    const std::string source = (scratch.path() / "ORDERS.DBF").string();
    PdbFileOps ops(files, clock, log, [&] { return source; });
    uint8_t handle = 0;
    ASSERT_EQ(
        RecreateHandheldDb(ops, errors, handle, MakeHandheldDbName(source, HandheldDbKind::kTable),
                           FourCc("QVXD"), FourCc("DATA"), 1),
        1);
    EXPECT_EQ(handle, 255);
    ASSERT_EQ(WriteAppInfoBlock(ops, handle, std::vector<uint8_t>{1, 2}), 1);
    EXPECT_EQ(CloseHandheldDb(ops, handle), 1);
    EXPECT_TRUE(std::filesystem::exists(scratch.path() / "QXT-SE_ORDERS.pdb"));
    EXPECT_TRUE(errors.reports.empty());
    EXPECT_TRUE(log.lines.empty());
}

TEST(DesktopFileHelpers, ReportTheCallersMessage) {
    testing::ScratchFolder scratch;
    testing::RecordingErrors errors;
    DesktopFile file;
    const std::string missing = (scratch.path() / "NOPE.PDA").string();
    EXPECT_EQ(OpenDesktopFile(file, missing, "1000Could not open specified application file - ",
                              true, false, false, errors),
              0);
    EXPECT_EQ(OpenDesktopFile(file, missing, std::nullopt, true, false, false, errors), 0);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].detail, missing);
    const std::string made = (scratch.path() / "NEW.DBF").string();
    ASSERT_EQ(OpenDesktopFile(file, made, "1190x", true, true, true, errors), 1);
    EXPECT_EQ(std::fputs("row", file.get()) >= 0, true);
    EXPECT_EQ(CloseDesktopFile(file, made, errors), 1);
    EXPECT_EQ(std::filesystem::file_size(made), 3u);
    EXPECT_EQ(errors.reports.size(), 1u);
}

}  // namespace
}  // namespace qx

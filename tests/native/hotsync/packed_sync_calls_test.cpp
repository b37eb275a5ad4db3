#include "standins/hotsync/packed_sync_calls.h"

#include <gtest/gtest.h>

#include <array>

#include "common/creator_id.h"
#include "conduit/storage/native_file_system.h"
#include "standins/handheld/app_directory.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "standins/hotsync/standin_exports.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

const FixedPalmClock kClock({1709294400, 0, false});

uintptr_t Address(std::vector<uint8_t>& buffer) {
    return reinterpret_cast<uintptr_t>(buffer.data());
}

class PackedSyncCalls : public ::testing::Test {
  protected:
    PackedSyncCalls() {
        std::string error;
        EXPECT_EQ(HandheldDevice::Create(files_, folder(), "Pat Doe", 1001, error), kSyncOk);
        device_ = HandheldDevice::Open(files_, kClock, folder(), error);
        EXPECT_NE(device_, nullptr) << error;
        EXPECT_EQ(device_->ImportDatabase(MakeAppDirectoryDatabase(1001, 0)), kSyncOk);
        ops_ = std::make_unique<HandheldSyncOps>(*device_);
    }
    std::filesystem::path folder() const { return scratch_.path() / "Cradle"; }
    uint8_t OpenDirectory() {
        uint8_t handle = kNoHandle;
        EXPECT_EQ(PackedOpenDB(ops_.get(), "QX-SE_SysHeap", 0, &handle, kOpenReadWriteExclusive),
                  kSyncOk);
        return handle;
    }

    testing::ScratchFolder scratch_;
    NativeFileSystem files_;
    std::unique_ptr<HandheldDevice> device_;
    std::unique_ptr<HandheldSyncOps> ops_;
};

TEST_F(PackedSyncCalls, WithoutAHandheldEveryCallFails) {
    std::array<uint8_t, 512> bytes = {};
    uint8_t handle = 0;
    uint16_t count = 0;
    const int32_t results[] = {
        PackedOpenDB(nullptr, "x", 0, &handle, kOpenReadWriteExclusive),
        PackedDeleteDB(nullptr, "x", 0),
        PackedCreateDB(nullptr, bytes.data()),
        PackedCloseDB(nullptr, 0),
        PackedWriteRec(nullptr, bytes.data()),
        PackedWriteDBAppInfoBlock(nullptr, 0, bytes.data()),
        PackedReadUserID(nullptr, bytes.data()),
        PackedResetSyncFlags(nullptr, 0),
        PackedGetDBRecordCount(nullptr, 0, &count),
        PackedPurgeDeletedRecs(nullptr, 0),
        PackedReadDBAppInfoBlock(nullptr, 0, bytes.data()),
        PackedReadRecordByIndex(nullptr, bytes.data()),
        PackedYieldCycles(nullptr, 10),
    };
    for (std::size_t i = 0; i < std::size(results); ++i) {
        EXPECT_EQ(results[i], standin::kNoDeviceInCradle) << "call " << i + 1;
    }
    EXPECT_EQ(bytes, (std::array<uint8_t, 512>{}));  // nothing written
}

TEST_F(PackedSyncCalls, MissingPointersAreBadArguments) {
    uint8_t handle = 0;
    const int32_t results[] = {
        PackedOpenDB(ops_.get(), nullptr, 0, &handle, kOpenReadWriteExclusive),
        PackedOpenDB(ops_.get(), "QX-SE_SysHeap", 0, nullptr, kOpenReadWriteExclusive),
        PackedDeleteDB(ops_.get(), nullptr, 0),
        PackedCreateDB(ops_.get(), nullptr),
        PackedWriteRec(ops_.get(), nullptr),
        PackedWriteDBAppInfoBlock(ops_.get(), 0, nullptr),
        PackedReadUserID(ops_.get(), nullptr),
        PackedGetDBRecordCount(ops_.get(), 0, nullptr),
        PackedReadDBAppInfoBlock(ops_.get(), 0, nullptr),
        PackedReadRecordByIndex(ops_.get(), nullptr),
    };
    for (std::size_t i = 0; i < std::size(results); ++i) {
        EXPECT_EQ(results[i], kSyncErrBadArgument) << "call " << i + 1;
    }
    // Cards other than 0 do not exist; numbers beyond a byte do not wrap onto card 0.
    for (const int32_t card : {1, -1, 256}) {
        EXPECT_EQ(PackedOpenDB(ops_.get(), "QX-SE_SysHeap", card, &handle, 0), kSyncErrNotFound)
            << card;
    }
}

TEST_F(PackedSyncCalls, UserRecordHoldsTheIdAtOffset144) {
    std::array<uint8_t, HandheldUserRecord::kSize + 4> bytes;
    bytes.fill(0xEE);
    ASSERT_EQ(PackedReadUserID(ops_.get(), bytes.data()), kSyncOk);
    EXPECT_EQ(bytes[144], 0xE9);  // 1001 = 0x3E9, little-endian
    EXPECT_EQ(bytes[145], 0x03);
    EXPECT_EQ(bytes[146], 0);
    EXPECT_EQ(bytes[147], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "Pat Doe");
    for (std::size_t i = HandheldUserRecord::kSize; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0xEE) << "scribbled at " << i;
    }
}

TEST_F(PackedSyncCalls, InfoBlockTooLargeForTheBufferReportsItsSize) {
    const uint8_t handle = OpenDirectory();
    for (const uint16_t capacity : {0, 1, 25, 26, 27}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity + 4u, 0xEE);
        BlockDescriptor block;
        block.byte_count = capacity;
        std::vector<uint8_t> packed = EncodeBlockDescriptor(block, Address(buffer));
        const int32_t result = PackedReadDBAppInfoBlock(ops_.get(), handle, packed.data());
        uintptr_t address = 0;
        std::string error;
        ASSERT_TRUE(DecodeBlockDescriptor(packed, block, address, error)) << error;
        EXPECT_EQ(address, Address(buffer));
        EXPECT_EQ(block.bytes_read, 26);
        EXPECT_EQ(result == kSyncOk, capacity >= 26);
        const std::size_t filled = result == kSyncOk ? 26 : 0;
        if (filled > 0) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 4), "QXDR");
        }
        for (std::size_t i = filled; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 0xEE) << "scribbled at " << i;
        }
    }
    uint8_t again = kNoHandle;
    EXPECT_EQ(PackedOpenDB(ops_.get(), "QX-SE_SysHeap", 0, &again, kOpenReadWriteExclusive),
              kSyncErrAlreadyOpen);
    EXPECT_EQ(PackedCloseDB(ops_.get(), handle), kSyncOk);
}

TEST_F(PackedSyncCalls, CreateWriteAndReadBackThroughPackedRecords) {
    CreateDbRequest request;
    request.creator = FourCc("QVXD");
    request.type = FourCc("DATA");
    SetFieldName(request.name, "QXT-SE_ORDERS");
    std::vector<uint8_t> packed = EncodeCreateDbRequest(request);
    ASSERT_EQ(PackedCreateDB(ops_.get(), packed.data()), kSyncOk);
    std::string error;
    ASSERT_TRUE(DecodeCreateDbRequest(packed, request, error)) << error;
    const uint8_t handle = request.handle;
    ASSERT_NE(handle, kNoHandle);

    std::vector<uint8_t> data = {10, 20, 30, 40};
    RecordDescriptor record;
    record.handle = handle;
    record.record_size = 4;
    record.capacity = 4;
    record.category = 3;
    packed = EncodeRecordDescriptor(record, Address(data));
    ASSERT_EQ(PackedWriteRec(ops_.get(), packed.data()), kSyncOk);
    uintptr_t address = 0;
    ASSERT_TRUE(DecodeRecordDescriptor(packed, record, address, error)) << error;
    EXPECT_NE(record.record_id, 0u);

    uint16_t count = 0;
    EXPECT_EQ(PackedGetDBRecordCount(ops_.get(), handle, &count), kSyncOk);
    EXPECT_EQ(count, 1);

    for (const uint16_t capacity : {3, 4, 100}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity, 0xEE);
        RecordDescriptor read;
        read.handle = handle;
        read.capacity = capacity;
        packed = EncodeRecordDescriptor(read, Address(buffer));
        const int32_t result = PackedReadRecordByIndex(ops_.get(), packed.data());
        ASSERT_TRUE(DecodeRecordDescriptor(packed, read, address, error)) << error;
        EXPECT_EQ(result == kSyncOk, capacity >= 4);
        EXPECT_EQ(read.record_size, 4u);
        EXPECT_EQ(read.record_id, record.record_id);
        EXPECT_EQ(read.category, 3);
        EXPECT_EQ(read.attributes, kRecAttrDirty);
        if (result == kSyncOk) {
            EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 4), data);
        } else {
            EXPECT_EQ(buffer, std::vector<uint8_t>(capacity, 0xEE));
        }
    }

    std::vector<uint8_t> info = {1, 2};
    BlockDescriptor block;
    block.byte_count = 2;
    block.bytes_read = 2;
    packed = EncodeBlockDescriptor(block, Address(info));
    EXPECT_EQ(PackedWriteDBAppInfoBlock(ops_.get(), handle, packed.data()), kSyncOk);
    EXPECT_EQ(PackedResetSyncFlags(ops_.get(), handle), kSyncOk);
    EXPECT_EQ(PackedPurgeDeletedRecs(ops_.get(), handle), kSyncOk);
    EXPECT_EQ(PackedYieldCycles(ops_.get(), 10), kSyncOk);
    EXPECT_EQ(PackedCloseDB(ops_.get(), handle), kSyncOk);
    EXPECT_NE(PackedCloseDB(ops_.get(), handle), kSyncOk);

    PalmDatabase stored;
    ASSERT_EQ(device_->LoadDatabase("QXT-SE_ORDERS", stored, error), kSyncOk) << error;
    ASSERT_EQ(stored.records.size(), 1u);
    EXPECT_EQ(stored.records[0].data, data);
    EXPECT_EQ(stored.app_info, info);
    EXPECT_EQ(stored.records[0].attributes & kFileRecDirty, 0);  // the flags were reset
    EXPECT_EQ(PackedDeleteDB(ops_.get(), "QXT-SE_ORDERS", 0), kSyncOk);
    EXPECT_EQ(PackedDeleteDB(ops_.get(), "QXT-SE_ORDERS", 0), kSyncErrNotFound);
}

}  // namespace
}  // namespace qx

#include "conduit/sync/sync_records.h"

#include <gtest/gtest.h>

#include "conduit/sync/pdb_message_channel.h"
#include "conduit/sync/record_buffer.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

TEST(SyncRecords, CreateDbRequestIsLittleEndianAndPacked) {
    CreateDbRequest request;
    request.handle = 0x11;
    request.creator = FourCc("QVXD");
    request.flags = kDbAttrBackup;
    request.card = 0;
    SetFieldName(request.name, "QX-SE_ORDERS");
    request.type = FourCc("DATA");
    request.version = 0x0102;
    const std::vector<uint8_t> bytes = EncodeCreateDbRequest(request);
    ASSERT_EQ(bytes.size(), kCreateDbRequestSize);
    EXPECT_EQ(bytes[0], 0x11);  // handle
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1, bytes.begin() + 5),
              (std::vector<uint8_t>{'D', 'X', 'V', 'Q'}));  // creator, LE
    EXPECT_EQ(bytes[5], 0x08);                              // flags
    EXPECT_EQ(bytes[9], 0);                                 // card
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 22), "QX-SE_ORDERS");
    EXPECT_EQ(bytes[22], 0);     // terminator
    EXPECT_EQ(bytes[42], 'A');   // type 'DATA', LE
    EXPECT_EQ(bytes[46], 0x02);  // version low byte
    EXPECT_EQ(bytes[47], 0x01);

    CreateDbRequest back;
    std::string error;
    ASSERT_TRUE(DecodeCreateDbRequest(bytes, back, error)) << error;
    EXPECT_EQ(back.creator, request.creator);
    EXPECT_EQ(FieldName(back.name), "QX-SE_ORDERS");
    EXPECT_EQ(back.version, 0x0102);
}

TEST(SyncRecords, DescriptorsRoundTripAndRefuseShortInput) {
    RecordDescriptor desc;
    desc.handle = 3;
    desc.record_id = 0x00ABCDEF;
    desc.index = 7;
    desc.attributes = kRecAttrDirty;
    desc.category = -2;
    desc.record_size = 300;
    desc.capacity = 0xFC00;
    const auto bytes = EncodeRecordDescriptor(desc, 0x12345678);
    ASSERT_EQ(bytes.size(), kRecordDescriptorSize);
    RecordDescriptor back;
    uintptr_t address = 0;
    std::string error;
    ASSERT_TRUE(DecodeRecordDescriptor(bytes, back, address, error)) << error;
    EXPECT_EQ(back.record_id, desc.record_id);
    EXPECT_EQ(back.category, -2);
    EXPECT_EQ(back.capacity, 0xFC00);
    EXPECT_EQ(address, 0x12345678u);
    EXPECT_FALSE(DecodeRecordDescriptor(std::span(bytes).first(kRecordDescriptorSize - 1), back,
                                        address, error));
    EXPECT_NE(error.find("reserved"), std::string::npos) << error;

    BlockDescriptor block;
    block.byte_count = 26;
    block.bytes_read = 20;
    const auto block_bytes = EncodeBlockDescriptor(block, 0xCAFEF00D);
    ASSERT_EQ(block_bytes.size(), kBlockDescriptorSize);
    EXPECT_EQ(block_bytes[32], 26);
    EXPECT_EQ(block_bytes[34], 20);
    BlockDescriptor block_back;
    ASSERT_TRUE(DecodeBlockDescriptor(block_bytes, block_back, address, error)) << error;
    EXPECT_EQ(block_back.bytes_read, 20);
    EXPECT_EQ(address, 0xCAFEF00Du);
}

TEST(SyncRecords, NameFieldKeepsThirtyOneCharacters) {
    std::array<char, kDbNameField> field;
    SetFieldName(field, std::string(40, 'N'));
    EXPECT_EQ(FieldName(field), std::string(31, 'N'));
    EXPECT_EQ(field[31], '\0');
}

TEST(SyncRecords, UserRecordHoldsUserIdAtOffset144) {
    HandheldUserRecord user;
    user.SetUserId(0x01020304);
    EXPECT_EQ(user.bytes[144], 0x04);
    EXPECT_EQ(user.bytes[147], 0x01);
    EXPECT_EQ(user.UserId(), 0x01020304u);
    user.SetUserName("Pat Doe");
    EXPECT_EQ(user.UserName(), "Pat Doe");
}

TEST(SyncRecords, RecordBufferResetPointsAtItsData) {
    RecordBuffer buffer;
    buffer.desc.bytes = nullptr;
    buffer.desc.capacity = 3;
    buffer.desc.record_size = 99;
    buffer.Reset();
    EXPECT_EQ(buffer.desc.bytes, buffer.data.data());
    EXPECT_EQ(buffer.desc.capacity, 64512);
    EXPECT_EQ(buffer.desc.record_size, 0u);
}

TEST(SyncRecords, PdbModeLogLinesBecomeMessageBoxes) {
    testing::RecordingMessageBoxes boxes;
    PdbMessageChannel channel(boxes);
    channel.Add("Copy table ORDERS to Handheld - FAILED", kLogActivityText, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "PDB FILE");
    EXPECT_EQ(boxes.shown[0].text, "Copy table ORDERS to Handheld - FAILED");
}

TEST(SyncRecords, FourCcText) {
    EXPECT_EQ(FourCcText(FourCc("QVXD")), "QVXD");
    EXPECT_EQ(FourCcText(0x41420001), "AB\\x00\\x01");
}

}  // namespace
}  // namespace qx

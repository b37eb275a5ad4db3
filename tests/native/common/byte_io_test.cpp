#include "common/byte_io.h"

#include <gtest/gtest.h>

#include <array>

namespace qx {
namespace {

TEST(ByteIo, ReadsBothByteOrders) {
    const std::array<uint8_t, 6> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    ByteReader big(bytes, ByteOrder::kBig);
    ByteReader little(bytes, ByteOrder::kLittle);
    uint16_t b16 = 0, l16 = 0;
    uint32_t b32 = 0, l32 = 0;
    ASSERT_TRUE(big.U16(b16, "a") && big.U32(b32, "b"));
    ASSERT_TRUE(little.U16(l16, "a") && little.U32(l32, "b"));
    EXPECT_EQ(b16, 0x1234);
    EXPECT_EQ(b32, 0x56789ABCu);
    EXPECT_EQ(l16, 0x3412);
    EXPECT_EQ(l32, 0xBC9A7856u);
    EXPECT_EQ(big.remaining(), 0u);
}

TEST(ByteIo, ShortReadFailsInPlaceAndSaysWhere) {
    const std::array<uint8_t, 7> bytes = {};
    ByteReader reader(bytes, ByteOrder::kBig);
    uint32_t value = 0xDEADBEEF;
    ASSERT_TRUE(reader.Skip(6, "header"));
    EXPECT_FALSE(reader.U32(value, "record count"));
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(reader.offset(), 6u);
    EXPECT_EQ(reader.error(),
              "unexpected end of data at offset 0x6 reading record count (4 bytes, 1 left)");
    // Later reads keep failing and keep the first message.
    uint8_t byte = 0;
    EXPECT_FALSE(reader.U8(byte, "next"));
    EXPECT_EQ(reader.error(),
              "unexpected end of data at offset 0x6 reading record count (4 bytes, 1 left)");
}

TEST(ByteIo, SeekPastEndFails) {
    const std::array<uint8_t, 4> bytes = {};
    ByteReader reader(bytes, ByteOrder::kLittle);
    EXPECT_TRUE(reader.Seek(4, "end"));
    EXPECT_FALSE(reader.Seek(5, "sort info"));
    EXPECT_EQ(reader.error(), "offset 0x5 of sort info is past the end (size 0x4)");
}

TEST(ByteIo, WriterPatchesEarlierFields) {
    ByteWriter writer(ByteOrder::kBig);
    writer.U16(0);
    writer.Text("ab");
    writer.U32(0x01020304);
    writer.PatchU16(0, 0xCAFE);
    EXPECT_EQ(writer.bytes(), (std::vector<uint8_t>{0xCA, 0xFE, 'a', 'b', 1, 2, 3, 4}));
    EXPECT_THROW(writer.PatchU32(6, 1), std::out_of_range);
}

}  // namespace
}  // namespace qx

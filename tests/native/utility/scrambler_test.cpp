#include "utility/core/scrambler.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace qx {
namespace {

TEST(Scrambler, StartsFromOneAndFollowsTheKnownSequence) {
    Scrambler fresh;
    Scrambler seeded;
    EXPECT_EQ(seeded.Seed(1), 1u);
    for (Scrambler* s : {&fresh, &seeded}) {
        EXPECT_EQ(s->Next(), 1103527590u);
        EXPECT_EQ(static_cast<int32_t>(s->Next()), -1770082073);
        EXPECT_EQ(s->Next(), 662824084u);
    }
}

TEST(Scrambler, CopyXorOfZerosGivesTheLowBytes) {
    Scrambler s;
    const std::array<uint8_t, 3> zeros{};
    std::array<uint8_t, 3> out{};
    EXPECT_EQ(s.CopyXor(out.data(), zeros.data(), 3), out.data());
    EXPECT_EQ(out, (std::array<uint8_t, 3>{0xA6, 0xE7, 0x94}));
}

TEST(Scrambler, SameSeedTwiceRestoresTheInputEvenInPlace) {
    std::vector<uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7);
    }
    const std::vector<uint8_t> original = data;
    Scrambler s;
    s.Seed(0xC0FFEE);
    s.CopyXor(data.data(), data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_NE(data, original);
    s.Seed(0xC0FFEE);
    s.CopyXor(data.data(), data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_EQ(data, original);
}

TEST(Scrambler, ZeroLengthLeavesTheGeneratorAlone) {
    Scrambler s;
    uint8_t byte = 0x55;
    EXPECT_EQ(s.CopyXor(&byte, &byte, 0), &byte);
    EXPECT_EQ(byte, 0x55);
    EXPECT_EQ(s.Next(), 1103527590u);
}

}  // namespace
}  // namespace qx

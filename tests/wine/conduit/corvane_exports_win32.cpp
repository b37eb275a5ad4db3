// The conduit's small entry points, called in this process as the HotSync Manager calls them.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <string>

#include "common/byte_io.h"
#include "conduit/sync/sync_manager_abi.h"

namespace qx::test {
namespace {

class CorvaneExports : public ::testing::Test {
  protected:
    void SetUp() override {
        corvane_ = LoadLibraryA("Corvane.dll");
        ASSERT_NE(corvane_, nullptr);
    }
    void TearDown() override { FreeLibrary(corvane_); }

    template <typename Fn>
    Fn Get(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(corvane_, name)));
    }

    HMODULE corvane_ = nullptr;
};

TEST_F(CorvaneExports, NameVersionAndConfiguration) {
    const auto name = Get<abi::GetConduitNameFn>("GetConduitName");
    const auto version = Get<abi::GetConduitVersionFn>("GetConduitVersion");
    const auto configure = Get<abi::ConfigureConduitFn>("ConfigureConduit");
    ASSERT_TRUE(name && version && configure);

    const struct {
        uint32_t size;
        const char* expected;
    } cases[] = {{64, "Quorvix SE"}, {5, "Quor"}, {1, ""}, {0x10005, "Quor"}, {11, "Quorvix SE"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::array<char, 80> buffer;
        buffer.fill('#');
        EXPECT_EQ(name(buffer.data(), c.size), 0);
        EXPECT_STREQ(buffer.data(), c.expected);
        const std::size_t cleared = c.size & 0xFFFF;
        EXPECT_EQ(buffer[cleared - 1], '\0');
        EXPECT_EQ(buffer[cleared], '#');  // nothing past the size the caller gave
    }

    EXPECT_EQ(version(), 0x101u);

    std::array<uint8_t, abi::kConduitPreferencesSize> preferences;
    preferences.fill(0xAA);
    EXPECT_EQ(configure(preferences.data()), 0);
    EXPECT_EQ(LoadU32(std::span(preferences).subspan<516, 4>(), ByteOrder::kLittle), 1u);
    EXPECT_EQ(LoadU32(std::span(preferences).subspan<520, 4>(), ByteOrder::kLittle), 0u);
    EXPECT_EQ(preferences[515], 0xAA);
    EXPECT_EQ(preferences[524], 0xAA);
}

}  // namespace
}  // namespace qx::test

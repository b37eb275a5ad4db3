#include "utility/core/stored_string.h"

#include "utility/core/shared_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qx {
namespace {

TEST(StoredString, GetterFollowsTheBufferRule) {
    const std::string stored(20, 'd');
    const struct {
        bool null_buffer;
        int32_t size;
        std::size_t copied;  // characters of the stored string that land in the buffer
    } cases[] = {
        {true, 10, 0},  {false, 0, 0},   {false, -5, 0},  {false, 1, 0},
        {false, 10, 9}, {false, 20, 19}, {false, 21, 20}, {false, 30, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << (c.null_buffer ? " null" : ""));
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetStoredString(stored, c.null_buffer ? nullptr : buffer, c.size), 20u);
        const std::size_t written =
            c.null_buffer || c.size <= 0 ? 0 : static_cast<std::size_t>(c.size);
        std::string expected(sizeof buffer, '#');
        if (written > 0) {
            expected.replace(0, written, std::string(written, '\0'));
            expected.replace(0, c.copied, std::string(c.copied, 'd'));
        }
        EXPECT_EQ(std::string(buffer, sizeof buffer), expected);
    }
}

TEST(StoredString, SetterClearsAndKeepsAtMost259) {
    char field[kNameFieldSize];
    std::memset(field, 'x', sizeof field);
    SetStoredString(field, sizeof field, "short");
    EXPECT_STREQ(field, "short");
    EXPECT_EQ(std::string(field + 5, sizeof field - 5), std::string(sizeof field - 5, '\0'));

    const std::string long_name(300, 'L');
    SetStoredString(field, sizeof field, long_name.c_str());
    EXPECT_EQ(std::string(field), std::string(259, 'L'));
    EXPECT_EQ(BoundedLength(field, sizeof field), 259u);
}

TEST(StoredString, UnterminatedFieldIsReadToItsEndOnly) {
    char field[kNameFieldSize + 4];
    std::memset(field, 'u', sizeof field);
    EXPECT_EQ(FieldText(field, kNameFieldSize).size(), kNameFieldSize);
}

}  // namespace
}  // namespace qx

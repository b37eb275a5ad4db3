#include "utility/core/path_join.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(AppendPathPart, PutsExactlyOneBackslashBetween) {
    const struct {
        const char* path;
        const char* part;
        const char* joined;
    } cases[] = {
        {"C:\\Palm", "User", "C:\\Palm\\User"},
        {"C:\\Palm\\", "User", "C:\\Palm\\User"},
        {"C:\\Palm", "\\User", "C:\\Palm\\User"},
        {"C:\\Palm\\", "\\User", "C:\\Palm\\User"},
        {"", "Install", "\\Install"},
        {"C:\\Palm", "", "C:\\Palm\\"},
        {"C:\\Palm", "\\\\x", "C:\\Palm\\\\x"},  // only one leading backslash is dropped
        {"C:/Palm/", "x", "C:/Palm/\\x"},        // forward slashes are not separators here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " + " << c.part);
        EXPECT_EQ(AppendPathPart(c.path, c.part), c.joined);
    }
}

}  // namespace
}  // namespace qx

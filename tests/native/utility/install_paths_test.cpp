#include "utility/core/install_paths.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(InstallPaths, SplitsLikeWindowsDoes) {
    const struct {
        const char* path;
        const char* drive;
        const char* directory;
        const char* name;
        const char* extension;
    } cases[] = {
        {"C:\\apps\\Game.prc", "C:", "\\apps\\", "Game", ".prc"},
        {"C:/apps/lib.v2/README", "C:", "/apps/lib.v2/", "README", ""},
        {"Game.tar.prc", "", "", "Game.tar", ".prc"},
        {"\\\\server\\share\\x.pdb", "", "\\\\server\\share\\", "x", ".pdb"},
        {"d:noslash.prc", "d:", "", "noslash", ".prc"},
        {"C:\\apps\\.hidden", "C:", "\\apps\\", "", ".hidden"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const SplitPath parts = SplitWindowsPath(c.path);
        EXPECT_EQ(parts.drive, c.drive);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.extension, c.extension);
    }
}

TEST(InstallPaths, TargetKeepsNameAndExtensionUnderTheUsersInstallFolder) {
    for (const char* hotsync : {"C:\\Palm", "C:\\Palm\\"}) {
        SCOPED_TRACE(hotsync);
        const std::string dir = InstallDirectory(hotsync, "SmithJ");
        EXPECT_EQ(dir, "C:\\Palm\\SmithJ\\Install");
        EXPECT_EQ(InstallTarget(dir, "C:\\apps\\Game.prc"), "C:\\Palm\\SmithJ\\Install\\Game.prc");
        EXPECT_EQ(InstallTarget(dir, "C:\\apps\\NOEXT"), "C:\\Palm\\SmithJ\\Install\\NOEXT");
    }
    EXPECT_EQ(InstallDirectory("", "SmithJ"), "\\SmithJ\\Install");
}

TEST(InstallPaths, FlagAndDetailText) {
    EXPECT_EQ(InstallFlagKey("Software\\Palm Computing\\Pilot Desktop"),
              "Software\\Palm Computing\\Pilot Desktop\\HotSync Manager");
    EXPECT_EQ(InstallFlagName(1001), "Install1001");
    EXPECT_EQ(InstallFlagName(0xFFFFFFFEu), "Install-2");
    EXPECT_EQ(InstallFailureDetail("C:\\a.prc", "C:\\Palm\\U\\Install\\a.prc"),
              "\n\nSource = \"C:\\a.prc\"\nTarget = \"C:\\Palm\\U\\Install\\a.prc\"");
}

}  // namespace
}  // namespace qx

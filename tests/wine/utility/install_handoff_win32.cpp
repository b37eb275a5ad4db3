// Handing files to HotSync's install folder of a user, on the desktop made for the test run:
// HotSync folder C:\Palm, user "Pat Doe" (1001) with folder PatDoe.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

constexpr char kInstallDir[] = "C:\\Palm\\PatDoe\\Install";
constexpr char kFlagKey[] = "Software\\Palm Computing\\Pilot Desktop\\HotSync Manager";

void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    char buffer[256];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

// The Install<ID> flag, or -1 when it is not there.
long Flag(const char* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kFlagKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<long>(value);
}

class InstallHandoff : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kFlagKey, "Install1001");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kFlagKey, "Install4242");
        DeleteFileA((std::string(kInstallDir) + "\\Game.prc").c_str());
        DeleteFileA((std::string(kInstallDir) + "\\README").c_str());
        RemoveDirectoryA((std::string(kInstallDir) + "\\sub").c_str());
        RemoveDirectoryA(kInstallDir);
        CreateDirectoryA("C:\\src", nullptr);
        SetFileAttributesA("C:\\src\\Game.prc", FILE_ATTRIBUTE_NORMAL);
        WriteText("C:\\src\\Game.prc", "first");
        WriteText("C:\\src\\README", "notes");
        std::string error;
        ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix_, error)) << error;
    }
    void TearDown() override { UnloadLutrix(lutrix_); }

    LutrixBinding lutrix_;
};

TEST_F(InstallHandoff, NoCurrentUserChangesNothing) {
    EXPECT_EQ(lutrix_.QX_InstallPRC(0, "C:\\src\\Game.prc"), 0);
    EXPECT_EQ(GetFileAttributesA(kInstallDir), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Flag("Install0"), -1);
}

TEST_F(InstallHandoff, CopiesIntoTheUsersInstallFolderAndRaisesTheFlag) {
    SetFileAttributesA("C:\\src\\Game.prc", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(lutrix_.QX_CheckInstallPending(1001), 0);  // no install folder yet
    EXPECT_EQ(lutrix_.QX_InstallPRC(1001, "C:\\src\\Game.prc"), 1);
    const std::string target = std::string(kInstallDir) + "\\Game.prc";
    EXPECT_EQ(ReadText(target), "first");
    // Read-only is cleared. (Wine reports every file as archived, so that bit is not checked.)
    EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Flag("Install1001"), 1);
    EXPECT_EQ(lutrix_.QX_CheckInstallPending(1001), 1);

    // Again, with new content: the copy is replaced.
    SetFileAttributesA("C:\\src\\Game.prc", FILE_ATTRIBUTE_NORMAL);
    WriteText("C:\\src\\Game.prc", "second");
    EXPECT_EQ(lutrix_.QX_InstallPRC(1001, "C:\\src\\Game.prc"), 1);
    EXPECT_EQ(ReadText(target), "second");

    // A name without extension keeps having none.
    EXPECT_EQ(lutrix_.QX_InstallPRC(1001, "C:\\src\\README"), 1);
    EXPECT_EQ(ReadText(std::string(kInstallDir) + "\\README"), "notes");
}

TEST_F(InstallHandoff, CurrentUserStandsInForIdZero) {
    lutrix_.QX_SetHotSyncUserId(1001);
    EXPECT_EQ(lutrix_.QX_InstallPRC(0, "C:/src/Game.prc"), 1);
    lutrix_.QX_SetHotSyncUserId(0);
    EXPECT_EQ(ReadText(std::string(kInstallDir) + "\\Game.prc"), "first");
    EXPECT_EQ(Flag("Install1001"), 1);
}

TEST_F(InstallHandoff, UnknownUserGetsOnlyTheFlag) {
    EXPECT_EQ(lutrix_.QX_InstallPRC(4242, "C:\\src\\Game.prc"), 1);
    EXPECT_EQ(Flag("Install4242"), 1);
    EXPECT_EQ(lutrix_.QX_CheckInstallPending(4242), 0);
    EXPECT_EQ(GetFileAttributesA(kInstallDir), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallHandoff, PendingIgnoresFolders) {
    ASSERT_TRUE(CreateDirectoryA(kInstallDir, nullptr));
    ASSERT_TRUE(CreateDirectoryA((std::string(kInstallDir) + "\\sub").c_str(), nullptr));
    EXPECT_EQ(lutrix_.QX_CheckInstallPending(1001), 0);
}

TEST_F(InstallHandoff, FailedCopyShowsSourceAndTargetAndRaisesNoFlag) {
    auto client = ChildProcess::Start("qxqueue.exe install 1001 C:\\src\\Missing.prc");
    ASSERT_TRUE(client);
    const auto box = WaitForWindow({.caption = "Lutrix",
                                    .window_class = "#32770",
                                    .process_id = client->process_id(),
                                    .skip = {}},
                                   kWaitMs);
    ASSERT_TRUE(box) << client->Output();
    EXPECT_EQ(box->Transcript(),
              "window \"Lutrix\" (#32770)\n"
              "  icon\n"
              "  button 1 \"OK\"\n"
              "  static \"Quorvix DLL Error 1050: Couldn't copy file to install directory.\n"
              "\n"
              "\n"
              "Source = \"C:\\src\\Missing.prc\"\n"
              "Target = \"C:\\Palm\\PatDoe\\Install\\Missing.prc\"\"\n");
    ASSERT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(client->Wait(), 1);
    EXPECT_NE(client->Output().find("install result 0"), std::string::npos);
    EXPECT_EQ(Flag("Install1001"), -1);
}

}  // namespace
}  // namespace qx::test

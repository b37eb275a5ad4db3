// What Lutrix finds in the registry when a process loads it, against prepared registries. Each
// case changes the desktop's keys, loads the library in this process, reads the exports and
// unloads it; the desktop's own keys are put back afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/wine/support/child_process_win32.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

void DeleteTree(HKEY root, const char* path) {
    RegDeleteTreeA(root, path);
}

void SetKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

void SetValue(HKEY root, const std::string& path, const char* name, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

struct Found {
    std::string palm_key, product_dir, brelcon_dir, hotsync_dir;
    uint32_t palm_key_length = 0, version = 0;
};

class DesktopLookup : public ::testing::Test {
  protected:
    void SetUp() override { ClearAll(); }

    // The desktop's own registry, as make-desktop.sh wrote it.
    void TearDown() override {
        ClearAll();
        const char* desktop = std::getenv("QX_DESKTOP");
        ASSERT_NE(desktop, nullptr);
        std::string reg = std::string("Z:") + desktop + "/desktop.reg";
        for (char& c : reg) {
            c = c == '/' ? '\\' : c;
        }
        int code = -1;
        RunToEnd("regedit.exe /S \"" + reg + "\"", &code);
        EXPECT_EQ(code, 0);
    }

    static void ClearAll() {
        DeleteTree(HKEY_CURRENT_USER, "Software\\U.S. Robotics");
        DeleteTree(HKEY_CURRENT_USER, "Software\\Palm Computing");
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\U.S. Robotics");
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Palm Computing");
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvel");
    }

    static Found Load() {
        LutrixBinding lutrix;
        std::string error;
        Found found;
        EXPECT_TRUE(LoadLutrix("Lutrix.dll", lutrix, error)) << error;
        if (lutrix.module == nullptr) {
            return found;
        }
        char buffer[300];
        found.palm_key_length = lutrix.QX_GetPalmKey(buffer, sizeof buffer);
        found.palm_key = buffer;
        lutrix.QX_GetQuorvixDir(buffer, sizeof buffer);
        found.product_dir = buffer;
        lutrix.QX_GetBrelconDir(buffer, sizeof buffer);
        found.brelcon_dir = buffer;
        lutrix.QX_GetHotSyncDir(buffer, sizeof buffer);
        found.hotsync_dir = buffer;
        found.version = lutrix.QX_GetHotSyncVersion();
        UnloadLutrix(lutrix);
        return found;
    }
};

TEST_F(DesktopLookup, NothingInstalled) {
    const Found found = Load();
    EXPECT_EQ(found.palm_key, "");
    EXPECT_EQ(found.palm_key_length, 0u);
    EXPECT_EQ(found.product_dir, "");
    EXPECT_EQ(found.hotsync_dir, "");
    EXPECT_EQ(found.version, 0u);
}

TEST_F(DesktopLookup, SecondGenerationAndTheHighestVersion) {
    SetValue(HKEY_CURRENT_USER, "Software\\Palm Computing\\Pilot Desktop\\Core", "Path",
             "C:\\Palm Desktop\\HotSync\\");
    for (const char* name : {"1.0", "2.0", "3.0", "HotSync"}) {
        SetKey(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Palm Computing\\Pilot Desktop\\") + name);
    }
    const Found found = Load();
    EXPECT_EQ(found.palm_key, "Software\\Palm Computing\\Pilot Desktop");
    EXPECT_EQ(found.palm_key_length, 37u);
    EXPECT_EQ(found.hotsync_dir, "C:\\Palm Desktop\\HotSync\\");
    EXPECT_EQ(found.version, 0x30000u);
}

TEST_F(DesktopLookup, FirstGenerationWinsAndUsesItsOwnMachineKey) {
    SetKey(HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop");
    SetKey(HKEY_CURRENT_USER, "Software\\Palm Computing\\Pilot Desktop");
    SetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\U.S. Robotics\\PalmPilot Desktop\\2.10");
    SetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\U.S. Robotics\\PalmPilot Desktop\\2.9");
    SetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Palm Computing\\Pilot Desktop\\9.0");
    const Found found = Load();
    EXPECT_EQ(found.palm_key, "Software\\U.S. Robotics\\Pilot Desktop");
    EXPECT_EQ(found.hotsync_dir, "");  // no Core key
    EXPECT_EQ(found.version, 0x2000Au);
}

TEST_F(DesktopLookup, NegativeMajorVersionWins) {
    SetKey(HKEY_CURRENT_USER, "Software\\Palm Computing\\Pilot Desktop");
    SetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Palm Computing\\Pilot Desktop\\4.0");
    SetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Palm Computing\\Pilot Desktop\\-1.5");
    EXPECT_EQ(Load().version, 0xFFFF0005u);
}

TEST_F(DesktopLookup, ProductDirectoryAndItsSecondName) {
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvel\\Quorvix Standard\\CurrentVersion", "Keyname",
             "3.0");
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvel\\Quorvix Standard\\3.0", "Path", "C:\\Quorvix");
    Found found = Load();
    EXPECT_EQ(found.product_dir, "C:\\Quorvix");
    EXPECT_EQ(found.brelcon_dir, found.product_dir);

    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvel\\Quorvix Standard\\3.0", "Path",
             std::string(300, 'p'));
    found = Load();
    EXPECT_EQ(found.product_dir, "");
    EXPECT_EQ(found.brelcon_dir, "");
}

TEST_F(DesktopLookup, ShortBufferGetsACutTerminatedCopyAndTheFullLength) {
    SetValue(HKEY_CURRENT_USER, "Software\\Palm Computing\\Pilot Desktop\\Core", "Path",
             "C:\\Palm\\HotSync\\1234");  // 20 characters
    LutrixBinding lutrix;
    std::string error;
    ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix, error)) << error;
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(lutrix.QX_GetHotSyncDir(buffer, 10), 20u);
    EXPECT_EQ(std::string(buffer, 16), std::string("C:\\Palm\\H\0######", 16));
    EXPECT_EQ(lutrix.QX_GetHotSyncDir(nullptr, 0), 20u);
    UnloadLutrix(lutrix);
}

TEST_F(DesktopLookup, GeneratorStartsFromOneInEveryProcessLoad) {
    for (int load = 0; load < 2; ++load) {
        LutrixBinding lutrix;
        std::string error;
        ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix, error)) << error;
        EXPECT_EQ(lutrix.QX_GenerateRandom(), 1103527590u);
        EXPECT_EQ(static_cast<int32_t>(lutrix.QX_GenerateRandom()), -1770082073);
        uint8_t bytes[3] = {};
        EXPECT_EQ(lutrix.QX_SeedRandom(1), 1u);
        EXPECT_EQ(lutrix.QX_CopyRandomXOR(bytes, bytes, 3), bytes);
        EXPECT_EQ(bytes[0], 0xA6);
        EXPECT_EQ(bytes[1], 0xE7);
        EXPECT_EQ(bytes[2], 0x94);
        UnloadLutrix(lutrix);
    }
}

}  // namespace
}  // namespace qx::test

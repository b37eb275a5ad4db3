// HOTSYNC.EXE of the desktop (C:\Palm) run as a user runs it, with a test conduit registered under
// the Palm Desktop key: one-shot synchronisations, the install hand-off, the user's log, and the
// resident instance with its button and WM_CLOSE.

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "common/creator_id.h"
#include "conduit/pdb/palm_database_writer.h"
#include "tests/wine/support/child_process_win32.h"

namespace qx::test {
namespace {

constexpr char kHotSync[] = "C:\\Palm\\HOTSYNC.EXE";
constexpr char kPalmKey[] = "Software\\Palm Computing\\Pilot Desktop";
constexpr char kSettingsKey[] = "Software\\Palm Computing\\Pilot Desktop\\HotSync Manager";
constexpr char kInstallDir[] = "C:\\Palm\\PatDoe\\Install";
constexpr char kLog[] = "C:\\Palm\\PatDoe\\HotSync Log.txt";
constexpr char kEntry[] = "ApplicationHotSyncTest";
constexpr char kFailingEntry[] = "ApplicationHotSyncTestFail";

std::string BinFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ConduitPath() {
    return BinFolder() + "\\hotsync_test_conduit.dll";
}

std::string CallsFile() {
    return BinFolder() + "\\hotsync_test_conduit.txt";
}

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The entries of the user's log, without their stamps; every line must carry one.
std::vector<std::string> LogEntries() {
    const std::string text = ReadText(kLog);
    const std::regex line("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)  ([^\\r\\n]*)\\r\\n");
    std::vector<std::string> entries;
    std::size_t covered = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
         it != std::sregex_iterator(); ++it) {
        entries.push_back((*it)[2]);
        covered += static_cast<std::size_t>(it->length());
    }
    EXPECT_EQ(covered, text.size()) << "lines without a stamp in:\n" << text;
    return entries;
}

void Register(const char* entry, uint32_t creator) {
    const std::string key = std::string(kPalmKey) + "\\" + entry;
    const std::string path = ConduitPath();
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Conduit", REG_SZ, path.c_str(),
                              static_cast<DWORD>(path.size() + 1)),
              ERROR_SUCCESS);
    const DWORD value = creator;
    ASSERT_EQ(
        RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Creator", REG_DWORD, &value, sizeof value),
        ERROR_SUCCESS);
}

void Unregister(const char* entry) {
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kPalmKey) + "\\" + entry).c_str());
}

// The Install<ID> flag, or -1 when it is not there.
long Flag(const char* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<long>(value);
}

void SetFlag(const char* name, DWORD value) {
    ASSERT_EQ(
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value),
        ERROR_SUCCESS);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::vector<uint8_t> TestProgram(const std::string& name) {
    PalmDatabase db;
    db.header.name = name;
    db.header.attributes = kDbAttrResource;
    db.header.type = FourCc("appl");
    db.header.creator = FourCc("QVXT");
    db.resources.push_back({FourCc("code"), 1, {0x4E, 0x75}});
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodePalmDatabase(db, bytes, error)) << error;
    return bytes;
}

// What the test conduit writes for one call on Pat Doe's handheld.
std::string ExpectedCall(const char* creator) {
    return std::string("user=Pat Doe\ncreator=") + creator +
           "\n"
           "handheld user=Pat Doe\n"
           "handheld user ID=1001\n"
           "open directory=0\n"
           "open again=refused\n"
           "info block in 4 bytes=failed size 26\n"
           "info block in 64 bytes=ok size 26 tag QXDR\n"
           "close directory=0\n"
           "create=0\n"
           "write record=0\n"
           "record ID given=yes\n"
           "close=0\n"
           "--\n";
}

// Conduit entries other than the test's own (the desktop registers the Quorvix conduit) are set
// aside for each test, so that the test knows every conduit a synchronisation calls.
constexpr char kSetAsideKey[] = "Software\\Quorvix HotSync tests\\Set aside";

std::vector<std::string> OtherEntries() {
    std::vector<std::string> names;
    HKEY palm = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPalmKey, 0, KEY_READ, &palm) != ERROR_SUCCESS) {
        return names;
    }
    char name[260];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(palm, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string entry(name, length);
        if (entry.rfind("Application", 0) == 0 && entry != kEntry && entry != kFailingEntry) {
            names.push_back(entry);
        }
    }
    RegCloseKey(palm);
    return names;
}

// Copies the key `from` to `to` (both under HKEY_CURRENT_USER) and deletes `from`.
void MoveKey(const std::string& from, const std::string& to) {
    HKEY source = nullptr, target = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &target, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeA(source, nullptr, target), ERROR_SUCCESS);
    RegCloseKey(source);
    RegCloseKey(target);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, from.c_str()), ERROR_SUCCESS);
}

class HotSyncManager : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const auto& entry : OtherEntries()) {
            MoveKey(std::string(kPalmKey) + "\\" + entry, std::string(kSetAsideKey) + "\\" + entry);
            set_aside_.push_back(entry);
        }
        Unregister(kFailingEntry);
        Register(kEntry, FourCc("QVXT"));
        DeleteFileA(CallsFile().c_str());
        DeleteFileA(kLog);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Install1001");
        for (const auto& name : FilesIn(kInstallDir)) {
            DeleteFileA((std::string(kInstallDir) + "\\" + name).c_str());
        }
    }
    void TearDown() override {
        Unregister(kEntry);
        Unregister(kFailingEntry);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Install1001");
        for (const auto& entry : set_aside_) {
            MoveKey(std::string(kSetAsideKey) + "\\" + entry, std::string(kPalmKey) + "\\" + entry);
        }
    }

    std::vector<std::string> set_aside_;
};

TEST_F(HotSyncManager, OnceCallsTheConduitWithUserAndCreator) {
    int code = -1;
    const std::string output = RunToEnd(std::string(kHotSync) + " /once", &code);
    EXPECT_EQ(code, 0) << output;
    EXPECT_NE(output.find("hotsync: synchronisation 1 ended: OK"), std::string::npos) << output;
    EXPECT_EQ(ReadText(CallsFile()), ExpectedCall("QVXT"));

    // The database the conduit wrote was stored when the handheld left the cradle.
    const std::string listing = RunToEnd("qxhandheld.exe list C:\\Palm\\Cradle", &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(listing.find("HotSyncTestDB"), std::string::npos) << listing;
    const std::string record = RunToEnd("qxhandheld.exe show C:\\Palm\\Cradle HotSyncTestDB 0");
    EXPECT_NE(record.find("3 bytes"), std::string::npos) << record;
}

TEST_F(HotSyncManager, LogHoldsEachStepAndEachConduitsResult) {
    Register(kFailingEntry, FourCc("FAIL"));
    int code = -1;
    const std::string output = RunToEnd(std::string(kHotSync) + " /once", &code);
    EXPECT_EQ(code, 1) << output;
    EXPECT_NE(output.find("hotsync: synchronisation 1 ended: failed"), std::string::npos) << output;
    EXPECT_EQ(ReadText(CallsFile()), ExpectedCall("QVXT") + ExpectedCall("FAIL"));
    const std::string path = ConduitPath();
    EXPECT_EQ(LogEntries(),
              (std::vector<std::string>{
                  "HotSync started for \"Pat Doe\" (ID 1001)",
                  "Calling conduit ApplicationHotSyncTest (" + path + ", creator 'QVXT')",
                  "HotSync Test Conduit started",
                  "test conduit: hello, QVXT",
                  "HotSync Test Conduit OK",
                  "Conduit ApplicationHotSyncTest succeeded (result 0)",
                  "Calling conduit ApplicationHotSyncTestFail (" + path + ", creator 'FAIL')",
                  "HotSync Test Conduit started",
                  "test conduit: hello, FAIL",
                  "HotSync Test Conduit failed",
                  "Conduit ApplicationHotSyncTestFail failed (result 4107)",
                  "HotSync ended with failures",
              }));
}

TEST_F(HotSyncManager, InstallsWaitingFilesWhenFlagged) {
    CreateDirectoryA(kInstallDir, nullptr);
    const struct {
        long flag;  // -1: no flag
        bool installed;
    } cases[] = {{-1, false}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Install1001");
        RunToEnd("qxhandheld.exe delete C:\\Palm\\Cradle HotSyncGame");
        if (c.flag >= 0) {
            SetFlag("Install1001", static_cast<DWORD>(c.flag));
        }
        WriteBytes(std::string(kInstallDir) + "\\HotSyncGame.prc", TestProgram("HotSyncGame"));
        int code = -1;
        const std::string output = RunToEnd(std::string(kHotSync) + " /once", &code);
        EXPECT_EQ(code, 0) << output;
        const std::string listing = RunToEnd("qxhandheld.exe list C:\\Palm\\Cradle");
        EXPECT_EQ(listing.find("HotSyncGame") != std::string::npos, c.installed) << listing;
        if (c.installed) {
            EXPECT_TRUE(FilesIn(kInstallDir).empty());
            EXPECT_EQ(Flag("Install1001"), 0);
            EXPECT_NE(output.find("Installed HotSyncGame.prc as \"HotSyncGame\""),
                      std::string::npos)
                << output;
        } else {
            EXPECT_EQ(FilesIn(kInstallDir), std::vector<std::string>{"HotSyncGame.prc"});
            EXPECT_EQ(Flag("Install1001"), c.flag);
        }
    }
    RunToEnd("qxhandheld.exe delete C:\\Palm\\Cradle HotSyncGame");
}

TEST_F(HotSyncManager, DamagedFileStaysAndKeepsTheFlag) {
    CreateDirectoryA(kInstallDir, nullptr);
    WriteBytes(std::string(kInstallDir) + "\\Broken.prc", {'n', 'o', 't', ' ', 'p', 'r', 'c'});
    SetFlag("Install1001", 1);
    int code = -1;
    const std::string output = RunToEnd(std::string(kHotSync) + " /once", &code);
    EXPECT_EQ(code, 1) << output;
    EXPECT_NE(output.find("Could not install Broken.prc: not a Palm database"), std::string::npos)
        << output;
    EXPECT_EQ(FilesIn(kInstallDir), std::vector<std::string>{"Broken.prc"});
    EXPECT_EQ(Flag("Install1001"), 1);
    // The conduits are still called.
    EXPECT_EQ(ReadText(CallsFile()), ExpectedCall("QVXT"));
}

// Pat Doe's handheld is set aside and the cradle holds another one, or none.
class StrangeCradle : public HotSyncManager {
  protected:
    void SetUp() override {
        HotSyncManager::SetUp();
        ASSERT_TRUE(MoveFileA(kCradle, kKeptCradle));
    }
    void TearDown() override {
        EmptyCradle();
        MoveFileA(kKeptCradle, kCradle);
        HotSyncManager::TearDown();
    }
    static void EmptyCradle() {
        for (const auto& name : FilesIn(kCradle)) {
            DeleteFileA((std::string(kCradle) + "\\" + name).c_str());
        }
        RemoveDirectoryA(kCradle);
    }

    static constexpr char kCradle[] = "C:\\Palm\\Cradle";
    static constexpr char kKeptCradle[] = "C:\\Palm\\Cradle.kept";
};

TEST_F(StrangeCradle, NoKnownUserNoSynchronisation) {
    const struct {
        const char* user;  // nullptr: an empty cradle
        const char* says;
    } cases[] = {
        {nullptr, "No handheld in the cradle (C:\\Palm\\Cradle)"},
        {"Stranger",
         "The handheld's user \"Stranger\" (ID 77) is not a HotSync user of this desktop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        EmptyCradle();
        if (c.user != nullptr) {
            int made = -1;
            RunToEnd(std::string("qxhandheld.exe create C:\\Palm\\Cradle --user ") + c.user +
                         " --user-id 77",
                     &made);
            ASSERT_EQ(made, 0);
        }
        int code = -1;
        const std::string output = RunToEnd(std::string(kHotSync) + " /once", &code);
        EXPECT_EQ(code, 1) << output;
        EXPECT_NE(output.find(c.says), std::string::npos) << output;
        EXPECT_NE(output.find("synchronisation 1 ended: failed"), std::string::npos) << output;
        EXPECT_EQ(ReadText(CallsFile()), "(missing)");  // no conduit was called
    }
}

TEST_F(HotSyncManager, ResidentSyncsOnTheButtonAndLeavesOnClose) {
    int code = -1;
    std::string output = RunToEnd(std::string(kHotSync) + " /sync", &code);
    EXPECT_EQ(code, 1);
    EXPECT_NE(output.find("no HotSync Manager is running"), std::string::npos) << output;

    auto resident = ChildProcess::Start(kHotSync);
    ASSERT_TRUE(resident);
    ASSERT_TRUE(resident->WaitForOutput("HotSync Manager ready")) << resident->Output();
    HWND window = FindWindowA("KittyHawk", "HotSync Manager");
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, resident->process_id());

    // A second resident instance leaves the first in charge.
    output = RunToEnd(kHotSync, &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(output.find("HotSync Manager is already running"), std::string::npos) << output;

    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        output = RunToEnd(std::string(kHotSync) + " /sync", &code);
        EXPECT_EQ(code, 0) << output;
        EXPECT_NE(output.find("hotsync: synchronisation OK"), std::string::npos) << output;
        EXPECT_TRUE(
            resident->WaitForOutput("synchronisation " + std::to_string(press) + " ended: OK"))
            << resident->Output();
    }
    EXPECT_EQ(ReadText(CallsFile()), ExpectedCall("QVXT") + ExpectedCall("QVXT"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(resident->Wait(), 0);
    EXPECT_NE(resident->Output().find("HotSync Manager closed"), std::string::npos);
    EXPECT_EQ(FindWindowA("KittyHawk", nullptr), nullptr);
}

}  // namespace
}  // namespace qx::test

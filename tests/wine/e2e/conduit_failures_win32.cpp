// How a HotSync goes when the conduit cannot bind the HotSync libraries, when only the older
// command library is there, and when a listener of the progress broadcast hangs.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"

namespace qx::test {
namespace {

constexpr char kCoreKey[] = "Software\\Palm Computing\\Pilot Desktop\\Core";

// Answers every conduit error dialog of `hotsync` until it ends; returns their texts.
std::string AnswerErrors(ChildProcess& hotsync) {
    std::string texts;
    WindowQuery query{.caption = "Quorvix Conduit Error",
                      .window_class = "#32770",
                      .process_id = hotsync.process_id(),
                      .skip = {}};
    while (WaitForSingleObject(hotsync.handle(), 0) == WAIT_TIMEOUT) {
        const auto dialog = WaitForWindow(query, 2000);
        if (!dialog) {
            continue;
        }
        for (const ControlInfo& c : dialog->controls) {
            if (c.kind == "static") {
                texts += c.text + "\n";
            }
        }
        query.skip.push_back(dialog->window);
        PressButton(*dialog, "OK");
        WaitUntilClosed(dialog->window, kWaitMs);
    }
    return texts;
}

std::string QueuedCount() {
    const std::string shown = RunToEnd("qxqueue.exe show");
    const std::size_t at = shown.find("queued commands");
    return at == std::string::npos ? shown : shown.substr(at, shown.find('\n', at) - at);
}

// Keeps a command queued (and Lutrix loaded) for the length of a test.
class QueuedCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        holder_ = ChildProcess::Start("qxqueue.exe add 6 - hold");
        ASSERT_TRUE(holder_ && holder_->WaitForOutput("holding:"));
    }
    void TearDown() override {
        holder_->CloseInput();
        holder_->Wait();
    }
    std::unique_ptr<ChildProcess> holder_;
};

TEST_F(QueuedCommand, NoHotSyncFolderRegisteredLooksInPilotAndLeavesTheQueue) {
    char saved[MAX_PATH] = {};
    DWORD size = sizeof saved;
    ASSERT_EQ(
        RegGetValueA(HKEY_CURRENT_USER, kCoreKey, "Path", RRF_RT_REG_SZ, nullptr, saved, &size),
        ERROR_SUCCESS);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kCoreKey, "Path");

    auto hotsync = ChildProcess::Start("C:\\Palm\\HOTSYNC.EXE /once");
    ASSERT_TRUE(hotsync);
    const std::string texts = AnswerErrors(*hotsync);
    EXPECT_EQ(hotsync->Wait(), 1);
    RegSetKeyValueA(HKEY_CURRENT_USER, kCoreKey, "Path", REG_SZ, saved,
                    static_cast<DWORD>(strlen(saved) + 1));

    // One "Cannot find" for each library tried (the log, both command libraries, the Sync
    // Manager), then the loading failure.
    EXPECT_EQ(texts,
              "Cannot find: C:\\PILOT\n"
              "Cannot find: C:\\PILOT\n"
              "Cannot find: C:\\PILOT\n"
              "Cannot find: C:\\PILOT\n"
              "Error explicitly loading HotSync Dlls\n");
    EXPECT_EQ(QueuedCount(), "queued commands     1");
}

TEST_F(QueuedCommand, MissingLibraryFailsTheConduitWithoutTouchingTheQueue) {
    // Neither command library: the HotSync Manager itself does without them, the conduit not.
    ASSERT_TRUE(MoveFileA("C:\\Palm\\Cmds21.dll", "C:\\Palm\\Cmds21.dll.away"));
    ASSERT_TRUE(MoveFileA("C:\\Palm\\Cmds20.dll", "C:\\Palm\\Cmds20.dll.away"));
    auto hotsync = ChildProcess::Start("C:\\Palm\\HOTSYNC.EXE /once");
    ASSERT_TRUE(hotsync);
    const std::string texts = AnswerErrors(*hotsync);
    hotsync->Wait();
    MoveFileA("C:\\Palm\\Cmds21.dll.away", "C:\\Palm\\Cmds21.dll");
    MoveFileA("C:\\Palm\\Cmds20.dll.away", "C:\\Palm\\Cmds20.dll");
    EXPECT_EQ(texts, "Error explicitly loading HotSync Dlls\n");
    EXPECT_NE(hotsync->Output().find("failed (result 4107)"), std::string::npos)
        << hotsync->Output();
    EXPECT_EQ(QueuedCount(), "queued commands     1");
}

TEST_F(QueuedCommand, OlderCommandLibraryAloneIsEnough) {
    ASSERT_TRUE(MoveFileA("C:\\Palm\\Cmds21.dll", "C:\\Palm\\Cmds21.dll.away"));
    auto hotsync = ChildProcess::Start("C:\\Palm\\HOTSYNC.EXE /once");
    ASSERT_TRUE(hotsync);
    const std::string texts = AnswerErrors(*hotsync);
    const int code = hotsync->Wait();
    MoveFileA("C:\\Palm\\Cmds21.dll.away", "C:\\Palm\\Cmds21.dll");
    EXPECT_EQ(texts, "");
    EXPECT_EQ(code, 0) << hotsync->Output();
    EXPECT_EQ(QueuedCount(), "queued commands     0");
}

TEST(HungListener, DelaysTheSynchronisationButDoesNotStopIt) {
    // A top-level window of this thread, which does not look at its messages while the HotSync
    // runs: the conduit's broadcast gives up on it after its bound and goes on.
    HWND hung = CreateWindowExA(0, "STATIC", "hung listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(hung, nullptr);
    auto hotsync = ChildProcess::Start("C:\\Palm\\HOTSYNC.EXE /once");
    ASSERT_TRUE(hotsync);
    EXPECT_EQ(WaitForSingleObject(hotsync->handle(), 120000), WAIT_OBJECT_0);
    EXPECT_EQ(hotsync->Wait(), 0) << hotsync->Output();
    EXPECT_NE(hotsync->Output().find("succeeded (result 0)"), std::string::npos)
        << hotsync->Output();
    DestroyWindow(hung);
}

}  // namespace
}  // namespace qx::test

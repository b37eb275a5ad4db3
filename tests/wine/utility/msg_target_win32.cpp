// MsgTarget in this test's own process: a hidden top-level window that hears the conduit's
// broadcasts and posts them on to a child window, which broadcasts never reach.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/support/child_process_win32.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

struct Heard {
    UINT message;
    WPARAM code;
    LPARAM value;
};
std::vector<Heard> g_heard;
UINT g_progress = 0;
const LutrixBinding* g_lutrix = nullptr;
bool g_hold_on_start = false;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_progress != 0 && message == g_progress) {
        g_heard.push_back({message, wparam, lparam});
        if (g_hold_on_start && wparam == 1) {
            g_lutrix->QX_IncWaitFlag();  // a listener that needs the conduit to wait
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

class MsgTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix_, error)) << error;
        g_lutrix = &lutrix_;
        g_progress = lutrix_.QX_GetRegisteredMsg();
        g_heard.clear();
        g_hold_on_start = false;
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QxRecording";
        RegisterClassA(&wc);
        parent_ = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
        child_ = CreateWindowExA(0, "QxRecording", "child", WS_CHILD, 0, 0, 10, 10, parent_,
                                 nullptr, wc.hInstance, nullptr);
        ASSERT_NE(child_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        UnloadLutrix(lutrix_);
    }

    LutrixBinding lutrix_;
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(MsgTargetTest, ForwardsToAChildWindowUntilDeleted) {
    void* target = lutrix_.QX_CreateMsgTarget(child_);
    ASSERT_NE(target, nullptr);
    HWND hidden = FindWindowA(nullptr, "Quorvix Msg Target");
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden));
    // Made at 4096, 4096, far off any screen; its 10 x 10 size is raised to the smallest an
    // overlapped window may have, so only the position is checked.
    RECT rect{};
    GetWindowRect(hidden, &rect);
    EXPECT_EQ(rect.left, 4096);
    EXPECT_EQ(rect.top, 4096);

    int code = -1;
    RunToEnd("qxqueue.exe notify 3 1 notify 2 0", &code);
    EXPECT_EQ(code, 0);
    PumpPending();
    ASSERT_EQ(g_heard.size(), 2u);
    EXPECT_EQ(g_heard[0].code, 3u);
    EXPECT_EQ(g_heard[0].value, 1);
    EXPECT_EQ(g_heard[1].code, 2u);
    EXPECT_EQ(g_heard[1].value, 0);

    lutrix_.QX_DeleteMsgTarget(target);
    lutrix_.QX_DeleteMsgTarget(nullptr);
    EXPECT_EQ(FindWindowA(nullptr, "Quorvix Msg Target"), nullptr);
    RunToEnd("qxqueue.exe notify 3 1");
    PumpPending();
    EXPECT_EQ(g_heard.size(), 2u);
}

TEST_F(MsgTargetTest, AListenerHoldingTheCounterKeepsTheSenderWaiting) {
    void* target = lutrix_.QX_CreateMsgTarget(child_);
    ASSERT_NE(target, nullptr);
    g_hold_on_start = true;
    auto sender = ChildProcess::Start("qxqueue.exe notify 1 0");
    ASSERT_TRUE(sender);
    // Let the notification arrive; the sender then waits for us.
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (g_heard.empty() && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpPending();
    }
    ASSERT_FALSE(g_heard.empty());
    EXPECT_EQ(lutrix_.QX_GetWaitFlag(), 1);
    // Two of the sender's half-second rounds go by and it is still waiting.
    EXPECT_FALSE(WaitPumping(sender->handle(), 1200));
    EXPECT_EQ(lutrix_.QX_DecWaitFlag(), 0);
    EXPECT_EQ(sender->Wait(), 0);
    EXPECT_NE(sender->Output().find("notified 1 0, held"), std::string::npos);
    EXPECT_EQ(sender->Output().find("held 0 times"), std::string::npos) << sender->Output();
    lutrix_.QX_DeleteMsgTarget(target);
}

}  // namespace
}  // namespace qx::test

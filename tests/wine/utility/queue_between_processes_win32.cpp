// The queue and the wait counter as separate programs see them: each of these starts real
// processes that load Lutrix.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/wine/support/child_process_win32.h"

namespace qx::test {
namespace {

std::string Line(const std::string& output, const std::string& prefix) {
    const std::size_t at = output.find("\n" + prefix);
    if (at == std::string::npos) {
        return output.rfind(prefix, 0) == 0 ? output.substr(0, output.find('\n')) : "";
    }
    const std::size_t end = output.find('\n', at + 1);
    return output.substr(at + 1, end - at - 1);
}

// Starts a program that runs `actions` and then keeps Lutrix loaded until released.
std::unique_ptr<ChildProcess> StartHolder(const std::string& actions) {
    auto holder = ChildProcess::Start("qxqueue.exe " + actions + " hold");
    EXPECT_TRUE(holder && holder->WaitForOutput("holding:")) << (holder ? holder->Output() : "");
    return holder;
}

TEST(QueueBetweenProcesses, CommandsAddedByOneAreTakenInOrderByAnother) {
    const std::string long_name =
        "C:\\" + std::string(257, 'L');  // 260 characters, no room for NUL
    auto holder = StartHolder(
        "add 7 C:\\apps\\orders.pda QVXD 1 add 6 - add 3 C:\\data\\stock.dbf add 9 " + long_name);
    ASSERT_TRUE(holder);

    int code = -1;
    const std::string taken = RunToEnd("qxqueue.exe take-all", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(
        taken,
        "#1 type 7 (CopyPilotAppEx) param1 0x51565844 'QVXD' param2 0x1 name "
        "\"C:\\apps\\orders.pda\"\n"
        "#2 type 6 (SyncMarker) param1 0x00000000 param2 0x0 name \"\"\n"
        "#3 type 3 (CopyPilotTable) param1 0x00000000 param2 0x0 name \"C:\\data\\stock.dbf\"\n"
        "#4 type 9 (InstallPRC) param1 0x00000000 param2 0x0 name \"" +
            long_name +
            "\"\n"
            "took 4\n");

    const std::string after = RunToEnd("qxqueue.exe show take");
    EXPECT_EQ(Line(after, "queued commands"), "queued commands     0");
    EXPECT_EQ(Line(after, "read index"), "read index          -1");
    EXPECT_EQ(Line(after, "write index"), "write index         4");
    EXPECT_NE(after.find("queue empty"), std::string::npos);

    holder->CloseInput();
    EXPECT_EQ(holder->Wait(), 0);
}

TEST(QueueBetweenProcesses, EveryProcessStoresTheSameRegisteredMessage) {
    const UINT expected = RegisterWindowMessageA("Quorvix 3.0 IPC Message");
    ASSERT_NE(expected, 0u);
    char line[64];
    std::snprintf(line, sizeof line, "registered message  0x%04X", expected);
    EXPECT_EQ(Line(RunToEnd("qxqueue.exe show"), "registered message"), line);
}

TEST(QueueBetweenProcesses, ConcurrentIncrementsAndDecrementsCancelOut) {
    auto holder = StartHolder("wait-flag 7");
    ASSERT_TRUE(holder);
    auto first = ChildProcess::Start("qxqueue.exe hammer 100000");
    auto second = ChildProcess::Start("qxqueue.exe hammer 100000");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Wait(), 0);
    EXPECT_EQ(second->Wait(), 0);
    EXPECT_EQ(Line(RunToEnd("qxqueue.exe show"), "wait counter"), "wait counter        7");

    // A listener in one process holds the counter, another lets it go.
    EXPECT_EQ(RunToEnd("qxqueue.exe wait-flag 0 inc"), "wait counter 0\nwait counter 1\n");
    EXPECT_EQ(RunToEnd("qxqueue.exe dec"), "wait counter 0\n");

    holder->CloseInput();
    EXPECT_EQ(holder->Wait(), 0);
}

TEST(QueueBetweenProcesses, StateStartsAfreshOnceTheLastProcessHasEnded) {
    const std::string fresh_tail =
        "wait counter        0\n"
        "creator ID          0x00000000\n"
        "HotSync user ID     0\n"
        "read index          -1\n"
        "write index         0\n"
        "queued commands     0\n";
    auto tail_of = [](const std::string& show) { return show.substr(show.find("wait counter")); };

    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "holder killed" : "holder ended");
        auto holder = StartHolder("add 1 C:\\a.pda add 3 C:\\b.dbf wait-flag 3");
        ASSERT_TRUE(holder);
        EXPECT_NE(tail_of(RunToEnd("qxqueue.exe show")), fresh_tail);
        if (killed) {
            holder->Kill();
        } else {
            holder->CloseInput();
            EXPECT_EQ(holder->Wait(), 0);
        }
        EXPECT_EQ(tail_of(RunToEnd("qxqueue.exe show")), fresh_tail);
    }
}

}  // namespace
}  // namespace qx::test

// The HotSync wait dialog in a client process, driven by the notifications a second process
// broadcasts exactly as the conduit does, and answered through the automation library.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"

namespace qx::test {
namespace {

const char kDialogBody[] =
    "  button 2 \"&Abort\"\n"
    "  bitmap\n"
    "  static \"Ready to synchronize with Handheld.\"\n"
    "  static \"Press the HotSync button on the cradle to begin.\"\n";

WindowQuery DialogOf(const ChildProcess& client, const std::string& caption) {
    return {.caption = caption,
            .window_class = "#32770",
            .process_id = client.process_id(),
            .skip = {}};
}

// Starts a client that queues two commands and waits in the dialog; returns once it shows.
std::unique_ptr<ChildProcess> StartWaitingClient(const std::string& flush_args,
                                                 const std::string& caption) {
    auto client =
        ChildProcess::Start("qxqueue.exe add 1 C:\\a.pda add 3 C:\\b.dbf flush " + flush_args);
    EXPECT_TRUE(client);
    if (client) {
        const auto dialog = WaitForWindow(DialogOf(*client, caption), kWaitMs);
        EXPECT_TRUE(dialog) << client->Output();
        if (dialog) {
            EXPECT_EQ(dialog->Transcript(), "window \"" + caption + "\" (#32770)\n" + kDialogBody);
        }
    }
    return client;
}

std::string Broadcast(const std::string& actions) {
    int code = -1;
    const std::string output = RunToEnd("qxqueue.exe " + actions, &code);
    EXPECT_EQ(code, 0) << output;
    return output;
}

TEST(WaitDialog, ResultFollowsTheCommandsReported) {
    const struct {
        const char* notifications;
        int result;
    } cases[] = {
        {"notify 1 0 notify 2 1", 0},  // empty queue
        {"notify 1 0 notify 3 1 notify 3 0 notify 3 1 notify 2 1", 1},
        {"notify 1 0 notify 3 1 notify 3 1 notify 2 1", 0},
        {"notify 2 0", 0},                        // the finish value is not looked at
        {"notify 1 0 notify 3 2 notify 2 1", 1},  // only the lowest bit counts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notifications);
        auto client = StartWaitingClient("Installing", "Installing");
        ASSERT_TRUE(client);
        Broadcast(c.notifications);
        EXPECT_EQ(client->Wait(), 0);
        EXPECT_NE(client->Output().find("flush result " + std::to_string(c.result)),
                  std::string::npos)
            << client->Output();
    }
}

TEST(WaitDialog, AnotherCreatorsSynchronisationIsIgnored) {
    auto client = StartWaitingClient("- QVXD", "HotSync with Handheld");  // default caption
    ASSERT_TRUE(client);
    Broadcast("set-creator QVXF notify 1 0 notify 3 0 notify 2 1");
    // The broadcast is delivered before notify returns: a dialog that took it would be gone.
    EXPECT_TRUE(WaitForWindow(DialogOf(*client, "HotSync with Handheld"), 0));
    EXPECT_EQ(client->Output().find("flush result"), std::string::npos);

    Broadcast("set-creator QVXD notify 1 0 notify 3 1 notify 2 1");
    EXPECT_EQ(client->Wait(), 0);
    EXPECT_NE(client->Output().find("flush result 0"), std::string::npos) << client->Output();
}

TEST(WaitDialog, AbortEmptiesTheQueue) {
    auto client = ChildProcess::Start(
        "qxqueue.exe add 1 C:\\1 add 1 C:\\2 add 1 C:\\3 add 1 C:\\4 add 1 C:\\5 flush Deploy "
        "hold");
    ASSERT_TRUE(client);
    const auto dialog = WaitForWindow(DialogOf(*client, "Deploy"), kWaitMs);
    ASSERT_TRUE(dialog) << client->Output();
    EXPECT_NE(Broadcast("show").find("queued commands     5"), std::string::npos);
    ASSERT_TRUE(PressButton(*dialog, "Abort"));
    ASSERT_TRUE(client->WaitForOutput("holding:")) << client->Output();
    EXPECT_NE(client->Output().find("flush result 2"), std::string::npos);

    const std::string after = RunToEnd("qxqueue.exe take show");
    EXPECT_NE(after.find("queue empty"), std::string::npos) << after;
    EXPECT_NE(after.find("write index         0"), std::string::npos) << after;
    client->CloseInput();
    EXPECT_EQ(client->Wait(), 0);
}

}  // namespace
}  // namespace qx::test

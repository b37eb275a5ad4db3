// Lutrix's own message boxes, seen and answered from outside as a person would.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"

namespace qx::test {
namespace {

std::string BoxTranscript(const std::string& text) {
    return "window \"Lutrix\" (#32770)\n"
           "  icon\n"
           "  button 1 \"OK\"\n"
           "  static \"" +
           text + "\"\n";
}

TEST(DllErrorBox, RejectedCommandsShowTheirNumberedMessages) {
    const struct {
        const char* actions;
        std::vector<std::string> boxes;
    } cases[] = {
        {"add 0 C:\\a.pda",
         {"Quorvix DLL Error 1010: Unknown command type given to QX_AddToCommandQueue!"}},
        {"add 10 C:\\a.pda",
         {"Quorvix DLL Error 1010: Unknown command type given to QX_AddToCommandQueue!"}},
        {"add 3 -", {"Quorvix DLL Error 1020: Bad filename passed to QX_AddToCommandQueue!"}},
        {"add 8 C:\\t.dbf 0", {"Quorvix DLL Error 1040: Bad Creator ID specified."}},
        {"add 7 - 0",
         {"Quorvix DLL Error 1040: Bad Creator ID specified.",
          "Quorvix DLL Error 1020: Bad filename passed to QX_AddToCommandQueue!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actions);
        auto client = ChildProcess::Start(std::string("qxqueue.exe ") + c.actions + " show");
        ASSERT_TRUE(client);
        WindowQuery query{.caption = "Lutrix",
                          .window_class = "#32770",
                          .process_id = client->process_id(),
                          .skip = {}};
        for (const std::string& text : c.boxes) {
            const auto box = WaitForWindow(query, kWaitMs);
            ASSERT_TRUE(box) << "no box; output so far: " << client->Output();
            EXPECT_EQ(box->Transcript(), BoxTranscript(text));
            // The call is still waiting for the user: nothing has been printed for it yet.
            EXPECT_EQ(client->Output().find("rejected"), std::string::npos);
            ASSERT_TRUE(PressButton(*box, "OK"));
            ASSERT_TRUE(WaitUntilClosed(box->window, kWaitMs));
            query.skip.push_back(box->window);
        }
        EXPECT_EQ(client->Wait(), 1);
        const std::string output = client->Output();
        EXPECT_NE(output.find("rejected type"), std::string::npos) << output;
        EXPECT_NE(output.find("queued commands     0"), std::string::npos) << output;
    }
}

TEST(DllErrorBox, FullQueueRejectsSilently) {
    std::string actions;
    for (int i = 0; i < 513; ++i) {
        actions += " add 6 -";
    }
    auto client = ChildProcess::Start("qxqueue.exe" + actions + " show");
    ASSERT_TRUE(client);
    EXPECT_EQ(client->Wait(), 1);
    const std::string output = client->Output();
    EXPECT_NE(output.find("rejected type 6"), std::string::npos);
    EXPECT_NE(output.find("queued commands     512"), std::string::npos);
    EXPECT_FALSE(
        WaitForWindow({.caption = "Lutrix", .window_class = {}, .process_id = 0, .skip = {}}, 0));
}

}  // namespace
}  // namespace qx::test

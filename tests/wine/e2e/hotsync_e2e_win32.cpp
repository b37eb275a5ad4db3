// A deployment from end to end on the test run's desktop: a client queues commands and waits in
// the HotSync wait dialog, the HotSync Manager's button is pressed, the Quorvix conduit works
// through the queue and reports each command, and a file handed to HotSync by command 9 is on
// the handheld after the next HotSync.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"
#include "tools/qxpda/pda_writer.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

std::string g_heard;
UINT g_progress = 0;

// A top-level window hears the conduit's broadcasts as every client does.
LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_progress != 0 && message == g_progress) {
        g_heard += std::to_string(wparam) + ":" + std::to_string(lparam) + " ";
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(HotSyncEndToEnd, QueuedCommandsRunAndTheHandedFileArrivesNextTime) {
    // An application database to hand over, written by the conduit's own PDB export.
    CreateDirectoryA("C:\\e2e", nullptr);
    pda::PdaHeader header;
    header.name = "Sales";
    header.form_count = 1;
    pda::PdaWriter pda(54);
    pda.Header(header).Form({.word1 = 1, .control_count = 1}).Control({.type = 2});
    {
        std::ofstream out("C:\\e2e\\Sales.pda", std::ios::binary);
        out.write(reinterpret_cast<const char*>(pda.bytes().data()),
                  static_cast<std::streamsize>(pda.bytes().size()));
    }
    int code = -1;
    RunToEnd("qxpdb.exe write-app C:\\e2e\\Sales.pda QVXD 1", &code);
    ASSERT_EQ(code, 0);

    LutrixBinding lutrix;
    std::string error;
    ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix, error)) << error;
    g_progress = lutrix.QX_GetRegisteredMsg();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ListenerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QxE2eListener";
    RegisterClassA(&wc);
    HWND listener = CreateWindowExA(0, "QxE2eListener", "listener", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(listener, nullptr);

    auto client = ChildProcess::Start(
        "qxqueue.exe add 6 - add 2 C:\\e2e\\Old.pda add 9 C:\\e2e\\QX-SE_SALES.pdb flush "
        "Deploying");
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForWindow({.caption = "Deploying",
                               .window_class = "#32770",
                               .process_id = client->process_id(),
                               .skip = {}},
                              kWaitMs))
        << client->Output();

    auto hotsync = ChildProcess::Start("C:\\Palm\\HOTSYNC.EXE /once");
    ASSERT_TRUE(hotsync);
    hotsync->Wait();  // dispatches the broadcasts to our listener while it runs
    EXPECT_EQ(client->Wait(), 0);
    EXPECT_NE(client->Output().find("flush result 1"), std::string::npos) << client->Output();
    PumpPending();
    EXPECT_EQ(g_heard, "1:0 3:1 3:0 3:1 2:0 ");

    const std::string log = ReadText("C:\\Palm\\PatDoe\\HotSync Log.txt");
    EXPECT_NE(log.find("Quorvix: DeletePilotApp not implemented."), std::string::npos) << log;
    EXPECT_NE(log.find("Quorvix SE"), std::string::npos) << log;
    EXPECT_NE(GetFileAttributesA("C:\\Palm\\PatDoe\\Install\\QX-SE_SALES.pdb"),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(lutrix.QX_CheckInstallPending(1001), 1);

    // The next HotSync installs it on the handheld and empties the install folder.
    RunToEnd("C:\\Palm\\HOTSYNC.EXE /once");
    EXPECT_EQ(lutrix.QX_CheckInstallPending(1001), 0);
    const std::string device = RunToEnd("qxhandheld.exe list C:\\Palm\\Cradle");
    EXPECT_NE(device.find("QX-SE_SALES"), std::string::npos) << device;

    DestroyWindow(listener);
    UnloadLutrix(lutrix);
}

}  // namespace
}  // namespace qx::test

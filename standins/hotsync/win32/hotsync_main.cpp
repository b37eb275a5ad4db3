// HOTSYNC.EXE: the HotSync Manager. Resident, it keeps a top-level window of class "KittyHawk"
// titled "HotSync Manager" (hidden: the real one lives in the notification area) and leaves on
// WM_CLOSE. Its HotSync button is pressed from the command line:
//
//   HOTSYNC.EXE            stay resident and wait for button presses
//   HOTSYNC.EXE /sync      press the button of the running instance and report how it went
//   HOTSYNC.EXE /once      run one synchronisation in this process, without staying resident
//
// Exit status: 0 on success, 1 when a synchronisation failed or no instance runs, 2 for a usage
// error.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "standins/hotsync/win32/synchronisation.h"

namespace {

constexpr char kWindowClass[] = "KittyHawk";
constexpr char kWindowTitle[] = "HotSync Manager";
// The button, as a message to the running instance. It answers with one of the results below.
constexpr char kButtonMessage[] = "Quorvix HotSync stand-in: HotSync button";
constexpr LRESULT kButtonSyncOk = 1;
constexpr LRESULT kButtonSyncFailed = 2;
constexpr LRESULT kButtonBusy = 3;
// How long /sync waits for the running instance's synchronisation to end.
constexpr UINT kButtonWaitMs = 10 * 60 * 1000;

UINT g_button_message = 0;
bool g_syncing = false;
int g_sync_count = 0;

// A program without a console: its lines go to the output it was given, or to the console of
// whoever started it.
void Say(const std::string& line) {
    static HANDLE out = [] {
        HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
        if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) &&
            AttachConsole(ATTACH_PARENT_PROCESS)) {
            handle = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr);
        }
        return handle;
    }();
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = "hotsync: " + line + "\r\n";
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool RunOnce() {
    const int number = ++g_sync_count;
    Say("synchronisation " + std::to_string(number) + " started");
    const bool ok = qx::hotsync::Synchronise(Say);
    Say("synchronisation " + std::to_string(number) + (ok ? " ended: OK" : " ended: failed"));
    return ok;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == g_button_message && g_button_message != 0) {
        // A conduit's own dialogs run message loops: a press during a synchronisation waits.
        if (g_syncing) {
            Say("button pressed during a synchronisation: ignored");
            return kButtonBusy;
        }
        g_syncing = true;
        const bool ok = RunOnce();
        g_syncing = false;
        return ok ? kButtonSyncOk : kButtonSyncFailed;
    }
    switch (message) {
        case WM_CLOSE:
            if (g_syncing) {
                return 0;  // leaving mid-synchronisation would leave the handheld unwritten
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

int Resident(HINSTANCE instance) {
    if (FindWindowA(kWindowClass, nullptr) != nullptr) {
        Say("HotSync Manager is already running");
        return 0;
    }
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = kWindowClass;
    if (RegisterClassA(&window_class) == 0) {
        Say("cannot register the window class");
        return 1;
    }
    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        Say("cannot create the window (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
    Say("HotSync Manager ready (folder " + qx::hotsync::HotSyncFolder() + ")");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Say("HotSync Manager closed");
    return 0;
}

int PressButton() {
    HWND window = FindWindowA(kWindowClass, nullptr);
    if (window == nullptr) {
        Say("no HotSync Manager is running");
        return 1;
    }
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, g_button_message, 0, 0, SMTO_NORMAL, kButtonWaitMs, &answer) ==
        0) {
        Say("the HotSync Manager did not answer");
        return 1;
    }
    switch (answer) {
        case kButtonSyncOk:
            Say("synchronisation OK");
            return 0;
        case kButtonSyncFailed:
            Say("synchronisation failed");
            return 1;
        case kButtonBusy:
            Say("a synchronisation is already running");
            return 1;
        default:
            Say("unexpected answer " + std::to_string(answer));
            return 1;
    }
}

bool IsSwitch(const char* argument, const char* name) {
    return (argument[0] == '/' || argument[0] == '-') && lstrcmpiA(argument + 1, name) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int /*show*/) {
    g_button_message = RegisterWindowMessageA(kButtonMessage);
    if (__argc <= 1) {
        return Resident(instance);
    }
    if (__argc == 2 && IsSwitch(__argv[1], "sync")) {
        return PressButton();
    }
    if (__argc == 2 && IsSwitch(__argv[1], "once")) {
        return RunOnce() ? 0 : 1;
    }
    Say("usage: HOTSYNC.EXE [/sync | /once]");
    return 2;
}

#pragma once
// Finds a top-level window of another program, records what it shows (caption, texts, buttons)
// and presses one of its buttons. Message boxes and dialogs are answered this way in tests and
// scripts, exactly as a person would answer them.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

struct ControlInfo {
    std::string kind;  // "static", "icon", "button", "edit" or the window class
    int id = 0;
    std::string text;  // for "icon": the standard icon's name when it can be told
};

struct WindowSnapshot {
    HWND window = nullptr;
    DWORD process_id = 0;
    std::string caption;
    std::string window_class;
    std::vector<ControlInfo> controls;

    // window "Lutrix" (#32770)
    //   icon
    //   static "Quorvix DLL Error 1010: ..."
    //   button 1 "OK"
    std::string Transcript() const;
};

struct WindowQuery {
    std::string caption;       // exact caption; empty matches any
    std::string window_class;  // exact class; empty matches any
    DWORD process_id = 0;      // 0: any process but this one
    std::vector<HWND> skip;    // windows already handled
};

// Waits up to timeout_ms for a visible matching window and records it.
std::optional<WindowSnapshot> WaitForWindow(const WindowQuery& query, DWORD timeout_ms);

WindowSnapshot Snapshot(HWND window);

// Presses the button whose label (without its '&' markers) is `label`, as a click would.
bool PressButton(const WindowSnapshot& snapshot, std::string_view label);

// Waits until the window has gone.
bool WaitUntilClosed(HWND window, DWORD timeout_ms);

}  // namespace qx

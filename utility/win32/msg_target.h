#pragma once
// MsgTarget: a hidden top-level window that passes every progress notification on to another
// window. The conduit broadcasts to top-level windows only; a MsgTarget lets a child window, or
// any other, hear it too.

#include <windows.h>

namespace qx {

class MsgTarget {
  public:
    explicit MsgTarget(HWND receiver);
    ~MsgTarget();
    MsgTarget(const MsgTarget&) = delete;
    MsgTarget& operator=(const MsgTarget&) = delete;

    HWND window() const { return window_; }  // null when the window could not be made

  private:
    static bool RegisterTargetClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND receiver_;
    HWND window_ = nullptr;
};

inline constexpr char kMsgTargetTitle[] = "Quorvix Msg Target";

}  // namespace qx

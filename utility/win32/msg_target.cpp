#include "utility/win32/msg_target.h"

#include "utility/win32/lutrix_api.h"
#include "utility/win32/process_state.h"
#include "utility/win32/shared_section.h"

namespace qx {
namespace {

constexpr char kClassName[] = "QuorvixMsgTarget";

}  // namespace

bool MsgTarget::RegisterTargetClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(g_process.module, kClassName, &wc)) {
        return true;
    }
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &MsgTarget::WindowProc;
    wc.hInstance = g_process.module;
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

MsgTarget::MsgTarget(HWND receiver) : receiver_(receiver) {
    if (!RegisterTargetClass()) {
        return;
    }
    window_ = CreateWindowExA(0, kClassName, kMsgTargetTitle, WS_OVERLAPPED, 4096, 4096, 10, 10,
                              nullptr, nullptr, g_process.module, nullptr);
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

MsgTarget::~MsgTarget() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK MsgTarget::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const UINT progress = g_shared.state.registered_message;
    if (progress != 0 && message == progress) {
        auto* self = reinterpret_cast<MsgTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && self->receiver_ != nullptr) {
            // Posted, so the conduit's broadcast does not wait for the receiver.
            PostMessageA(self->receiver_, message, wparam, lparam);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace qx

void* QX_STDCALL QX_CreateMsgTarget(HWND receiver) {
    return new (std::nothrow) qx::MsgTarget(receiver);
}

void QX_STDCALL QX_DeleteMsgTarget(void* target) {
    delete static_cast<qx::MsgTarget*>(target);
}

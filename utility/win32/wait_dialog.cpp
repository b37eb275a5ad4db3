// The wait dialog: a deploying program shows it after queuing its commands and learns from the
// conduit's notifications whether every command succeeded.

#include <windows.h>

#include <string>

#include "utility/core/command_queue.h"
#include "utility/win32/lock_host_win32.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/lutrix_resources.h"
#include "utility/win32/msg_target.h"
#include "utility/win32/process_state.h"
#include "utility/win32/shared_section.h"

namespace qx {
namespace {

enum ProgressCode : WPARAM { kSyncStarted = 1, kSyncFinished = 2, kCommandDone = 3 };

struct HotSyncWaitDialog {
    std::string caption = "HotSync with Handheld";
    uint32_t success = 1;
    uint32_t creator_filter = 0;
    MsgTarget* target = nullptr;  // the dialog's own, so it also hears what is forwarded
};

// Every notification arrives twice (the broadcast, and the copy its MsgTarget posts); handling one
// again changes nothing.
void OnProgress(HWND dialog, HotSyncWaitDialog& state, WPARAM code, LPARAM value) {
    if (state.creator_filter != 0 && state.creator_filter != g_shared.state.creator_id) {
        return;  // another conduit registration's synchronisation
    }
    if (code == kSyncFinished) {
        EndDialog(dialog, IDOK);
    } else if (code == kCommandDone) {
        state.success &= static_cast<uint32_t>(value);
    }
}

INT_PTR CALLBACK WaitDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<HotSyncWaitDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    const UINT progress = g_shared.state.registered_message;
    if (progress != 0 && message == progress && state != nullptr) {
        OnProgress(dialog, *state, wparam, lparam);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<HotSyncWaitDialog*>(lparam);
            SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            SetWindowTextA(dialog, state->caption.c_str());
            state->target = new (std::nothrow) MsgTarget(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL) {  // "&Abort", Escape and the close box
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            if (state != nullptr) {
                delete state->target;
                state->target = nullptr;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
}  // namespace qx

int32_t QX_STDCALL QX_FlushCommandQueueEx(const char* caption, uint32_t creator_filter) {
    qx::HotSyncWaitDialog state;
    if (caption != nullptr) {
        state.caption = caption;
    }
    state.creator_filter = creator_filter;
    const INT_PTR ended =
        DialogBoxParamA(qx::g_process.module, MAKEINTRESOURCEA(IDD_HOTSYNC_WAIT), nullptr,
                        qx::WaitDialogProc, reinterpret_cast<LPARAM>(&state));
    if (ended == IDOK) {
        return state.success != 0 ? 0 : 1;
    }
    // Aborted, or the dialog could not be shown: the conduit must find nothing more to do.
    const qx::SharedQueueLock lock;
    qx::EmptyQueue(qx::g_shared.state);
    return 2;
}

int32_t QX_STDCALL QX_FlushCommandQueue(const char* caption) {
    return QX_FlushCommandQueueEx(caption, 0);
}

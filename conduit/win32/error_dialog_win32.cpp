#include "conduit/win32/error_dialog_win32.h"

#include <string>

#include "conduit/spine/conduit_messages.h"
#include "conduit/win32/corvane_resources.h"

namespace qx {
namespace {

constexpr UINT_PTR kCloseTimer = 1;

INT_PTR CALLBACK ErrorDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_ERROR_TEXT, reinterpret_cast<const char*>(lparam));
            SendDlgItemMessageA(dialog, IDC_ERROR_ICON, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
            SetTimer(dialog, kCloseTimer, kErrorDialogTimeoutMs, nullptr);
            return TRUE;
        case WM_TIMER:
            if (wparam != kCloseTimer) {
                return FALSE;
            }
            [[fallthrough]];  // nobody answered: close as if OK had been pressed
        case WM_COMMAND:
            if (message == WM_TIMER || LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                KillTimer(dialog, kCloseTimer);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void ErrorDialogReporter::ReportError(std::string_view message,
                                      std::optional<std::string_view> detail) {
    const std::string text = FormatConduitError(message, detail);
    // A dialog that cannot be made is skipped: the caller carries on either way.
    DialogBoxParamA(module_, MAKEINTRESOURCEA(IDD_CONDUIT_ERROR), nullptr, ErrorDialogProc,
                    reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace qx

// The user maintenance dialog. In this version it lists one placeholder user and changes
// nothing; its buttons stay disabled.

#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include "utility/win32/lutrix_api.h"
#include "utility/win32/lutrix_resources.h"
#include "utility/win32/process_state.h"

namespace qx {
namespace {

void AddColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void FillPlaceholderList(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const int fifth = (client.right - client.left) / 5;
    AddColumn(list, 0, "Slot", fifth);
    AddColumn(list, 1, "User Name", 4 * fifth);

    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("1");
    const int row =
        static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    item.iItem = row;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>("Beta User");
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

INT_PTR CALLBACK UserMaintenanceProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            FillPlaceholderList(GetDlgItem(dialog, IDC_USER_LIST));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK) {
                EndDialog(dialog, LOWORD(wparam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
}  // namespace qx

int32_t QX_STDCALL QX_UserMaintenance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(qx::g_process.module, MAKEINTRESOURCEA(IDD_USER_MAINTENANCE), nullptr,
                    qx::UserMaintenanceProc, 0);
    return 1;
}

#include "conduit/win32/message_box_win32.h"

#include <windows.h>

#include <string>

namespace qx {

void WindowsMessageBox::ShowMessage(std::string_view caption, std::string_view text) {
    const std::string c(caption), t(text);
    MessageBoxA(GetFocus(), t.c_str(), c.c_str(), MB_OK);
}

}  // namespace qx

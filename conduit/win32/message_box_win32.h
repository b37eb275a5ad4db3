#pragma once

#include "conduit/sync/message_box_host.h"

namespace qx {

// A real message box with an OK button, owned by the window that has the focus.
class WindowsMessageBox final : public MessageBoxHost {
  public:
    void ShowMessage(std::string_view caption, std::string_view text) override;
};

}  // namespace qx

#pragma once
// A message box with an OK button, owned by the window that has the focus. The Windows part shows
// a real one; tests record what would have been shown.

#include <string_view>

namespace qx {

class MessageBoxHost {
  public:
    virtual ~MessageBoxHost() = default;
    virtual void ShowMessage(std::string_view caption, std::string_view text) = 0;
};

}  // namespace qx

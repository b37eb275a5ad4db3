#pragma once

#include <windows.h>

#include "conduit/sync/error_reporter.h"

namespace qx {

// The conduit's error dialog: one message at a time, closing itself after ten seconds so that an
// unattended synchronisation is never held up for long.
class ErrorDialogReporter final : public ErrorReporter {
  public:
    explicit ErrorDialogReporter(HMODULE module) : module_(module) {}
    void ReportError(std::string_view message, std::optional<std::string_view> detail) override;

  private:
    HMODULE module_;
};

inline constexpr UINT kErrorDialogTimeoutMs = 10000;

}  // namespace qx

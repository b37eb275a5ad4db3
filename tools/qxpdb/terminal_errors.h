#pragma once
// The conduit's numbered errors, which a HotSync shows in its error dialog, written to the
// terminal when qxpdb runs the conduit's code in its own process.

#include <cstdio>

#include "conduit/spine/conduit_messages.h"
#include "conduit/sync/error_reporter.h"

namespace qx {

class TerminalErrors final : public ErrorReporter {
  public:
    void ReportError(std::string_view message, std::optional<std::string_view> detail) override {
        std::fprintf(stderr, "%s\n", FormatConduitError(message, detail).c_str());
    }
};

}  // namespace qx

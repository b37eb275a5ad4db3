#pragma once
// The conduit's error dialog, seen from the code that detects errors. A message is a numbered
// literal ("1030Could not create file on handheld - ") or one of the few uncoded ones; the detail
// (a file or database name) is appended when it is shown. Reporting never fails from the caller's
// point of view: the caller always carries on and decides what the failure means.

#include <optional>
#include <string_view>

namespace qx {

class ErrorReporter {
  public:
    virtual ~ErrorReporter() = default;
    virtual void ReportError(std::string_view message, std::optional<std::string_view> detail) = 0;
};

}  // namespace qx

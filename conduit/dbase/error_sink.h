#pragma once
// Where the dBase code reports errors. The conduit implements this with its error dialog; tests
// record the calls. The message is one of the literals in dbase_messages.h (a four-digit code
// followed directly by the text, or an uncoded text), the detail is appended when shown.

#include <string_view>

namespace qx::dbase {

class ErrorSink {
  public:
    virtual ~ErrorSink() = default;
    virtual void ReportError(std::string_view message, std::string_view detail) = 0;
};

}  // namespace qx::dbase

#pragma once
// The dBase code reports through its own ErrorSink; the table commands hand it the conduit's
// error reporter through this adapter, so every message reaches the same dialog.

#include "conduit/dbase/error_sink.h"
#include "conduit/sync/error_reporter.h"

namespace qx::tables {

class ReporterSink final : public dbase::ErrorSink {
  public:
    explicit ReporterSink(ErrorReporter& errors) : errors_(errors) {}
    void ReportError(std::string_view message, std::string_view detail) override {
        errors_.ReportError(message, detail);
    }

  private:
    ErrorReporter& errors_;
};

}  // namespace qx::tables

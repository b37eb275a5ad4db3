#pragma once
// Test doubles for the conduit's seams: they record what would have been shown or logged.

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "conduit/sync/error_reporter.h"
#include "conduit/sync/log_channel.h"
#include "conduit/sync/message_box_host.h"

namespace qx::testing {

struct RecordingMessageBoxes final : MessageBoxHost {
    struct Shown {
        std::string caption, text;
    };
    std::vector<Shown> shown;
    void ShowMessage(std::string_view caption, std::string_view text) override {
        shown.push_back({std::string(caption), std::string(text)});
    }
};

struct RecordingLog final : LogChannel {
    struct Line {
        std::string text;
        int32_t activity;
    };
    std::vector<Line> lines;
    void Add(std::string_view text, int32_t activity, int32_t) override {
        lines.push_back({std::string(text), activity});
    }
};

struct RecordingErrors final : ErrorReporter {
    struct Report {
        std::string message;
        std::optional<std::string> detail;
    };
    std::vector<Report> reports;
    void ReportError(std::string_view message, std::optional<std::string_view> detail) override {
        reports.push_back(
            {std::string(message),
             detail ? std::optional<std::string>(std::string(*detail)) : std::nullopt});
    }
};

// A fresh, empty folder per test, removed afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("qx-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace qx::testing

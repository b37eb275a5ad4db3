#pragma once
// The desktop files a command reads or rewrites (.PDA, .DBF, .DBT), opened and closed with the
// conduit's numbered errors. Every mode leaves the file open to other programs for reading and
// writing, as the C runtime's default sharing does.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "conduit/sync/error_reporter.h"

namespace qx {

inline constexpr std::string_view kMsgErrorClosingFile = "1300Error occurred when closing file ";

class DesktopFile {
  public:
    DesktopFile() = default;
    DesktopFile(const DesktopFile&) = delete;
    DesktopFile& operator=(const DesktopFile&) = delete;
    ~DesktopFile();  // closes a file still open, without reporting

    bool is_open() const { return file_ != nullptr; }
    std::FILE* get() const { return file_; }

  private:
    friend int OpenDesktopFile(DesktopFile&, const std::string&, std::optional<std::string_view>,
                               bool, bool, bool, ErrorReporter&);
    friend int CloseDesktopFile(DesktopFile&, std::string_view, ErrorReporter&);
    std::FILE* file_ = nullptr;
};

// `create` creates the file or truncates an existing one; `read_write` opens for reading and
// writing, otherwise for reading only. On failure reports `message` (if given) with the path.
int OpenDesktopFile(DesktopFile& file, const std::string& path,
                    std::optional<std::string_view> message, bool binary, bool create,
                    bool read_write, ErrorReporter& errors);

// Closes the file; a failed close (data not written) reports 1300 with `name` and answers 0.
int CloseDesktopFile(DesktopFile& file, std::string_view name, ErrorReporter& errors);

}  // namespace qx

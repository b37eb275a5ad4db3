#include "conduit/handheld_db/desktop_file.h"

namespace qx {

DesktopFile::~DesktopFile() {
    if (file_) {
        std::fclose(file_);
    }
}

int OpenDesktopFile(DesktopFile& file, const std::string& path,
                    std::optional<std::string_view> message, bool binary, bool create,
                    bool read_write, ErrorReporter& errors) {
    if (file.file_) {
        std::fclose(file.file_);  // a file object holds one file at a time
        file.file_ = nullptr;
    }
    // Creating truncates, so a created file is always open for writing as well.
    std::string mode = create ? "w+" : (read_write ? "r+" : "r");
    if (binary) {
        mode += 'b';
    }
    file.file_ = std::fopen(path.c_str(), mode.c_str());
    if (!file.file_) {
        if (message) {
            errors.ReportError(*message, path);
        }
        return 0;
    }
    return 1;
}

int CloseDesktopFile(DesktopFile& file, std::string_view name, ErrorReporter& errors) {
    if (!file.file_) {
        return 1;
    }
    const int result = std::fclose(file.file_);
    file.file_ = nullptr;
    if (result != 0) {
        errors.ReportError(kMsgErrorClosingFile, name);
        return 0;
    }
    return 1;
}

}  // namespace qx

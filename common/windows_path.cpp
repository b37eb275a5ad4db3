#include "common/windows_path.h"

namespace qx {

SplitPath SplitWindowsPath(std::string_view path) {
    SplitPath parts;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        parts.directory = std::string(path.substr(0, slash + 1));
        path.remove_prefix(slash + 1);
    }
    const std::size_t dot = path.find_last_of('.');
    parts.name = std::string(path.substr(0, dot));
    if (dot != std::string_view::npos) {
        parts.extension = std::string(path.substr(dot));
    }
    return parts;
}

}  // namespace qx

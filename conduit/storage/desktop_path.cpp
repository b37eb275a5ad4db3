#include "conduit/storage/desktop_path.h"

namespace qx {

DesktopPathParts SplitDesktopPath(std::string_view path) {
    DesktopPathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        parts.directory = std::string(path.substr(0, slash + 1));
        path.remove_prefix(slash + 1);
    }
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string_view::npos) {
        parts.extension = std::string(path.substr(dot));
        path = path.substr(0, dot);
    }
    parts.base = std::string(path);
    return parts;
}

}  // namespace qx

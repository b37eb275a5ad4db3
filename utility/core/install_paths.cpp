#include "utility/core/install_paths.h"

#include "utility/core/path_join.h"

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

std::string InstallDirectory(std::string_view hotsync_dir, std::string_view user_directory) {
    return AppendPathPart(AppendPathPart(hotsync_dir, user_directory), "Install");
}

std::string InstallTarget(std::string_view install_dir, std::string_view source_path) {
    const SplitPath parts = SplitWindowsPath(source_path);
    return AppendPathPart(install_dir, parts.name) + parts.extension;
}

std::string InstallFlagKey(std::string_view palm_user_key) {
    return AppendPathPart(palm_user_key, "HotSync Manager");
}

std::string InstallFlagName(uint32_t hotsync_id) {
    return "Install" + std::to_string(static_cast<int32_t>(hotsync_id));
}

std::string InstallFailureDetail(std::string_view source, std::string_view target) {
    std::string detail = "\n\nSource = \"";
    detail.append(source).append("\"\nTarget = \"").append(target).append("\"");
    return detail;
}

}  // namespace qx

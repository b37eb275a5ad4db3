#include "utility/core/install_paths.h"

#include "utility/core/path_join.h"

namespace qx {

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

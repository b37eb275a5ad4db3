#pragma once
// Where a file handed to HotSync's install mechanism goes, and the flag that tells HotSync to look
// there. HotSync installs whatever lies in <HotSync folder>\<user folder>\Install at that user's
// next synchronisation when the value "Install<ID>" under its settings key is 1.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/windows_path.h"

namespace qx {

std::string InstallDirectory(std::string_view hotsync_dir, std::string_view user_directory);
std::string InstallTarget(std::string_view install_dir, std::string_view source_path);
std::string InstallFlagKey(std::string_view palm_user_key);  // under HKEY_CURRENT_USER
std::string InstallFlagName(uint32_t hotsync_id);            // "Install%d": signed
std::string InstallFailureDetail(std::string_view source, std::string_view target);

}  // namespace qx

#pragma once
// Installing what waits in a user's Install folder: every .prc and .pdb file there is stored on
// the handheld (replacing a database of the same name) and then removed from the folder. A file
// that cannot be read or stored stays, so the next synchronisation tries it again; files of other
// kinds are not ours to install and stay too.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "conduit/storage/file_system.h"
#include "standins/handheld/handheld_device.h"

namespace qx {

struct InstallOutcome {
    std::vector<std::string> installed;  // "<file> as \"<database>\""
    std::vector<std::string> failed;     // "<file>: <reason>"
    std::vector<std::string> ignored;    // names of files that are not .prc or .pdb
    bool AllInstalled() const { return failed.empty(); }
};

// True for names ending in ".prc" or ".pdb" in any case.
bool IsInstallableName(const std::string& name);

// Files are taken in name order. A missing folder installs nothing.
InstallOutcome InstallWaitingFiles(FileSystem& files, HandheldDevice& device,
                                   const std::filesystem::path& install_folder);

// The registry value that marks files waiting for a user: "Install" and the HotSync ID as a
// signed decimal number.
std::string InstallFlagName(uint32_t user_id);

}  // namespace qx

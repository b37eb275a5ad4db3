#include "standins/hotsync/install_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "conduit/pdb/palm_database_reader.h"

namespace qx {

bool IsInstallableName(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".prc" || tail == ".pdb";
}

InstallOutcome InstallWaitingFiles(FileSystem& files, HandheldDevice& device,
                                   const std::filesystem::path& install_folder) {
    InstallOutcome outcome;
    std::vector<std::string> names;
    std::string error;
    if (!files.IsDirectory(install_folder) || !files.ListFiles(install_folder, names, error)) {
        return outcome;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (!IsInstallableName(name)) {
            outcome.ignored.push_back(name);
            continue;
        }
        const std::filesystem::path path = install_folder / name;
        std::vector<uint8_t> bytes;
        if (!files.ReadFile(path, bytes, error)) {
            outcome.failed.push_back(name + ": " + error);
            continue;
        }
        const PalmDbReadResult read = ReadPalmDatabase(bytes);
        if (!read.ok) {
            outcome.failed.push_back(name + ": not a Palm database: " + read.error);
            continue;
        }
        const SyncResult stored = device.ImportDatabase(read.db);
        if (stored != kSyncOk) {
            char code[48];
            std::snprintf(code, sizeof code, "the handheld refused it (error 0x%X)",
                          static_cast<unsigned>(stored));
            outcome.failed.push_back(name + ": " + code);
            continue;
        }
        if (!files.RemoveFile(path, error)) {
            // On the handheld, but still waiting: installing it again next time does no harm.
            outcome.failed.push_back(name + ": installed but not removed: " + error);
            continue;
        }
        outcome.installed.push_back(name + " as \"" + read.db.header.name + "\"");
    }
    return outcome;
}

std::string InstallFlagName(uint32_t user_id) {
    return "Install" + std::to_string(static_cast<int32_t>(user_id));
}

}  // namespace qx

#pragma once
// Where Palm Desktop, its HotSync Manager and this product are installed, found once per process
// when the library is loaded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "utility/core/registry_view.h"

namespace qx {

struct DesktopPaths {
    std::string product_dir;
    std::string palm_user_key;     // under HKEY_CURRENT_USER
    std::string palm_machine_key;  // under HKEY_LOCAL_MACHINE, same vendor generation
    std::string hotsync_dir;       // as stored: no backslash added or removed
    uint32_t hotsync_version = 0;  // major << 16 | minor
};

// Palm Desktop has kept its keys under two vendor names; the user key decides which one is used.
struct PalmKeyPair {
    const char* user_key;
    const char* machine_key;
};
inline constexpr PalmKeyPair kPalmKeyGenerations[] = {
    {"Software\\U.S. Robotics\\Pilot Desktop", "SOFTWARE\\U.S. Robotics\\PalmPilot Desktop"},
    {"Software\\Palm Computing\\Pilot Desktop", "SOFTWARE\\Palm Computing\\Pilot Desktop"},
};

inline constexpr const char* kProductVersionKey =
    "SOFTWARE\\Tarvel\\Quorvix Standard\\CurrentVersion";

DesktopPaths LookUpDesktopPaths(const RegistryView& registry);

// A version subkey name as "%d.%d" reads it (leading white space and trailing text allowed),
// packed as (major & 0xFFFF) << 16 | (minor & 0xFFFF); nothing when it does not read two numbers.
std::optional<uint32_t> ParseVersionName(std::string_view name);

}  // namespace qx

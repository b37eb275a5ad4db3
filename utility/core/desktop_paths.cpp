#include "utility/core/desktop_paths.h"

#include <cctype>

namespace qx {
namespace {

bool IsScanfSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// One "%d" conversion: white space, an optional sign, at least one digit. Digits past 32 bits wrap,
// which keeps absurd names deterministic instead of undefined.
std::optional<int32_t> ScanInt(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsScanfSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t first_digit = pos;
    uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
        ++pos;
    }
    if (pos == first_digit) {
        return std::nullopt;
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

std::string ProductDirectory(const RegistryView& registry) {
    const auto keyname = registry.ReadValue(Hive::kLocalMachine, kProductVersionKey, "Keyname");
    if (!keyname) {
        return {};
    }
    const std::string version_key = "SOFTWARE\\Tarvel\\Quorvix Standard\\" + *keyname;
    return registry.ReadValue(Hive::kLocalMachine, version_key, "Path").value_or("");
}

uint32_t HighestVersion(const RegistryView& registry, std::string_view machine_key) {
    uint32_t best = 0;
    for (uint32_t index = 0;; ++index) {
        const auto name = registry.SubkeyName(Hive::kLocalMachine, machine_key, index);
        if (!name) {
            return best;
        }
        const auto candidate = ParseVersionName(*name);
        if (candidate && *candidate > best) {
            best = *candidate;
        }
    }
}

}  // namespace

std::optional<uint32_t> ParseVersionName(std::string_view name) {
    std::size_t pos = 0;
    const auto major = ScanInt(name, pos);
    if (!major || pos >= name.size() || name[pos] != '.') {
        return std::nullopt;
    }
    ++pos;
    const auto minor = ScanInt(name, pos);
    if (!minor) {
        return std::nullopt;
    }
    return (static_cast<uint32_t>(*major) & 0xFFFFu) << 16 |
           (static_cast<uint32_t>(*minor) & 0xFFFFu);
}

DesktopPaths LookUpDesktopPaths(const RegistryView& registry) {
    DesktopPaths paths;
    paths.product_dir = ProductDirectory(registry);

    for (const PalmKeyPair& generation : kPalmKeyGenerations) {
        if (registry.KeyExists(Hive::kCurrentUser, generation.user_key)) {
            paths.palm_user_key = generation.user_key;
            paths.palm_machine_key = generation.machine_key;
            break;
        }
    }
    if (paths.palm_user_key.empty()) {
        return paths;
    }
    paths.hotsync_dir =
        registry.ReadValue(Hive::kCurrentUser, paths.palm_user_key + "\\Core", "Path").value_or("");
    paths.hotsync_version = HighestVersion(registry, paths.palm_machine_key);
    return paths;
}

}  // namespace qx

#pragma once
// Which conduits a synchronisation calls. Conduits register under the Palm Desktop key of the
// current user, one subkey each whose name begins with "Application": its "Conduit" value is the
// library's path and its "Creator" value the creator ID the conduit serves. The registry reading
// is the Windows side's; choosing from what was read is here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx {

// One subkey of the Palm key as read: its name and the raw data of the two values, when present.
struct RegistrySubkey {
    std::string name;
    std::optional<std::string> conduit;
    std::optional<std::vector<uint8_t>> creator;
};

struct ConduitRegistration {
    std::string key_name;
    std::string conduit_path;
    uint32_t creator = 0;
};

struct ConduitSelection {
    std::vector<ConduitRegistration> conduits;  // in the order the subkeys were given
    std::vector<std::string> skipped;           // "<key>: <reason>" for entries not taken
};

// Takes the subkeys whose names begin with "Application" (in any case) and that carry a non-empty
// "Conduit" and a "Creator" of at least four bytes, read as a little-endian number whatever the
// value's type. Other subkeys are not conduit entries and are passed over silently.
ConduitSelection SelectConduits(const std::vector<RegistrySubkey>& subkeys);

}  // namespace qx

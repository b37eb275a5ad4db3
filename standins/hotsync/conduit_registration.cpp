#include "standins/hotsync/conduit_registration.h"

#include <cctype>
#include <span>

#include "common/byte_io.h"

namespace qx {

namespace {

constexpr std::string_view kEntryPrefix = "Application";

bool IsEntryName(const std::string& name) {
    if (name.size() < kEntryPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kEntryPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(kEntryPrefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

ConduitSelection SelectConduits(const std::vector<RegistrySubkey>& subkeys) {
    ConduitSelection selection;
    for (const RegistrySubkey& key : subkeys) {
        if (!IsEntryName(key.name)) {
            continue;
        }
        if (!key.conduit || key.conduit->empty()) {
            selection.skipped.push_back(key.name + ": no \"Conduit\" path");
            continue;
        }
        if (!key.creator || key.creator->size() < 4) {
            selection.skipped.push_back(key.name + ": no \"Creator\" number");
            continue;
        }
        const std::span<const uint8_t, 4> first(key.creator->data(), 4);
        selection.conduits.push_back({key.name, *key.conduit, LoadU32(first, ByteOrder::kLittle)});
    }
    return selection;
}

}  // namespace qx

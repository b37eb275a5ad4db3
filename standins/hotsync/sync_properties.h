#pragma once
// The sync properties record the HotSync Manager hands to each conduit's OpenConduit: the
// synchronising user's name and the creator ID the conduit was registered for, at the places the
// conduit reads them; every other byte is zero.

#include <array>
#include <cstdint>
#include <string_view>

#include "conduit/sync/sync_manager_abi.h"

namespace qx {

using SyncProperties = std::array<uint8_t, abi::kSyncPropertiesSize>;

// The name is cut to what its field holds with the terminating zero (127 characters).
SyncProperties MakeSyncProperties(std::string_view user_name, uint32_t creator);

}  // namespace qx

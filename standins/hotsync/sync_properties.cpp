#include "standins/hotsync/sync_properties.h"

#include <algorithm>
#include <span>

#include "common/byte_io.h"

namespace qx {

SyncProperties MakeSyncProperties(std::string_view user_name, uint32_t creator) {
    SyncProperties record = {};
    const std::size_t length = std::min(user_name.size(), abi::kSyncPropertiesUserNameSize - 1);
    std::copy_n(user_name.begin(), length, record.begin() + abi::kSyncPropertiesUserName);
    StoreU32(std::span<uint8_t, 4>(record.data() + abi::kSyncPropertiesCreator, 4), creator,
             ByteOrder::kLittle);
    return record;
}

}  // namespace qx

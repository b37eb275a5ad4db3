#include "standins/hotsync/sync_properties.h"

#include <gtest/gtest.h>

#include <string>

#include "common/creator_id.h"

namespace qx {
namespace {

TEST(SyncProperties, UserNameAndCreatorWhereTheConduitReadsThem) {
    const SyncProperties record = MakeSyncProperties("Pat Doe", FourCc("QVXF"));
    for (std::size_t i = 0; i < record.size(); ++i) {
        uint8_t expected = 0;
        if (i >= 516 && i < 516 + 7) {
            expected = static_cast<uint8_t>("Pat Doe"[i - 516]);
        } else if (i >= 908 && i < 912) {
            expected = static_cast<uint8_t>("FXVQ"[i - 908]);  // little-endian 'QVXF'
        }
        ASSERT_EQ(record[i], expected) << "byte " << i;
    }
}

TEST(SyncProperties, LongNameIsCutAndStaysTerminated) {
    const std::string name(300, 'n');
    const SyncProperties record = MakeSyncProperties(name, 0x01020304);
    EXPECT_EQ(record[516 + 126], 'n');
    EXPECT_EQ(record[516 + 127], 0);  // the field's last byte ends the name
    EXPECT_EQ(record[516 + 128], 0);
    EXPECT_EQ(record[908], 0x04);
    EXPECT_EQ(record[911], 0x01);
}

}  // namespace
}  // namespace qx

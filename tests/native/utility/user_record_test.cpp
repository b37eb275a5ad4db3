#include "utility/core/user_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qx {
namespace {

TEST(UserRecord, ManagerRecordRoundTripsAtItsOffsets) {
    const UserManagerRecord bytes = MakeUserManagerRecord({0x01020304, "Pat Doe", "DoeP", 0xBEEF});
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "Pat Doe");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[36])), "DoeP");
    EXPECT_EQ(bytes[328], 0xEF);
    EXPECT_EQ(bytes[329], 0xBE);
    const UserManagerFields back = ReadUserManagerRecord(bytes);
    EXPECT_EQ(back.user_id, 0x01020304u);
    EXPECT_EQ(back.user_name, "Pat Doe");
    EXPECT_EQ(back.directory_name, "DoeP");
    EXPECT_EQ(back.extra, 0xBEEF);
}

TEST(UserRecord, LongTextIsCutAndUnterminatedFieldsStopAtTheirEnd) {
    const UserManagerRecord cut =
        MakeUserManagerRecord({1, std::string(40, 'n'), std::string(300, 'd'), 0});
    EXPECT_EQ(ReadUserManagerRecord(cut).user_name, std::string(31, 'n'));
    EXPECT_EQ(ReadUserManagerRecord(cut).directory_name, std::string(259, 'd'));

    UserManagerRecord garbage;
    garbage.fill('x');
    const UserManagerFields fields = ReadUserManagerRecord(garbage);
    EXPECT_EQ(fields.user_name.size(), 32u);
    EXPECT_EQ(fields.directory_name.size(), 292u);  // stops before the extra value

    UserRecord out;
    std::memset(&out, 0x55, sizeof out);
    FillUserRecord(fields, out);
    EXPECT_EQ(std::string(out.user_name), std::string(31, 'x'));
    EXPECT_EQ(std::string(out.directory_name), std::string(259, 'x'));
    EXPECT_EQ(out.extra, 0x7878);
}

}  // namespace
}  // namespace qx

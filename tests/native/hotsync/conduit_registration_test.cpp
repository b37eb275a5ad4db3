#include "standins/hotsync/conduit_registration.h"

#include <gtest/gtest.h>

#include "common/creator_id.h"

namespace qx {
namespace {

// 'QVXF' as a REG_DWORD stores its bytes little-endian.
const std::vector<uint8_t> kQvxf = {'F', 'X', 'V', 'Q'};

TEST(ConduitRegistration, TakesApplicationEntriesWithPathAndCreator) {
    const std::vector<RegistrySubkey> subkeys = {
        {"Application0", "C:\\Palm\\Date.dll", std::vector<uint8_t>{'e', 't', 'a', 'd'}},
        {"Core", "C:\\Palm\\x.dll", kQvxf},                   // not a conduit entry
        {"HotSync Manager", std::nullopt, std::nullopt},      // not a conduit entry
        {"applicationquorvix", "C:\\Q\\Corvane.dll", kQvxf},  // any case
        {"ApplicationQuorvixRTK0", "", kQvxf},                // empty path
        {"ApplicationQuorvixRTK1", std::nullopt, kQvxf},      // no path
        {"ApplicationQuorvixRTK2", "C:\\Q\\Corvane.dll", std::nullopt},
        {"ApplicationQuorvixRTK3", "C:\\Q\\Corvane.dll", std::vector<uint8_t>{1, 2, 3}},
        // A longer value counts by its first four bytes, whatever its type.
        {"ApplicationQuorvix_OEM_ABCD", "C:\\Q\\Corvane.dll",
         std::vector<uint8_t>{'D', 'C', 'B', 'A', 0, 0}},
        {"Applicatio", "C:\\Q\\Corvane.dll", kQvxf},  // too short to be an entry
    };
    const ConduitSelection selection = SelectConduits(subkeys);
    ASSERT_EQ(selection.conduits.size(), 3u);
    EXPECT_EQ(selection.conduits[0].key_name, "Application0");
    EXPECT_EQ(selection.conduits[0].conduit_path, "C:\\Palm\\Date.dll");
    EXPECT_EQ(selection.conduits[0].creator, FourCc("date"));
    EXPECT_EQ(selection.conduits[1].key_name, "applicationquorvix");
    EXPECT_EQ(selection.conduits[1].creator, FourCc("QVXF"));
    EXPECT_EQ(selection.conduits[2].key_name, "ApplicationQuorvix_OEM_ABCD");
    EXPECT_EQ(selection.conduits[2].creator, FourCc("ABCD"));
    EXPECT_EQ(selection.skipped,
              (std::vector<std::string>{"ApplicationQuorvixRTK0: no \"Conduit\" path",
                                        "ApplicationQuorvixRTK1: no \"Conduit\" path",
                                        "ApplicationQuorvixRTK2: no \"Creator\" number",
                                        "ApplicationQuorvixRTK3: no \"Creator\" number"}));
}

TEST(ConduitRegistration, NothingRegisteredCallsNothing) {
    const ConduitSelection selection = SelectConduits({});
    EXPECT_TRUE(selection.conduits.empty());
    EXPECT_TRUE(selection.skipped.empty());
}

}  // namespace
}  // namespace qx

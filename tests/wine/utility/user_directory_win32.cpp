// The HotSync user list through Lutrix's exports, against the USEREDIT stand-in of the test
// run's desktop (one user: Pat Doe, 1001, folder PatDoe).

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"
#include "utility/win32/lutrix_binding.h"

namespace qx::test {
namespace {

std::vector<std::string> Users(const LutrixBinding& lutrix) {
    std::vector<std::string> names;
    UserRecord user{};
    int32_t error = 0;
    for (int32_t found = lutrix.QX_FindFirstUser(&user, &error); found != 0;
         found = lutrix.QX_FindNextUser(&user, &error)) {
        names.push_back(std::to_string(user.user_id) + " " + user.user_name + " " +
                        user.directory_name);
    }
    return names;
}

class UserDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadLutrix("Lutrix.dll", lutrix_, error)) << error;
    }
    void TearDown() override {
        UnloadLutrix(lutrix_);
        // Put the desktop's list back as it was made.
        RunToEnd("qxusers.exe C:\\Palm remove 1002");
    }

    LutrixBinding lutrix_;
};

TEST_F(UserDirectory, AbandonBeforeOpeningSaysNotOpen) {
    int32_t error = 0;
    EXPECT_EQ(lutrix_.QX_AbandonUserChanges(&error), 0);
    EXPECT_EQ(error, 4001);
}

TEST_F(UserDirectory, EnumeratesFindsAndAddsWithChangesHeldUntilCommitted) {
    EXPECT_EQ(Users(lutrix_), std::vector<std::string>{"1001 Pat Doe PatDoe"});

    UserRecord found{};
    int32_t error = 0;
    EXPECT_NE(lutrix_.QX_FindUserByID(1001, &found, &error), 0);
    EXPECT_STREQ(found.directory_name, "PatDoe");
    EXPECT_EQ(lutrix_.QX_FindUserByID(7, &found, &error), 0);
    EXPECT_NE(error, 0);

    UserRecord added{};
    const std::string forty(40, 'x');
    std::memcpy(added.user_name, forty.data(), sizeof added.user_name);  // no terminator at all
    ASSERT_NE(lutrix_.QX_AddUser(&added, &error), 0);
    EXPECT_EQ(added.user_id, 1002u);
    EXPECT_EQ(std::string(added.user_name), std::string(31, 'x'));
    EXPECT_EQ(std::string(added.directory_name), std::string(20, 'x'));
    EXPECT_EQ(Users(lutrix_).size(), 2u);
    // Another program does not see an uncommitted user.
    EXPECT_NE(RunToEnd("qxqueue.exe users").find("1 users"), std::string::npos);

    EXPECT_EQ(lutrix_.QX_AbandonUserChanges(&error), 1);
    EXPECT_EQ(Users(lutrix_), std::vector<std::string>{"1001 Pat Doe PatDoe"});

    ASSERT_NE(lutrix_.QX_AddUser(&added, &error), 0);
    int32_t save_error = -1;
    EXPECT_NE(lutrix_.QX_CommitUserChanges(reinterpret_cast<uintptr_t>(&save_error)), 0);
    EXPECT_EQ(save_error, 0);
    EXPECT_NE(RunToEnd("qxqueue.exe users").find("2 users"), std::string::npos);
}

TEST(UserMaintenance, ShowsThePlaceholderAndReturnsOneHoweverItEnds) {
    auto client = ChildProcess::Start("qxqueue.exe maintenance users");
    ASSERT_TRUE(client);
    const auto dialog = WaitForWindow({.caption = "User Maintenance (DISABLED for Beta)",
                                       .window_class = "#32770",
                                       .process_id = client->process_id(),
                                       .skip = {}},
                                      kWaitMs);
    ASSERT_TRUE(dialog) << client->Output();
    EXPECT_EQ(dialog->Transcript(),
              "window \"User Maintenance (DISABLED for Beta)\" (#32770)\n"
              "  static \"Registered Users:   \"\n"
              "  SysListView32 \"\"\n"
              "  button 1 \"OK\"\n"
              "  button 2 \"Cancel\"\n"
              "  button 1004 \"&Add ...\"\n"
              "  button 1005 \"&Replace ...\"\n"
              "  button 1006 \"&Delete ...\"\n");
    for (int id : {IDOK, 1004, 1005, 1006}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog->window, id))) << id;
    }
    ASSERT_TRUE(PressButton(*dialog, "Cancel"));
    EXPECT_EQ(client->Wait(), 0);
    EXPECT_NE(client->Output().find("maintenance result 1"), std::string::npos);
    EXPECT_NE(client->Output().find("1 users"), std::string::npos);  // the list is unchanged
}

}  // namespace
}  // namespace qx::test

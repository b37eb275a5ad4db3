#include "standins/useredit/user_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "conduit/storage/native_file_system.h"

namespace qx {
namespace {

class UserListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qx_users_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    NativeFileSystem files_;
};

TEST_F(UserListTest, AddsWithNextIdAndUniqueFoldersAndSavesOnlyWhenAsked) {
    UserList list;
    std::string error;
    ASSERT_TRUE(list.Load(files_, dir_, error)) << error;
    EXPECT_TRUE(list.users().empty());

    const auto pat = list.Add("Pat Doe");
    const auto pat2 = list.Add("Pat-Doe");
    const auto longer = list.Add(std::string(40, 'L'), 5000);
    ASSERT_TRUE(pat && pat2 && longer);
    EXPECT_EQ(pat->id, 1001u);
    EXPECT_EQ(pat->directory, "PatDoe");
    EXPECT_EQ(pat2->id, 1002u);
    EXPECT_EQ(pat2->directory, "PatDoe2");
    EXPECT_EQ(longer->name, std::string(31, 'L'));
    EXPECT_EQ(longer->directory, std::string(20, 'L'));
    EXPECT_FALSE(list.Add("pat doe"));  // names are unique regardless of case
    EXPECT_FALSE(list.Add("Tab\tName"));
    EXPECT_FALSE(list.Add("Sam", 1001));
    EXPECT_FALSE(list.Add(""));

    UserList unsaved;
    ASSERT_TRUE(unsaved.Load(files_, dir_, error));
    EXPECT_TRUE(unsaved.users().empty());

    ASSERT_TRUE(list.Save(files_, error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "PatDoe2"));
    UserList saved;
    ASSERT_TRUE(saved.Load(files_, dir_, error)) << error;
    ASSERT_EQ(saved.users().size(), 3u);
    EXPECT_EQ(saved.Find(5000)->name, std::string(31, 'L'));
    EXPECT_EQ(saved.Add("Next")->id, 5001u);
    EXPECT_TRUE(saved.Rename(1001, "Patricia Doe"));
    EXPECT_TRUE(saved.Remove(1002));
    EXPECT_FALSE(saved.Remove(1002));
    EXPECT_EQ(saved.Find(1001)->name, "Patricia Doe");
}

TEST_F(UserListTest, DamagedListsAreRefusedWithTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"1001\tPat\tPat\t0\nx\tSam\tSam\t0\n", "line 2"},
        {"1001\tPat\tPat\n", "line 1"},
        {"0\tPat\tPat\t0\n", "line 1"},
        {"# comment\n\n1001\tPat\tPat\t70000\n", "line 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<HotSyncUser> users;
        std::string error;
        EXPECT_FALSE(ParseUserList(c.text, users, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    std::vector<HotSyncUser> users;
    std::string error;
    ASSERT_TRUE(ParseUserList(FormatUserList({{7, "A B", "AB", 3}}) + "\r\n", users, error))
        << error;
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].extra, 3);

    UserList list;
    EXPECT_FALSE(list.Load(files_, dir_ / "missing", error));
}

}  // namespace
}  // namespace qx

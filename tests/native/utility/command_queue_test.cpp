#include "utility/core/command_queue.h"
#include "common/creator_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace qx {
namespace {

struct QueueTest : ::testing::Test {
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>(kInitialSharedState);

    bool Add(int32_t type, const char* name, uint32_t p1 = 0, uint32_t p2 = 0) {
        return CheckCommand(type, name, p1).accepted() &&
               EnqueueCommand(*state, type, name, p1, p2);
    }
};

std::string Codes(const CommandCheck& check) {
    std::string codes;
    for (int i = 0; i < check.count; ++i) {
        codes += std::string(check.messages[i], 4) + " ";
    }
    return codes;
}

TEST(CommandCheck, ReportsEachFaultInOrder) {
    const struct {
        int32_t type;
        const char* name;
        uint32_t param1;
        const char* codes;
    } cases[] = {
        {0, "a", 1, "1010 "},          {10, "a", 1, "1010 "},
        {11, "a", 1, "1010 "},         {-1, "a", 1, "1010 "},
        {0, nullptr, 0, "1010 "},      {6, nullptr, 0, ""},
        {1, nullptr, 0, "1020 "},      {1, "", 0, ""},
        {7, "a", 0, "1040 "},          {8, "a", 0, "1040 "},
        {7, nullptr, 0, "1040 1020 "}, {7, "a", FourCc("QVXD"), ""},
        {9, "a.prc", 0, ""},           {3, nullptr, 5, "1020 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " name "
                                        << (c.name ? c.name : "(null)") << " param1 " << c.param1);
        EXPECT_EQ(Codes(CheckCommand(c.type, c.name, c.param1)), c.codes);
    }
}

TEST_F(QueueTest, HoldsAll512InOrderAndRejectsThe513thWithoutChange) {
    for (int i = 0; i < kQueueCapacity; ++i) {
        ASSERT_TRUE(Add(3, std::to_string(i).c_str(), static_cast<uint32_t>(i), 1)) << i;
    }
    EXPECT_EQ(QueuedCount(*state), 512);
    const SharedState before = *state;
    EXPECT_FALSE(Add(3, "overflow"));
    EXPECT_EQ(std::memcmp(&before, state.get(), sizeof before), 0);

    for (int i = 0; i < kQueueCapacity; ++i) {
        int32_t type = 0;
        char name[261];
        uint32_t p1 = 0, p2 = 0;
        ASSERT_TRUE(TakeCommand(*state, &type, name, sizeof name, &p1, &p2));
        EXPECT_EQ(type, 3);
        EXPECT_EQ(std::string(name), std::to_string(i));
        EXPECT_EQ(p1, static_cast<uint32_t>(i));
        EXPECT_EQ(p2, 1u);
    }
    EXPECT_EQ(state->read_index, kQueueEmpty);
}

TEST_F(QueueTest, AddAfterDrainingStartsAtSlotZero) {
    ASSERT_TRUE(Add(1, "a"));
    ASSERT_TRUE(Add(1, "b"));
    ASSERT_TRUE(Add(1, "c"));
    int32_t type = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(TakeCommand(*state, &type, nullptr, 0, nullptr, nullptr));
    }
    EXPECT_EQ(state->read_index, kQueueEmpty);
    EXPECT_EQ(state->write_index, 3);  // taking the last entry does not reset the writer
    ASSERT_TRUE(Add(4, "d"));
    EXPECT_EQ(state->read_index, 0);
    EXPECT_EQ(state->write_index, 1);
    EXPECT_STREQ(state->entries[0].file_name, "d");
}

TEST_F(QueueTest, WrapsAroundTheRing) {
    // Move the indices near the end, then fill across the wrap.
    for (int i = 0; i < 510; ++i) {
        ASSERT_TRUE(Add(1, "x"));
    }
    int32_t type = 0;
    for (int i = 0; i < 509; ++i) {
        ASSERT_TRUE(TakeCommand(*state, &type, nullptr, 0, nullptr, nullptr));
    }
    for (int i = 0; i < 511; ++i) {
        ASSERT_TRUE(Add(2, std::to_string(i).c_str())) << i;
    }
    EXPECT_FALSE(Add(2, "full"));
    char name[16];
    ASSERT_TRUE(TakeCommand(*state, &type, name, sizeof name, nullptr, nullptr));
    EXPECT_EQ(type, 1);
    for (int i = 0; i < 511; ++i) {
        ASSERT_TRUE(TakeCommand(*state, &type, name, sizeof name, nullptr, nullptr));
        EXPECT_EQ(std::string(name), std::to_string(i));
    }
    EXPECT_FALSE(TakeCommand(*state, &type, name, sizeof name, nullptr, nullptr));
}

TEST_F(QueueTest, SyncMarkerWithoutNameComesOutEmpty) {
    ASSERT_TRUE(Add(6, nullptr));
    int32_t type = 0;
    char name[8];
    std::memset(name, 'z', sizeof name);
    uint32_t p1 = 99, p2 = 99;
    ASSERT_TRUE(TakeCommand(*state, &type, name, sizeof name, &p1, &p2));
    EXPECT_EQ(type, 6);
    EXPECT_EQ(std::string(name, sizeof name), std::string(8, '\0'));
    EXPECT_EQ(p1, 0u);
    EXPECT_EQ(p2, 0u);
}

TEST_F(QueueTest, TakingFromEmptyWritesNothing) {
    int32_t type = 42;
    char name[4] = {'k', 'e', 'e', 'p'};
    uint32_t p1 = 7;
    EXPECT_FALSE(TakeCommand(*state, &type, name, sizeof name, &p1, nullptr));
    EXPECT_EQ(type, 42);
    EXPECT_EQ(std::string(name, 4), "keep");
    EXPECT_EQ(p1, 7u);
}

TEST_F(QueueTest, NamesAreCutAt260AndDeliveredWithoutReadingPastTheField) {
    const std::string exact(260, 'n');
    const std::string longer = std::string(260, 'm') + "tail";
    ASSERT_TRUE(Add(1, exact.c_str()));
    ASSERT_TRUE(Add(1, longer.c_str()));
    // The slot after each name is filled so a reader that ran on would pick it up.
    state->entries[2].type = 0x41414141;

    char buffer[1040];
    int32_t type = 0;
    ASSERT_TRUE(TakeCommand(*state, &type, buffer, sizeof buffer, nullptr, nullptr));
    EXPECT_EQ(std::string(buffer), exact);
    ASSERT_TRUE(TakeCommand(*state, &type, buffer, sizeof buffer, nullptr, nullptr));
    EXPECT_EQ(std::string(buffer), std::string(260, 'm'));
    EXPECT_EQ(std::string(buffer + 260, sizeof buffer - 260),
              std::string(sizeof buffer - 260, '\0'));
}

TEST_F(QueueTest, SmallBufferGetsAnUnterminatedPrefixAndNothingBeyond) {
    ASSERT_TRUE(Add(1, "ABCDEFGH"));
    char buffer[8];
    char guard[4] = {'g', 'g', 'g', 'g'};
    int32_t type = 0;
    ASSERT_TRUE(TakeCommand(*state, &type, buffer, 5, nullptr, nullptr));
    EXPECT_EQ(std::string(buffer, 5), "ABCDE");
    EXPECT_EQ(std::string(guard, 4), "gggg");
}

TEST_F(QueueTest, EmptyingDiscardsEverythingAndRestartsAtZero) {
    ASSERT_TRUE(Add(1, "a"));
    ASSERT_TRUE(Add(1, "b"));
    EmptyQueue(*state);
    EXPECT_EQ(QueuedCount(*state), 0);
    EXPECT_EQ(state->write_index, 0);
    int32_t type = 0;
    EXPECT_FALSE(TakeCommand(*state, &type, nullptr, 0, nullptr, nullptr));
    ASSERT_TRUE(Add(5, "c"));
    EXPECT_EQ(QueuedCount(*state), 1);
}

}  // namespace
}  // namespace qx

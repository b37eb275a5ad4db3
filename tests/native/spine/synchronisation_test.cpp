// One synchronisation against an emulated handheld, with Lutrix's queue and the notifications
// played by a recording stand-in.

#include "conduit/spine/synchronisation.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <vector>

#include "conduit/dbase/stdio_file_system.h"
#include "conduit/spine/conduit_messages.h"
#include "conduit/storage/native_file_system.h"
#include "standins/handheld/app_directory.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"

namespace qx {
namespace {

struct Command {
    int32_t code;
    std::string file;
    uint32_t first = 0, second = 0;
};

class RecordingQueue final : public QueueSide {
  public:
    void PublishUser(const std::string& name, uint32_t user_id, uint32_t creator) override {
        published = name + "/" + std::to_string(user_id) + "/" + FourCcText(creator);
    }
    void SetHotSyncUserId(uint32_t id) override { hotsync_ids.push_back(id); }
    bool TakeCommand(int32_t& code, std::string& file, uint32_t& first, uint32_t& second) override {
        if (commands.empty()) {
            return false;
        }
        const Command c = commands.front();
        commands.pop_front();
        code = c.code;
        file = c.file;
        first = c.first;
        second = c.second;
        return true;
    }
    void NotifyProgress(uint32_t code, uint32_t value) override {
        notes += std::to_string(code) + ":" + std::to_string(value) + " ";
    }

    std::deque<Command> commands;
    std::string published, notes;
    std::vector<uint32_t> hotsync_ids;
};

class RecordingLog final : public LogChannel {
  public:
    void Add(std::string_view text, int32_t activity, int32_t) override {
        lines.push_back(std::to_string(activity) + " " + std::string(text));
    }
    std::vector<std::string> lines;
};

class RecordingErrors final : public ErrorReporter {
  public:
    void ReportError(std::string_view message, std::optional<std::string_view> detail) override {
        shown.push_back(FormatConduitError(message, detail));
    }
    std::vector<std::string> shown;
};

class SynchronisationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qx_spine_" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::string error;
        ASSERT_EQ(HandheldDevice::Create(files_, folder_, "Pat Doe", 1001, error), 0) << error;
        device_ = HandheldDevice::Open(files_, clock_, folder_, error);
        ASSERT_TRUE(device_) << error;
        ops_ = std::make_unique<HandheldSyncOps>(*device_);
    }
    void TearDown() override {
        ops_.reset();
        device_.reset();
        std::filesystem::remove_all(folder_);
    }

    void InstallAppDirectory(std::vector<uint8_t> info) {
        PalmDatabase db = MakeAppDirectoryDatabase(1001, 0);
        db.app_info = std::move(info);
        ASSERT_EQ(device_->ImportDatabase(db), 0);
    }

    bool Run() {
        DispatchSeams seams{{ops_.get(), &log_},
                            {ops_.get(), &log_},
                            errors_,
                            buffer_,
                            table_files_,
                            [this](int32_t code, const std::string& file) {
                                current_ = std::to_string(code) + " " + file;
                            },
                            [this](const std::string& file) {
                                installed_.push_back(file);
                                return 1;
                            }};
        return RunSynchronisation(seams, queue_, "Pat Doe", FourCc("QVXD"));
    }

    std::filesystem::path folder_;
    NativeFileSystem files_;
    FixedPalmClock clock_{LocalClockReading{}};
    std::unique_ptr<HandheldDevice> device_;
    std::unique_ptr<HandheldSyncOps> ops_;
    RecordingQueue queue_;
    RecordingLog log_;
    RecordingErrors errors_;
    RecordBuffer buffer_;
    dbase::StdioFileSystem table_files_;
    std::string current_;
    std::vector<std::string> installed_;
};

std::vector<uint8_t> DirectoryInfo(uint16_t version, uint32_t user_id) {
    std::vector<uint8_t> info = {'Q',
                                 'X',
                                 'D',
                                 'R',
                                 static_cast<uint8_t>(version >> 8),
                                 static_cast<uint8_t>(version),
                                 static_cast<uint8_t>(user_id >> 24),
                                 static_cast<uint8_t>(user_id >> 16),
                                 static_cast<uint8_t>(user_id >> 8),
                                 static_cast<uint8_t>(user_id)};
    info.resize(26);
    return info;
}

TEST_F(SynchronisationTest, EmptyQueueStartsAndFinishesCleanly) {
    InstallAppDirectory(DirectoryInfo(0x0102, 77));
    EXPECT_TRUE(Run());
    EXPECT_EQ(queue_.notes, "1:0 2:1 ");
    EXPECT_EQ(queue_.published, "Pat Doe/77/QVXD");
    EXPECT_EQ(queue_.hotsync_ids, (std::vector<uint32_t>{1001, 0}));
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"19 ", "20 Quorvix SE"}));
    EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(SynchronisationTest, EachCommandIsReportedAndOneFailureFailsTheWhole) {
    InstallAppDirectory(DirectoryInfo(0x0101, 77));  // too old to carry a user ID
    queue_.commands = {{6, ""}, {2, "C:\\x.pda"}, {9, "C:\\engine.prc"}, {-3, "?"}};
    EXPECT_FALSE(Run());
    EXPECT_EQ(queue_.notes, "1:0 3:1 3:0 3:1 3:0 2:0 ");
    EXPECT_EQ(queue_.published, "Pat Doe/0/QVXD");
    EXPECT_EQ(installed_, std::vector<std::string>{"C:\\engine.prc"});
    EXPECT_EQ(current_, "-3 ?");
    EXPECT_EQ(log_.lines,
              (std::vector<std::string>{"19 ", "-1 Quorvix: DeletePilotApp not implemented.",
                                        "21 Quorvix SE"}));
}

TEST_F(SynchronisationTest, NoApplicationDirectoryLeavesTheQueueAlone) {
    queue_.commands = {{6, ""}};
    EXPECT_FALSE(Run());
    EXPECT_EQ(queue_.notes, "2:0 ");
    EXPECT_EQ(queue_.commands.size(), 1u);
    EXPECT_TRUE(errors_.shown.empty());
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"19 ", "21 Quorvix SE"}));
}

TEST_F(SynchronisationTest, ShortDirectoryInfoBlockIsReported) {
    std::vector<uint8_t> info = DirectoryInfo(0x0102, 77);
    info.resize(20);
    InstallAppDirectory(info);
    EXPECT_FALSE(Run());
    EXPECT_EQ(errors_.shown,
              std::vector<std::string>{
                  "Error 1120: Could not read application directory info block from handheld."});
    EXPECT_EQ(queue_.notes, "2:0 ");
    // The directory was closed again: a second synchronisation can open it.
    uint8_t handle = 0;
    EXPECT_EQ(ops_->OpenDB(kAppDirectoryName, 0, handle, kOpenReadWriteExclusive), 0);
}

TEST(ConduitMessages, CodedAndUncodedTexts) {
    EXPECT_EQ(FormatConduitError("1230Row in dBase table exceeds 32K! Table file = ",
                                 "C:\\DATA\\ORDERS.DBF"),
              "Error 1230: Row in dBase table exceeds 32K! Table file = C:\\DATA\\ORDERS.DBF");
    EXPECT_EQ(FormatConduitError("1040Application file (.PDA) corrupted.", std::nullopt),
              "Error 1040: Application file (.PDA) corrupted.");
    EXPECT_EQ(FormatConduitError(kMsgCannotLoadHotSync, std::nullopt),
              "Error explicitly loading HotSync Dlls");
    EXPECT_EQ(FormatConduitError(kMsgCannotFind, "C:\\PILOT"), "Cannot find: C:\\PILOT");
    EXPECT_EQ(FormatConduitError("12x4abc", std::nullopt), "12x4abc");
}

}  // namespace
}  // namespace qx

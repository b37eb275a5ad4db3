#include "standins/handheld/handheld_device.h"

#include <gtest/gtest.h>

#include "conduit/pdb/palm_database_reader.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_records.h"
#include "standins/handheld/app_directory.h"
#include "standins/handheld/db_file_name.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

const FixedPalmClock kClock({1709294400, 0, false});

class HandheldTest : public ::testing::Test {
  protected:
    HandheldTest() {
        std::string error;
        EXPECT_EQ(HandheldDevice::Create(files_, folder(), "Pat Doe", 4242, error), kSyncOk)
            << error;
        device_ = HandheldDevice::Open(files_, kClock, folder(), error);
        EXPECT_NE(device_, nullptr) << error;
    }
    std::filesystem::path folder() const { return scratch_.path() / "device"; }

    uint8_t CreateDb(std::string_view name) {
        DatabaseSpec wanted{std::string(name), FourCc("QVXD"), FourCc("DATA"), 0, 0};
        uint8_t handle = 0;
        EXPECT_EQ(device_->CreateDatabase(wanted, handle), kSyncOk);
        return handle;
    }

    testing::ScratchFolder scratch_;
    NativeFileSystem files_{16};
    std::unique_ptr<HandheldDevice> device_;
};

TEST_F(HandheldTest, KeepsUserData) {
    EXPECT_EQ(device_->user_name(), "Pat Doe");
    EXPECT_EQ(device_->user_id(), 4242u);
    std::string error;
    EXPECT_EQ(HandheldDevice::Create(files_, folder(), "Other", 1, error), kSyncErrAlreadyExists);
}

TEST_F(HandheldTest, AssignsUniqueIdsAndMarksWrittenRecordsDirty) {
    const uint8_t h = CreateDb("QXT-SE_ORDERS");
    uint32_t first = 0, second = 0, chosen = 0x00ABCDEF;
    ASSERT_EQ(device_->WriteRecord(h, first, 0, 2, std::vector<uint8_t>{1}), kSyncOk);
    ASSERT_EQ(device_->WriteRecord(h, second, kRecAttrSecret, 0, std::vector<uint8_t>{2}), kSyncOk);
    ASSERT_EQ(device_->WriteRecord(h, chosen, 0, 0, std::vector<uint8_t>{3}), kSyncOk);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first);
    EXPECT_LE(second, 0xFFFFFFu);
    EXPECT_EQ(chosen, 0x00ABCDEFu);
    // Rewriting a known ID replaces that record in place.
    uint32_t again = first;
    ASSERT_EQ(device_->WriteRecord(h, again, 0, 5, std::vector<uint8_t>{9, 9}), kSyncOk);
    uint16_t count = 0;
    ASSERT_EQ(device_->RecordCount(h, count), kSyncOk);
    EXPECT_EQ(count, 3);
    HandheldRecord record;
    ASSERT_EQ(device_->ReadRecordByIndex(h, 0, record), kSyncOk);
    EXPECT_EQ(record.id, first);
    EXPECT_EQ(record.category, 5);
    EXPECT_EQ(record.data, (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(record.attributes, kRecAttrDirty);
    ASSERT_EQ(device_->ReadRecordByIndex(h, 1, record), kSyncOk);
    EXPECT_EQ(record.attributes, kRecAttrDirty | kRecAttrSecret);
    uint32_t too_big = 0x1000000;
    EXPECT_NE(device_->WriteRecord(h, too_big, 0, 0, {}), kSyncOk);
    ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);

    // What was closed is a standard .pdb file with the IDs and attributes in it.
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(files_.ReadFile(folder() / "QXT-SE_ORDERS.pdb", bytes, error)) << error;
    const PalmDbReadResult read = ReadPalmDatabase(bytes);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.db.records.size(), 3u);
    EXPECT_EQ(read.db.records[0].attributes, kFileRecDirty | 5);
    EXPECT_EQ(read.db.records[2].unique_id, 0x00ABCDEFu);
    EXPECT_EQ(read.db.header.modification_number, 1u);
}

TEST_F(HandheldTest, OpenIsExclusiveAndOpenDatabasesCannotBeDeleted) {
    const uint8_t h = CreateDb("QX-SE_APP");
    uint8_t other = 0;
    EXPECT_EQ(device_->OpenDatabase("QX-SE_APP", other), kSyncErrAlreadyOpen);
    EXPECT_EQ(device_->DeleteDatabase("QX-SE_APP"), kSyncErrAlreadyOpen);
    ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
    EXPECT_EQ(device_->CloseDatabase(h), kSyncErrBadHandle);
    ASSERT_EQ(device_->OpenDatabase("QX-SE_APP", other), kSyncOk);
    ASSERT_EQ(device_->CloseDatabase(other), kSyncOk);
    EXPECT_EQ(device_->DeleteDatabase("QX-SE_APP"), kSyncOk);
    EXPECT_EQ(device_->OpenDatabase("QX-SE_APP", other), kSyncErrNotFound);
}

TEST_F(HandheldTest, AbsentAndEmptyAppInfoDiffer) {
    uint8_t h = CreateDb("QX-SE_NONE");
    ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
    h = CreateDb("QX-SE_EMPTY");
    ASSERT_EQ(device_->WriteAppInfo(h, {}), kSyncOk);
    ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
    for (const auto& [name, present] : {std::pair{"QX-SE_NONE", false}, {"QX-SE_EMPTY", true}}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(device_->OpenDatabase(name, h), kSyncOk);
        std::optional<std::vector<uint8_t>> info;
        ASSERT_EQ(device_->ReadAppInfo(h, info), kSyncOk);
        EXPECT_EQ(info.has_value(), present);
        if (info) {
            EXPECT_TRUE(info->empty());
        }
        ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
    }
}

TEST_F(HandheldTest, PurgeRemovesDeletedAndArchivedAndResetClearsDirty) {
    const uint8_t h = CreateDb("QXT-SE_T");
    const struct {
        uint8_t attributes;
        bool kept;
    } cases[] = {
        {0, true},
        {kRecAttrDeleted, false},
        {kRecAttrArchived, false},
        {kRecAttrSecret, true},
        {kRecAttrDeleted | kRecAttrArchived, false},
    };
    for (const auto& c : cases) {
        uint32_t id = 0;
        ASSERT_EQ(device_->WriteRecord(h, id, c.attributes, 1, std::vector<uint8_t>{c.attributes}),
                  kSyncOk);
    }
    ASSERT_EQ(device_->PurgeDeleted(h), kSyncOk);
    ASSERT_EQ(device_->ResetSyncFlags(h), kSyncOk);
    uint16_t count = 0;
    ASSERT_EQ(device_->RecordCount(h, count), kSyncOk);
    std::vector<uint8_t> kept;
    for (uint16_t i = 0; i < count; ++i) {
        HandheldRecord r;
        ASSERT_EQ(device_->ReadRecordByIndex(h, i, r), kSyncOk);
        EXPECT_EQ(r.attributes & kRecAttrDirty, 0);
        kept.push_back(r.data[0]);
    }
    EXPECT_EQ(kept, (std::vector<uint8_t>{0, kRecAttrSecret}));
}

TEST_F(HandheldTest, AtMost65535Records) {
    const uint8_t h = CreateDb("QXT-SE_BIG");
    for (int i = 0; i < 65535; ++i) {
        uint32_t id = 0;
        ASSERT_EQ(device_->WriteRecord(h, id, 0, 0, {}), kSyncOk);
    }
    uint32_t id = 0;
    EXPECT_EQ(device_->WriteRecord(h, id, 0, 0, {}), kSyncErrTooManyRecords);
    ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
}

TEST(DbFileName, AnyNameMapsInsideTheFolderAndBack) {
    const struct {
        std::string name;
        const char* file;
    } cases[] = {
        {"QX-SE_ORDERS", "QX-SE_ORDERS.pdb"},
        {"QX-SE_Orders", "QX-SE_O%72%64%65%72%73.pdb"},
        {"../../etc/passwd", "%2E%2E%2F%2E%2E%2F%65%74%63%2F%70%61%73%73%77%64.pdb"},
        {"C:\\x", "C%3A%5C%78.pdb"},
        {"a b%", "%61%20%62%25.pdb"},
        {"CON", "%43ON.pdb"},
        {"COM1", "%43OM1.pdb"},
        {"CONX", "CONX.pdb"},
        {std::string("\xE9\x01", 2), "%E9%01.pdb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = DbFileName(c.name, false);
        EXPECT_EQ(file, c.file);
        EXPECT_EQ(file.find_first_of("/\\:."), file.size() - 4);
        const auto decoded = DecodeDbFileName(file);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->db_name, c.name);
        EXPECT_FALSE(decoded->resource);
    }
    EXPECT_EQ(DecodeDbFileName("Engine.prc"), std::nullopt);  // lower case is always escaped
    EXPECT_EQ(DecodeDbFileName("user.txt"), std::nullopt);
    EXPECT_EQ(DecodeDbFileName("X.pdb.qxtmp"), std::nullopt);
    EXPECT_EQ(DecodeDbFileName("%4.pdb"), std::nullopt);
    EXPECT_EQ(DecodeDbFileName(".pdb"), std::nullopt);
    EXPECT_EQ(DecodeDbFileName("%45%6E%67%69%6E%65.prc"), std::nullopt);  // one spelling only
    const auto engine = DecodeDbFileName("E%6E%67%69%6E%65.prc");
    ASSERT_TRUE(engine.has_value());
    EXPECT_EQ(engine->db_name, "Engine");
    EXPECT_TRUE(engine->resource);
}

// Everything a device stores, read back from disk: name -> (record data..., app info).
using Snapshot = std::map<std::string, std::vector<std::vector<uint8_t>>>;

Snapshot TakeSnapshot(FileSystem& files, const std::filesystem::path& folder) {
    std::string error;
    auto device = HandheldDevice::Open(files, kClock, folder, error);
    EXPECT_NE(device, nullptr) << error;
    Snapshot snapshot;
    for (const auto& name : device->ListDatabases()) {
        PalmDatabase db;
        // The consistency check: every stored database must read.
        EXPECT_EQ(device->LoadDatabase(name, db, error), kSyncOk) << name << ": " << error;
        auto& entry = snapshot[name];
        entry.push_back(db.app_info.value_or(std::vector<uint8_t>{0xEE}));
        for (const auto& record : db.records) {
            entry.push_back(record.data);
        }
    }
    return snapshot;
}

// One synchronisation's worth of changes: rewrite one table, create another, delete a third.
SyncResult Scenario(HandheldDevice& device) {
    uint8_t h = 0;
    SyncResult r = device.OpenDatabase("QXT-SE_A", h);
    for (uint8_t i = 0; r == kSyncOk && i < 5; ++i) {
        uint32_t id = 0;
        r = device.WriteRecord(h, id, 0, 0, std::vector<uint8_t>(40, i));
    }
    if (r == kSyncOk) {
        r = device.CloseDatabase(h);
    }
    if (r == kSyncOk) {
        r = device.CreateDatabase({"QXT-SE_B", FourCc("QVXD"), FourCc("DATA"), 8, 0}, h);
    }
    if (r == kSyncOk) {
        r = device.WriteAppInfo(h, std::vector<uint8_t>(60, 0xB0));
    }
    if (r == kSyncOk) {
        r = device.CloseDatabase(h);
    }
    if (r == kSyncOk) {
        r = device.DeleteDatabase("QXT-SE_C");
    }
    device.CloseAll();
    return r;
}

TEST_F(HandheldTest, FaultAtAnyWriteStepLeavesEveryDatabaseWhole) {
    // Start: A with two records, C with one, the directory database.
    ASSERT_EQ(device_->ImportDatabase(MakeAppDirectoryDatabase(4242, 0)), kSyncOk);
    for (const char* name : {"QXT-SE_A", "QXT-SE_C"}) {
        const uint8_t h = CreateDb(name);
        uint32_t id = 0;
        ASSERT_EQ(device_->WriteRecord(h, id, 0, 0, std::vector<uint8_t>(30, 0xA0)), kSyncOk);
        ASSERT_EQ(device_->CloseDatabase(h), kSyncOk);
    }
    const std::filesystem::path pristine = scratch_.path() / "pristine";
    std::filesystem::copy(folder(), pristine);
    const Snapshot before = TakeSnapshot(files_, pristine);

    Snapshot after;
    {
        const std::filesystem::path clean = scratch_.path() / "clean";
        std::filesystem::copy(pristine, clean);
        std::string error;
        auto device = HandheldDevice::Open(files_, kClock, clean, error);
        ASSERT_EQ(Scenario(*device), kSyncOk);
        after = TakeSnapshot(files_, clean);
    }
    ASSERT_NE(before, after);

    bool fired = true;
    int64_t n = 1;
    for (; fired; ++n) {
        SCOPED_TRACE(n);
        const std::filesystem::path run = scratch_.path() / ("run" + std::to_string(n));
        std::filesystem::copy(pristine, run);
        std::string error;
        auto device = HandheldDevice::Open(files_, kClock, run, error);
        ASSERT_NE(device, nullptr) << error;
        files_.faults().Arm(n);
        const SyncResult result = Scenario(*device);
        fired = files_.faults().fired();
        files_.faults().Disarm();
        const Snapshot now = TakeSnapshot(files_, run);
        if (!fired) {
            EXPECT_EQ(result, kSyncOk);
            EXPECT_EQ(now, after);
            continue;
        }
        EXPECT_NE(result, kSyncOk);
        // Each database is as it was before or as it is after, never something in between.
        for (const auto& name : {"QX-SE_SysHeap", "QXT-SE_A", "QXT-SE_B", "QXT-SE_C"}) {
            SCOPED_TRACE(name);
            const auto in = [&](const Snapshot& s) {
                const auto it = s.find(name);
                return it == s.end() ? std::optional<std::vector<std::vector<uint8_t>>>()
                                     : std::optional(it->second);
            };
            EXPECT_TRUE(in(now) == in(before) || in(now) == in(after));
        }
        std::vector<std::string> names;
        ASSERT_TRUE(files_.ListFiles(run, names, error));
        for (const auto& file : names) {
            EXPECT_FALSE(file.ends_with(".qxtmp")) << file;
        }
    }
    EXPECT_GT(n, 10);  // the sweep reached the middle of the files, not only their creation
}

}  // namespace
}  // namespace qx

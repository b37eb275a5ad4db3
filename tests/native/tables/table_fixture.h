#pragma once
// The table commands against an emulated handheld in a scratch folder and desktop files in
// memory, with every report and log line recorded. FaultyOps fails the slots a test names and
// forwards the rest to the handheld.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "conduit/dbase/memory_file_system.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/tables/table_retrieval.h"
#include "conduit/tables/table_transfer.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx::tables::testing {

struct FaultyOps final : SyncOps {
    explicit FaultyOps(SyncOps& forward_to) : inner(forward_to) {}
    SyncOps& inner;
    bool fail_create = false;
    bool fail_app_info_write = false;
    bool fail_purge = false;
    int fail_write_rec = -1;  // index of the WriteRec call that fails
    int fail_read_rec = -1;   // record index whose read fails
    int write_calls = 0;
    int reset_calls = 0;
    int purge_calls = 0;

    SyncResult OpenDB(std::string_view name, uint8_t card, uint8_t& handle, uint8_t mode) override {
        return inner.OpenDB(name, card, handle, mode);
    }
    SyncResult DeleteDB(std::string_view name, uint8_t card) override {
        return inner.DeleteDB(name, card);
    }
    SyncResult CreateDB(CreateDbRequest& request) override {
        return fail_create ? kSyncErrStorage : inner.CreateDB(request);
    }
    SyncResult CloseDB(uint8_t handle) override { return inner.CloseDB(handle); }
    SyncResult WriteRec(RecordDescriptor& desc) override {
        return write_calls++ == fail_write_rec ? kSyncErrStorage : inner.WriteRec(desc);
    }
    SyncResult WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) override {
        return fail_app_info_write ? kSyncErrStorage : inner.WriteDBAppInfoBlock(handle, block);
    }
    SyncResult ReadUserID(HandheldUserRecord& user) override { return inner.ReadUserID(user); }
    SyncResult ResetSyncFlags(uint8_t handle) override {
        ++reset_calls;
        return inner.ResetSyncFlags(handle);
    }
    SyncResult GetDBRecordCount(uint8_t handle, uint16_t& count) override {
        return inner.GetDBRecordCount(handle, count);
    }
    SyncResult PurgeDeletedRecs(uint8_t handle) override {
        ++purge_calls;
        return fail_purge ? kSyncErrStorage : inner.PurgeDeletedRecs(handle);
    }
    SyncResult ReadDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) override {
        return inner.ReadDBAppInfoBlock(handle, block);
    }
    SyncResult ReadRecordByIndex(RecordDescriptor& desc) override {
        return desc.index == fail_read_rec ? kSyncErrStorage : inner.ReadRecordByIndex(desc);
    }
    SyncResult YieldCycles(uint16_t count) override { return inner.YieldCycles(count); }
};

inline const FixedPalmClock kClock({1709294400, 0, false});

class TableTest : public ::testing::Test {
  protected:
    TableTest() {
        std::string error;
        EXPECT_EQ(HandheldDevice::Create(disk_, device_folder(), "Pat Doe", 4242, error), kSyncOk)
            << error;
        device_ = HandheldDevice::Open(disk_, kClock, device_folder(), error);
        EXPECT_NE(device_, nullptr) << error;
        handheld_ = std::make_unique<HandheldSyncOps>(*device_);
        ops_ = std::make_unique<FaultyOps>(*handheld_);
    }
    std::filesystem::path device_folder() const { return scratch_.path() / "device"; }

    int Copy(const std::string& path, uint32_t flags = 0) {
        return CopyTableToHandheld({*ops_, log_, errors_, buffer_, files_}, path, FourCc("QVXD"),
                                   flags);
    }
    int Get(const std::string& path) {
        return GetTableFromHandheld({*ops_, log_, errors_, buffer_, files_, nullptr}, path);
    }

    PalmDatabase Stored(std::string_view name) {
        PalmDatabase db;
        std::string error;
        EXPECT_EQ(device_->LoadDatabase(name, db, error), kSyncOk) << error;
        return db;
    }

    // A table database written on the handheld as another program might have written it.
    void PutHandheldTable(std::string_view name, const std::vector<uint8_t>& info,
                          const std::vector<std::vector<uint8_t>>& records) {
        uint8_t handle = 0;
        device_->DeleteDatabase(name);
        ASSERT_EQ(device_->CreateDatabase({std::string(name), FourCc("QVXD"), FourCc("TABL"), 0, 0},
                                          handle),
                  kSyncOk);
        ASSERT_EQ(device_->WriteAppInfo(handle, info), kSyncOk);
        for (const auto& record : records) {
            uint32_t id = 0;
            ASSERT_EQ(device_->WriteRecord(handle, id, 0, 0, record), kSyncOk);
        }
        ASSERT_EQ(device_->CloseDatabase(handle), kSyncOk);
    }
    void MarkRecord(std::string_view name, uint16_t index, uint8_t attributes) {
        uint8_t handle = 0;
        ASSERT_EQ(device_->OpenDatabase(name, handle), kSyncOk);
        ASSERT_EQ(device_->SetRecordAttributes(handle, index, attributes, 0), kSyncOk);
        ASSERT_EQ(device_->CloseDatabase(handle), kSyncOk);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (const auto& r : errors_.reports) {
            m.push_back(r.message + (r.detail ? "|" + *r.detail : std::string()));
        }
        return m;
    }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (const auto& line : log_.lines) {
            EXPECT_EQ(line.activity, kLogActivityText);
            lines.push_back(line.text);
        }
        return lines;
    }

    qx::testing::ScratchFolder scratch_;
    NativeFileSystem disk_;
    std::unique_ptr<HandheldDevice> device_;
    std::unique_ptr<HandheldSyncOps> handheld_;
    std::unique_ptr<FaultyOps> ops_;
    dbase::MemoryFileSystem files_;
    qx::testing::RecordingErrors errors_;
    qx::testing::RecordingLog log_;
    RecordBuffer buffer_;
};

// Big-endian bytes written by hand in the tests.
class Bytes {
  public:
    Bytes& U8(uint8_t v) { return w_.U8(v), *this; }
    Bytes& U16(uint16_t v) { return w_.U16(v), *this; }
    Bytes& U32(uint32_t v) { return w_.U32(v), *this; }
    Bytes& Text(std::string_view s) { return w_.Text(s), *this; }
    Bytes& Zeros(std::size_t n) { return w_.Zeros(n), *this; }
    Bytes& Raw(std::initializer_list<uint8_t> b) {
        for (uint8_t v : b) {
            w_.U8(v);
        }
        return *this;
    }
    std::vector<uint8_t> bytes() const { return w_.bytes(); }

  private:
    ByteWriter w_{ByteOrder::kBig};
};

// A TableInfoBlock header and entries written by hand.
struct Entry {
    char letter;
    std::string name;
    uint16_t width;
    uint8_t decimals = 0;
};
inline std::vector<uint8_t> InfoBlock(const std::vector<Entry>& entries, uint16_t record_length) {
    Bytes b;
    b.Text("QXTD").U16(static_cast<uint16_t>(entries.size())).U16(0x0210).Zeros(4);
    b.U16(record_length).Zeros(20);
    for (const Entry& e : entries) {
        std::string name = e.name;
        name.resize(11, '\0');
        b.U8(e.decimals).U8(static_cast<uint8_t>(e.letter)).Text(name).Zeros(21).U16(e.width);
        b.Zeros(8);
    }
    return b.bytes();
}

}  // namespace qx::tables::testing

// The HotSync libraries of the desktop (C:\Palm), loaded into the test as a conduit loads them:
// the Sync Manager over Pat Doe's handheld in the cradle, and the log library.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

#include "common/creator_id.h"
#include "conduit/sync/sync_manager_abi.h"
#include "conduit/sync/sync_records.h"
#include "standins/hotsync/standin_exports.h"

namespace qx::test {
namespace {

constexpr char kCradle[] = "C:\\Palm\\Cradle";

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}

class SyncManager : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryA("C:\\Palm\\Sync20.dll");
        ASSERT_NE(module_, nullptr);
        connect_ = Bind<standin::ConnectDeviceFn>(module_, standin::kConnectDevice);
        disconnect_ = Bind<standin::DisconnectDeviceFn>(module_, standin::kDisconnectDevice);
        open_ = Bind<abi::SyncOpenDBFn>(module_, "SyncOpenDB");
        close_ = Bind<abi::SyncCloseDBFn>(module_, "SyncCloseDB");
        delete_ = Bind<abi::SyncDeleteDBFn>(module_, "SyncDeleteDB");
        create_ = Bind<abi::SyncCreateDBFn>(module_, "SyncCreateDB");
        write_ = Bind<abi::SyncWriteRecFn>(module_, "SyncWriteRec");
        read_user_ = Bind<abi::SyncReadUserIDFn>(module_, "SyncReadUserID");
        count_ = Bind<abi::SyncGetDBRecordCountFn>(module_, "SyncGetDBRecordCount");
        read_info_ = Bind<abi::SyncReadDBAppInfoBlockFn>(module_, "SyncReadDBAppInfoBlock");
        read_record_ = Bind<abi::SyncReadRecordByIndexFn>(module_, "SyncReadRecordByIndex");
        yield_ = Bind<abi::SyncYieldCyclesFn>(module_, "SyncYieldCycles");
        ASSERT_TRUE(connect_ && disconnect_ && open_ && close_ && delete_ && create_ && write_ &&
                    read_user_ && count_ && read_info_ && read_record_ && yield_);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            disconnect_();
            FreeLibrary(module_);
        }
    }
    void Connect() {
        char error[128] = {};
        ASSERT_EQ(connect_(kCradle, error, sizeof error), 0) << error;
    }

    HMODULE module_ = nullptr;
    standin::ConnectDeviceFn connect_ = nullptr;
    standin::DisconnectDeviceFn disconnect_ = nullptr;
    abi::SyncOpenDBFn open_ = nullptr;
    abi::SyncCloseDBFn close_ = nullptr;
    abi::SyncDeleteDBFn delete_ = nullptr;
    abi::SyncCreateDBFn create_ = nullptr;
    abi::SyncWriteRecFn write_ = nullptr;
    abi::SyncReadUserIDFn read_user_ = nullptr;
    abi::SyncGetDBRecordCountFn count_ = nullptr;
    abi::SyncReadDBAppInfoBlockFn read_info_ = nullptr;
    abi::SyncReadRecordByIndexFn read_record_ = nullptr;
    abi::SyncYieldCyclesFn yield_ = nullptr;
};

TEST_F(SyncManager, EmptyCradleAnswersEveryCallWithAnError) {
    uint8_t handle = 0;
    uint16_t count = 0;
    std::array<uint8_t, 512> bytes = {};
    EXPECT_NE(open_("QX-SE_SysHeap", 0, &handle, kOpenReadWriteExclusive), 0);
    EXPECT_NE(close_(0), 0);
    EXPECT_NE(delete_("QX-SE_SysHeap", 0), 0);
    EXPECT_NE(create_(bytes.data()), 0);
    EXPECT_NE(write_(bytes.data()), 0);
    EXPECT_NE(read_user_(bytes.data()), 0);
    EXPECT_NE(count_(0, &count), 0);
    EXPECT_NE(read_info_(0, bytes.data()), 0);
    EXPECT_NE(read_record_(bytes.data()), 0);
    EXPECT_NE(yield_(10), 0);
    EXPECT_NE(disconnect_(), 0);
}

TEST_F(SyncManager, OneHandheldAtATime) {
    char error[128] = {};
    EXPECT_NE(connect_("C:\\Palm\\NoSuchHandheld", error, sizeof error), 0);
    EXPECT_STRNE(error, "");
    Connect();
    EXPECT_EQ(connect_(kCradle, error, sizeof error), standin::kCradleOccupied);
    EXPECT_STREQ(error, "a handheld is already in the cradle");
    EXPECT_EQ(disconnect_(), 0);
    EXPECT_NE(disconnect_(), 0);
}

TEST_F(SyncManager, UserIdAtOffset144) {
    Connect();
    std::array<uint8_t, HandheldUserRecord::kSize> bytes;
    bytes.fill(0xEE);
    ASSERT_EQ(read_user_(bytes.data()), 0);
    EXPECT_EQ(bytes[144] | bytes[145] << 8 | bytes[146] << 16 | bytes[147] << 24, 1001);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "Pat Doe");
}

TEST_F(SyncManager, OpensAreExclusive) {
    Connect();
    uint8_t first = kNoHandle, second = kNoHandle;
    ASSERT_EQ(open_("QX-SE_SysHeap", 0, &first, kOpenReadWriteExclusive), 0);
    EXPECT_NE(open_("QX-SE_SysHeap", 0, &second, kOpenReadWriteExclusive), 0);
    EXPECT_EQ(close_(first), 0);
    EXPECT_NE(close_(first), 0);  // already closed
    ASSERT_EQ(open_("QX-SE_SysHeap", 0, &second, kOpenReadWriteExclusive), 0);
    EXPECT_EQ(close_(second), 0);
    EXPECT_NE(open_("No such database", 0, &second, kOpenReadWriteExclusive), 0);
    EXPECT_NE(open_("QX-SE_SysHeap", 1, &second, kOpenReadWriteExclusive), 0);  // one card only
}

// The directory's 26-byte block read into buffers of several sizes, with guard bytes after each.
TEST_F(SyncManager, TooSmallBufferFailsButReportsTheFullSize) {
    Connect();
    uint8_t handle = kNoHandle;
    ASSERT_EQ(open_("QX-SE_SysHeap", 0, &handle, kOpenReadWriteExclusive), 0);
    for (const uint16_t capacity : {0, 4, 25, 26, 64}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity + 8u, 0xEE);
        BlockDescriptor block;
        block.byte_count = capacity;
        std::vector<uint8_t> packed =
            EncodeBlockDescriptor(block, reinterpret_cast<uintptr_t>(buffer.data()));
        const int32_t result = read_info_(handle, packed.data());
        uintptr_t address = 0;
        std::string error;
        ASSERT_TRUE(DecodeBlockDescriptor(packed, block, address, error)) << error;
        EXPECT_EQ(address, reinterpret_cast<uintptr_t>(buffer.data()));
        EXPECT_EQ(block.bytes_read, 26);
        EXPECT_EQ(result == 0, capacity >= 26);
        if (result == 0) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 4), "QXDR");
        }
        const std::size_t written = result == 0 ? 26 : 0;
        for (std::size_t i = written; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 0xEE) << "scribbled at " << i;
        }
    }
    EXPECT_EQ(close_(handle), 0);
}

TEST_F(SyncManager, RecordsRoundTripAndReachTheDisk) {
    Connect();
    delete_("Sync20Test", 0);
    CreateDbRequest request;
    request.creator = FourCc("QVXT");
    request.type = FourCc("DATA");
    request.flags = kDbAttrBackup;
    SetFieldName(request.name, "Sync20Test");
    std::vector<uint8_t> packed = EncodeCreateDbRequest(request);
    ASSERT_EQ(create_(packed.data()), 0);
    std::string error;
    ASSERT_TRUE(DecodeCreateDbRequest(packed, request, error)) << error;
    ASSERT_NE(request.handle, kNoHandle);
    // A second database of that name cannot be made.
    std::vector<uint8_t> again = EncodeCreateDbRequest(request);
    EXPECT_NE(create_(again.data()), 0);

    uint8_t data[3] = {1, 2, 3};
    RecordDescriptor record;
    record.handle = request.handle;
    record.record_size = 3;
    record.capacity = 3;
    record.category = 2;
    packed = EncodeRecordDescriptor(record, reinterpret_cast<uintptr_t>(data));
    ASSERT_EQ(write_(packed.data()), 0);
    uintptr_t address = 0;
    ASSERT_TRUE(DecodeRecordDescriptor(packed, record, address, error)) << error;
    EXPECT_NE(record.record_id, 0u);
    const uint32_t id = record.record_id;
    uint16_t count = 0;
    EXPECT_EQ(count_(request.handle, &count), 0);
    EXPECT_EQ(count, 1);

    for (const uint16_t capacity : {2, 8}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(capacity, 0xEE);
        RecordDescriptor read;
        read.handle = request.handle;
        read.index = 0;
        read.capacity = capacity;
        packed = EncodeRecordDescriptor(read, reinterpret_cast<uintptr_t>(buffer.data()));
        const int32_t result = read_record_(packed.data());
        ASSERT_TRUE(DecodeRecordDescriptor(packed, read, address, error)) << error;
        EXPECT_EQ(result == 0, capacity >= 3);
        EXPECT_EQ(read.record_size, 3u);
        EXPECT_EQ(read.record_id, id);
        EXPECT_EQ(read.category, 2);
        EXPECT_EQ(read.attributes & kRecAttrDirty, kRecAttrDirty);
        if (result == 0) {
            EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 3),
                      (std::vector<uint8_t>{1, 2, 3}));
        } else {
            EXPECT_EQ(buffer, std::vector<uint8_t>(capacity, 0xEE));
        }
    }
    EXPECT_EQ(close_(request.handle), 0);
    EXPECT_EQ(disconnect_(), 0);

    // What was written is a database of the handheld now.
    Connect();
    uint8_t handle = kNoHandle;
    ASSERT_EQ(open_("Sync20Test", 0, &handle, kOpenReadWriteExclusive), 0);
    EXPECT_EQ(count_(handle, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(close_(handle), 0);
    EXPECT_EQ(delete_("Sync20Test", 0), 0);
    EXPECT_NE(delete_("Sync20Test", 0), 0);
}

TEST(CommandLibraries, LoadFromTheHotSyncFolder) {
    for (const char* path : {"C:\\Palm\\Cmds21.dll", "C:\\Palm\\Cmds20.dll"}) {
        SCOPED_TRACE(path);
        HMODULE module = LoadLibraryA(path);
        EXPECT_NE(module, nullptr) << "error " << GetLastError();
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
}

class HotSyncLog : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryA("C:\\hotsync-test", nullptr);
        DeleteFileA(kPath);
        module_ = LoadLibraryA("C:\\Palm\\HsLog20.dll");
        ASSERT_NE(module_, nullptr);
        add_ = Bind<abi::LogAddEntryFn>(module_, "LogAddEntry");
        open_ = Bind<standin::OpenLogFn>(module_, standin::kOpenLog);
        close_ = Bind<standin::CloseLogFn>(module_, standin::kCloseLog);
        ASSERT_TRUE(add_ && open_ && close_);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            close_();
            FreeLibrary(module_);
        }
    }

    static constexpr char kPath[] = "C:\\hotsync-test\\HotSync Log.txt";
    HMODULE module_ = nullptr;
    abi::LogAddEntryFn add_ = nullptr;
    standin::OpenLogFn open_ = nullptr;
    standin::CloseLogFn close_ = nullptr;
};

TEST_F(HotSyncLog, WritesStampedLinesToTheOpenLog) {
    EXPECT_NE(add_("nowhere to go", -1, 0), 0);
    ASSERT_EQ(open_(kPath), 0);
    const struct {
        const char* text;
        int32_t activity;
        const char* entry;
    } cases[] = {
        {"Quorvix SE", 19, "Quorvix SE started"},
        {"Quorvix: table ORDERS written.", -1, "Quorvix: table ORDERS written."},
        {"Quorvix SE", 20, "Quorvix SE OK"},
        {"", 19, "Conduit started"},
        {"Quorvix SE", 21, "Quorvix SE failed"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(add_(c.text, c.activity, 0), 0);
    }
    EXPECT_EQ(close_(), 0);
    EXPECT_NE(add_("after closing", -1, 0), 0);

    const std::string text = ReadText(kPath);
    const std::regex line("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)  ([^\\r\\n]*)\\r\\n");
    std::vector<std::string> entries;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
         it != std::sregex_iterator(); ++it) {
        entries.push_back((*it)[2]);
    }
    ASSERT_EQ(entries.size(), std::size(cases)) << text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i], cases[i].entry);
    }
    EXPECT_EQ(text.find("nowhere"), std::string::npos);
    EXPECT_EQ(text.find("after closing"), std::string::npos);
}

}  // namespace
}  // namespace qx::test

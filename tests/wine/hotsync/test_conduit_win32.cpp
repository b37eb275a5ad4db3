// A conduit for the HotSync Manager's tests. It writes what it received and what the HotSync
// libraries answered to "hotsync_test_conduit.txt" beside itself, one "key=value" line each, and
// logs its start, one text line and its end. Registered for the creator 'FAIL' it answers 4107.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "common/byte_io.h"
#include "common/creator_id.h"
#include "conduit/sync/sync_manager_abi.h"
#include "conduit/sync/sync_records.h"

namespace {

constexpr char kName[] = "HotSync Test Conduit";  // in its log entries
constexpr int32_t kConduitFailed = 4107;

HMODULE g_self = nullptr;

std::string Folder(HMODULE module) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string HotSyncFolder() {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Palm Computing\\Pilot Desktop\\Core", "Path",
                     RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) {
        return "C:\\PILOT";
    }
    return path;
}

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct Report {
    std::string text;
    void Add(const std::string& key, const std::string& value) { text += key + "=" + value + "\n"; }
    void Add(const std::string& key, long long value) { Add(key, std::to_string(value)); }
};

// Reads the directory database's info block into a buffer of `capacity` bytes.
void ReadInfoBlock(qx::abi::SyncReadDBAppInfoBlockFn read, uint8_t handle, uint16_t capacity,
                   const std::string& key, Report& report) {
    std::vector<uint8_t> buffer(capacity == 0 ? 1 : capacity);
    qx::BlockDescriptor block;
    block.byte_count = capacity;
    std::vector<uint8_t> packed =
        qx::EncodeBlockDescriptor(block, reinterpret_cast<uintptr_t>(buffer.data()));
    const int32_t result = read(handle, packed.data());
    uintptr_t address = 0;
    std::string error;
    qx::DecodeBlockDescriptor(packed, block, address, error);
    report.Add(key, std::string(result == 0 ? "ok" : "failed") + " size " +
                        std::to_string(block.bytes_read) +
                        (result == 0 ? " tag " + std::string(buffer.begin(), buffer.begin() + 4)
                                     : std::string()));
}

void UseSyncManager(HMODULE sync, uint32_t creator, Report& report) {
    auto read_user = Bind<qx::abi::SyncReadUserIDFn>(sync, "SyncReadUserID");
    auto open = Bind<qx::abi::SyncOpenDBFn>(sync, "SyncOpenDB");
    auto close = Bind<qx::abi::SyncCloseDBFn>(sync, "SyncCloseDB");
    auto read_info = Bind<qx::abi::SyncReadDBAppInfoBlockFn>(sync, "SyncReadDBAppInfoBlock");
    auto remove = Bind<qx::abi::SyncDeleteDBFn>(sync, "SyncDeleteDB");
    auto create = Bind<qx::abi::SyncCreateDBFn>(sync, "SyncCreateDB");
    auto write = Bind<qx::abi::SyncWriteRecFn>(sync, "SyncWriteRec");
    if (!read_user || !open || !close || !read_info || !remove || !create || !write) {
        report.Add("sync", "functions missing");
        return;
    }
    qx::HandheldUserRecord user;
    read_user(user.bytes.data());
    report.Add("handheld user", user.UserName());
    report.Add("handheld user ID", user.UserId());

    uint8_t handle = qx::kNoHandle, second = qx::kNoHandle;
    report.Add("open directory", open("QX-SE_SysHeap", 0, &handle, qx::kOpenReadWriteExclusive));
    report.Add("open again", open("QX-SE_SysHeap", 0, &second, qx::kOpenReadWriteExclusive) != 0
                                 ? "refused"
                                 : "opened");
    ReadInfoBlock(read_info, handle, 4, "info block in 4 bytes", report);
    ReadInfoBlock(read_info, handle, 64, "info block in 64 bytes", report);
    report.Add("close directory", close(handle));

    // A database of our own, rewritten on every call.
    remove("HotSyncTestDB", 0);
    qx::CreateDbRequest request;
    request.creator = creator;
    request.type = qx::FourCc("DATA");
    qx::SetFieldName(request.name, "HotSyncTestDB");
    std::vector<uint8_t> packed = qx::EncodeCreateDbRequest(request);
    report.Add("create", create(packed.data()));
    std::string error;
    qx::DecodeCreateDbRequest(packed, request, error);
    uint8_t data[3] = {7, 8, 9};
    qx::RecordDescriptor record;
    record.handle = request.handle;
    record.record_size = sizeof data;
    record.capacity = sizeof data;
    packed = qx::EncodeRecordDescriptor(record, reinterpret_cast<uintptr_t>(data));
    report.Add("write record", write(packed.data()));
    uintptr_t address = 0;
    qx::DecodeRecordDescriptor(packed, record, address, error);
    report.Add("record ID given", record.record_id != 0 ? "yes" : "no");
    report.Add("close", close(request.handle));
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
    }
    return TRUE;
}

__declspec(dllexport) int32_t OpenConduit(void* /*progress*/, uint8_t* properties) {
    Report report;
    const auto* name = properties + qx::abi::kSyncPropertiesUserName;
    std::size_t length = 0;
    while (length < qx::abi::kSyncPropertiesUserNameSize && name[length] != 0) {
        ++length;
    }
    const uint32_t creator =
        qx::LoadU32(std::span<const uint8_t, 4>(properties + qx::abi::kSyncPropertiesCreator, 4),
                    qx::ByteOrder::kLittle);
    report.Add("user", std::string(reinterpret_cast<const char*>(name), length));
    report.Add("creator", qx::FourCcText(creator));

    // The HotSync libraries, loaded by full path as every conduit loads them.
    const std::string folder = HotSyncFolder();
    HMODULE log = LoadLibraryA((folder + "\\HsLog20.dll").c_str());
    HMODULE sync = LoadLibraryA((folder + "\\Sync20.dll").c_str());
    auto add_entry = log ? Bind<qx::abi::LogAddEntryFn>(log, "LogAddEntry") : nullptr;
    if (add_entry != nullptr) {
        add_entry(kName, qx::abi::kLogConduitStart, 0);
        add_entry(("test conduit: hello, " + qx::FourCcText(creator)).c_str(), qx::abi::kLogText,
                  0);
    }
    if (sync != nullptr) {
        UseSyncManager(sync, creator, report);
    }
    const bool fail = creator == qx::FourCc("FAIL");
    if (add_entry != nullptr) {
        add_entry(kName, fail ? qx::abi::kLogConduitFailure : qx::abi::kLogConduitSuccess, 0);
    }
    if (sync != nullptr) {
        FreeLibrary(sync);
    }
    if (log != nullptr) {
        FreeLibrary(log);
    }

    const std::string path = Folder(g_self) + "\\hotsync_test_conduit.txt";
    if (FILE* out = std::fopen(path.c_str(), "ab")) {
        std::fputs((report.text + "--\n").c_str(), out);
        std::fclose(out);
    }
    return fail ? kConduitFailed : 0;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&OpenConduit), qx::abi::OpenConduitFn>);

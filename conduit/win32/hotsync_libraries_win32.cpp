#include "conduit/win32/hotsync_libraries_win32.h"

#include "conduit/spine/conduit_messages.h"
#include "conduit/sync/sync_records.h"

namespace qx {
namespace {

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return slot != nullptr;
}

// Packed records go out as bytes and come back decoded for what the Sync Manager filled in.
template <typename Record, typename Decode>
void TakeBack(const std::vector<uint8_t>& bytes, Record& record, Decode decode) {
    Record back;
    uintptr_t address = 0;
    std::string error;
    if constexpr (std::is_same_v<Record, CreateDbRequest>) {
        if (decode(bytes, back, error)) {
            record = back;
        }
    } else {
        if (decode(bytes, back, address, error)) {
            back.bytes = record.bytes;  // the pointer stays the caller's own
            record = back;
        }
    }
}

}  // namespace

std::string HotSyncFolderOr(const std::string& reported) {
    return reported.empty() ? std::string("C:\\PILOT") : reported;
}

SyncResult HotSyncOps::OpenDB(std::string_view name, uint8_t card, uint8_t& handle, uint8_t mode) {
    const std::string n(name);
    return sync_.open_db(n.c_str(), card, &handle, mode);
}

SyncResult HotSyncOps::DeleteDB(std::string_view name, uint8_t card) {
    const std::string n(name);
    return sync_.delete_db(n.c_str(), card);
}

SyncResult HotSyncOps::CreateDB(CreateDbRequest& request) {
    std::vector<uint8_t> bytes = EncodeCreateDbRequest(request);
    const SyncResult result = sync_.create_db(bytes.data());
    TakeBack(bytes, request, DecodeCreateDbRequest);
    return result;
}

SyncResult HotSyncOps::CloseDB(uint8_t handle) {
    return sync_.close_db(handle);
}

SyncResult HotSyncOps::WriteRec(RecordDescriptor& desc) {
    std::vector<uint8_t> bytes =
        EncodeRecordDescriptor(desc, reinterpret_cast<uintptr_t>(desc.bytes));
    const SyncResult result = sync_.write_rec(bytes.data());
    TakeBack(bytes, desc, DecodeRecordDescriptor);
    return result;
}

SyncResult HotSyncOps::WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) {
    std::vector<uint8_t> bytes =
        EncodeBlockDescriptor(block, reinterpret_cast<uintptr_t>(block.bytes));
    const SyncResult result = sync_.write_app_info(handle, bytes.data());
    TakeBack(bytes, block, DecodeBlockDescriptor);
    return result;
}

SyncResult HotSyncOps::ReadUserID(HandheldUserRecord& user) {
    return sync_.read_user_id(user.bytes.data());
}

SyncResult HotSyncOps::ResetSyncFlags(uint8_t handle) {
    return sync_.reset_sync_flags(handle);
}

SyncResult HotSyncOps::GetDBRecordCount(uint8_t handle, uint16_t& count) {
    return sync_.get_record_count(handle, &count);
}

SyncResult HotSyncOps::PurgeDeletedRecs(uint8_t handle) {
    return sync_.purge_deleted(handle);
}

SyncResult HotSyncOps::ReadDBAppInfoBlock(uint8_t handle, BlockDescriptor& block) {
    std::vector<uint8_t> bytes =
        EncodeBlockDescriptor(block, reinterpret_cast<uintptr_t>(block.bytes));
    const SyncResult result = sync_.read_app_info(handle, bytes.data());
    TakeBack(bytes, block, DecodeBlockDescriptor);
    return result;
}

SyncResult HotSyncOps::ReadRecordByIndex(RecordDescriptor& desc) {
    std::vector<uint8_t> bytes =
        EncodeRecordDescriptor(desc, reinterpret_cast<uintptr_t>(desc.bytes));
    const SyncResult result = sync_.read_record(bytes.data());
    TakeBack(bytes, desc, DecodeRecordDescriptor);
    return result;
}

SyncResult HotSyncOps::YieldCycles(uint16_t count) {
    return sync_.yield_cycles(count);
}

void HotSyncLog::Add(std::string_view text, int32_t activity, int32_t time_stamp) {
    const std::string t(text);
    add_(t.c_str(), activity, time_stamp);
}

HotSyncLibraries::HotSyncLibraries(const std::string& hotsync_dir, ErrorReporter& errors)
    : dir_(hotsync_dir), errors_(errors) {
    HMODULE log = Load("HsLog20.dll");
    HMODULE commands = Load("Cmds21.dll");
    HMODULE sync = Load("Sync20.dll");
    if (commands == nullptr) {
        commands = Load("Cmds20.dll");  // the older HotSync Manager ships only this one
    }
    if (log == nullptr || commands == nullptr || sync == nullptr) {
        return;
    }
    SyncManagerFunctions& f = sync_;
    complete_ =
        Resolve(log, "LogAddEntry", log_) && Resolve(sync, "SyncOpenDB", f.open_db) &&
        Resolve(sync, "SyncDeleteDB", f.delete_db) && Resolve(sync, "SyncCreateDB", f.create_db) &&
        Resolve(sync, "SyncCloseDB", f.close_db) && Resolve(sync, "SyncWriteRec", f.write_rec) &&
        Resolve(sync, "SyncWriteDBAppInfoBlock", f.write_app_info) &&
        Resolve(sync, "SyncReadUserID", f.read_user_id) &&
        Resolve(sync, "SyncResetSyncFlags", f.reset_sync_flags) &&
        Resolve(sync, "SyncGetDBRecordCount", f.get_record_count) &&
        Resolve(sync, "SyncPurgeDeletedRecs", f.purge_deleted) &&
        Resolve(sync, "SyncReadDBAppInfoBlock", f.read_app_info) &&
        Resolve(sync, "SyncReadRecordByIndex", f.read_record) &&
        Resolve(sync, "SyncYieldCycles", f.yield_cycles);
}

HotSyncLibraries::~HotSyncLibraries() {
    for (int i = loaded_ - 1; i >= 0; --i) {
        FreeLibrary(modules_[i]);
    }
}

HMODULE HotSyncLibraries::Load(const char* file) {
    const DWORD attributes = GetFileAttributesA(dir_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errors_.ReportError(kMsgCannotFind, dir_);
    }
    std::string path = dir_;
    if (path.empty() || path.back() != '\\') {
        path.push_back('\\');
    }
    path += file[0] == '\\' ? file + 1 : file;
    HMODULE module = LoadLibraryA(path.c_str());
    if (module != nullptr) {
        modules_[loaded_++] = module;
    }
    return module;
}

}  // namespace qx

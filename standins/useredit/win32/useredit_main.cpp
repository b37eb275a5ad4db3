// USEREDIT.dll: the user manager over the HotSync user list of one HotSync folder. Each process
// opens its own copy of the list; changes stay in that copy until SaveUserChanges.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "conduit/storage/native_file_system.h"
#include "standins/useredit/user_list.h"
#include "utility/core/user_record.h"

namespace {

// The user manager's error codes, left in the caller's error variable.
enum UserManagerError : int32_t {
    kNoError = 0,
    kNotOpen = 1,
    kNoMoreUsers = 2,
    kNoSuchUser = 3,
    kBadName = 4,
    kStorageFailed = 5,
};

struct Manager {
    qx::NativeFileSystem files;
    std::optional<qx::UserList> list;
    std::size_t cursor = 0;
};

Manager& State() {
    static Manager manager;
    return manager;
}

int32_t Fail(int32_t* error, UserManagerError code) {
    if (error != nullptr) {
        *error = code;
    }
    return 0;
}

int32_t Succeed(int32_t* error) {
    if (error != nullptr) {
        *error = kNoError;
    }
    return 1;
}

void PutUser(const qx::HotSyncUser& user, uint8_t* record) {
    const qx::UserManagerRecord bytes =
        qx::MakeUserManagerRecord({user.id, user.name, user.directory, user.extra});
    std::memcpy(record, bytes.data(), bytes.size());
}

int32_t GiveUser(int32_t* error, uint8_t* record) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    if (m.cursor >= m.list->users().size()) {
        return Fail(error, kNoMoreUsers);
    }
    PutUser(m.list->users()[m.cursor++], record);
    return Succeed(error);
}

}  // namespace

extern "C" {

__declspec(dllexport) int32_t InitUserManager(const char* hotsync_dir, int32_t* error) {
    Manager& m = State();
    qx::UserList list;
    std::string problem;
    if (!list.Load(m.files, hotsync_dir != nullptr && *hotsync_dir ? hotsync_dir : ".", problem)) {
        m.list.reset();
        return Fail(error, kStorageFailed);
    }
    m.list = std::move(list);
    m.cursor = 0;
    return Succeed(error);
}

__declspec(dllexport) int32_t UninitUserManager(int32_t* error) {
    State().list.reset();
    return Succeed(error);
}

__declspec(dllexport) int32_t FindFirstUser(uint8_t* record, int32_t* error) {
    State().cursor = 0;
    return GiveUser(error, record);
}

__declspec(dllexport) int32_t FindNextUser(uint8_t* record, int32_t* error) {
    return GiveUser(error, record);
}

__declspec(dllexport) int32_t FindUserByID(uint32_t id, uint8_t* record, int32_t* error) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    const qx::HotSyncUser* user = m.list->Find(id);
    if (user == nullptr) {
        return Fail(error, kNoSuchUser);
    }
    PutUser(*user, record);
    return Succeed(error);
}

__declspec(dllexport) int32_t AddUser(uint8_t* record, int32_t* error) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    const qx::UserManagerFields asked = qx::ReadUserManagerRecord(
        std::span<const uint8_t, qx::kUserManagerRecordSize>(record, qx::kUserManagerRecordSize));
    const auto added = m.list->Add(asked.user_name);
    if (!added) {
        return Fail(error, kBadName);
    }
    PutUser(*added, record);
    return Succeed(error);
}

__declspec(dllexport) int32_t DeleteUser(uint32_t id, int32_t* error) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    return m.list->Remove(id) ? Succeed(error) : Fail(error, kNoSuchUser);
}

__declspec(dllexport) int32_t RenameUser(uint32_t id, const char* name, int32_t* error) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    return name != nullptr && m.list->Rename(id, name) ? Succeed(error) : Fail(error, kBadName);
}

__declspec(dllexport) int32_t SaveUserChanges(int32_t* error) {
    Manager& m = State();
    if (!m.list) {
        return Fail(error, kNotOpen);
    }
    std::string problem;
    return m.list->Save(m.files, problem) ? Succeed(error) : Fail(error, kStorageFailed);
}

}  // extern "C"

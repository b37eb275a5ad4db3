// The HotSync user directory: Palm Desktop's user manager, opened on first use, with its records
// translated into UserRecord. Results and error codes are the user manager's own.

#include <span>

#include "utility/core/user_record.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/user_manager_win32.h"

using namespace qx;

namespace {

// The library's own code for abandoning changes when the user manager was never opened.
constexpr int32_t kErrorNotOpen = 4001;

// Runs a find or add against a fresh 336-byte record and translates the record on success.
template <typename Call>
int32_t WithRecord(UserRecord* user, UserManagerRecord record, Call call) {
    const int32_t result = call(record.data());
    if (result != 0 && user != nullptr) {
        FillUserRecord(ReadUserManagerRecord(record), *user);
    }
    return result;
}

const UserManagerCalls* OpenedUserManager() {
    EnsureUserManagerOpen();  // a failed opening shows in the call that follows
    return UserManager();
}

}  // namespace

int32_t QX_FindFirstUser(UserRecord* user, int32_t* error) {
    const UserManagerCalls* um = OpenedUserManager();
    if (um == nullptr) {
        return 0;
    }
    return WithRecord(user, {}, [&](uint8_t* r) { return um->FindFirstUser(r, error); });
}

int32_t QX_FindNextUser(UserRecord* user, int32_t* error) {
    const UserManagerCalls* um = OpenedUserManager();
    if (um == nullptr) {
        return 0;
    }
    return WithRecord(user, {}, [&](uint8_t* r) { return um->FindNextUser(r, error); });
}

int32_t QX_FindUserByID(uint32_t hotsync_id, UserRecord* user, int32_t* error) {
    const UserManagerCalls* um = OpenedUserManager();
    if (um == nullptr) {
        return 0;
    }
    return WithRecord(user, {}, [&](uint8_t* r) { return um->FindUserByID(hotsync_id, r, error); });
}

int32_t QX_AddUser(UserRecord* user, int32_t* error) {
    const UserManagerCalls* um = OpenedUserManager();
    if (um == nullptr || user == nullptr) {
        return 0;
    }
    UserManagerFields asked;
    asked.user_name = std::string(FieldName(user->user_name));
    return WithRecord(user, MakeUserManagerRecord(asked),
                      [&](uint8_t* r) { return um->AddUser(r, error); });
}

int32_t QX_DeleteUser(uintptr_t first, uintptr_t second) {
    const UserManagerCalls* um = OpenedUserManager();
    return um == nullptr ? 0 : um->DeleteUser(first, second);
}

int32_t QX_RenameUser(uintptr_t first, uintptr_t second, uintptr_t third) {
    const UserManagerCalls* um = OpenedUserManager();
    return um == nullptr ? 0 : um->RenameUser(first, second, third);
}

int32_t QX_CommitUserChanges(uintptr_t argument) {
    const UserManagerCalls* um = OpenedUserManager();
    return um == nullptr ? 0 : um->SaveUserChanges(argument);
}

int32_t QX_AbandonUserChanges(int32_t* error) {
    if (!ReleaseUserManager()) {
        if (error != nullptr) {
            *error = kErrorNotOpen;
        }
        return 0;
    }
    return EnsureUserManagerOpen();
}

#pragma once
// This process's link to Palm Desktop's user manager, USEREDIT.dll: loaded and bound by name on
// first use, opened on the HotSync folder, released when Lutrix is unloaded.

#include <windows.h>

#include <cstdint>

namespace qx {

struct UserManagerCalls {
    int32_t (*InitUserManager)(const char* hotsync_dir, int32_t* error);
    int32_t (*UninitUserManager)(int32_t* error);
    int32_t (*FindFirstUser)(uint8_t* record, int32_t* error);
    int32_t (*FindNextUser)(uint8_t* record, int32_t* error);
    int32_t (*FindUserByID)(uint32_t hotsync_id, uint8_t* record, int32_t* error);
    int32_t (*AddUser)(uint8_t* record, int32_t* error);
    int32_t (*DeleteUser)(uintptr_t, uintptr_t);
    int32_t (*RenameUser)(uintptr_t, uintptr_t, uintptr_t);
    int32_t (*SaveUserChanges)(uintptr_t);
};

// The bound functions, or null when USEREDIT.dll cannot be found or lacks one of them (every
// export then fails with 0, as a failed call of the user manager would).
const UserManagerCalls* UserManager();

// Opens the user manager on the HotSync folder unless it is open already; the result of the
// opening, or 1 when it was open.
int32_t EnsureUserManagerOpen();
// Releases it if open; true when it was.
bool ReleaseUserManager();
bool UserManagerIsOpen();

}  // namespace qx

#include "utility/win32/user_manager_win32.h"

#include <string>

#include "utility/core/path_join.h"
#include "utility/win32/process_state.h"

namespace qx {
namespace {

// Looked for in the HotSync folder, where Palm Desktop keeps it, then by the usual search.
constexpr char kUserManagerLibrary[] = "USEREDIT.dll";

struct Binding {
    bool tried = false;
    HMODULE module = nullptr;
    UserManagerCalls calls{};
    bool complete = false;
    bool open = false;
};

Binding& State() {
    static Binding binding;
    return binding;
}

template <typename Fn>
bool Bind(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return slot != nullptr;
}

}  // namespace

const UserManagerCalls* UserManager() {
    Binding& b = State();
    if (!b.tried) {
        b.tried = true;
        const std::string& hotsync = g_process.paths.hotsync_dir;
        if (!hotsync.empty()) {
            b.module = LoadLibraryA(AppendPathPart(hotsync, kUserManagerLibrary).c_str());
        }
        if (b.module == nullptr) {
            b.module = LoadLibraryA(kUserManagerLibrary);
        }
        UserManagerCalls& c = b.calls;
        b.complete = b.module != nullptr && Bind(b.module, "InitUserManager", c.InitUserManager) &&
                     Bind(b.module, "UninitUserManager", c.UninitUserManager) &&
                     Bind(b.module, "FindFirstUser", c.FindFirstUser) &&
                     Bind(b.module, "FindNextUser", c.FindNextUser) &&
                     Bind(b.module, "FindUserByID", c.FindUserByID) &&
                     Bind(b.module, "AddUser", c.AddUser) &&
                     Bind(b.module, "DeleteUser", c.DeleteUser) &&
                     Bind(b.module, "RenameUser", c.RenameUser) &&
                     Bind(b.module, "SaveUserChanges", c.SaveUserChanges);
    }
    return b.complete ? &b.calls : nullptr;
}

int32_t EnsureUserManagerOpen() {
    Binding& b = State();
    if (b.open) {
        return 1;
    }
    const UserManagerCalls* calls = UserManager();
    if (calls == nullptr) {
        return 0;
    }
    // The user manager wants the folder with its closing backslash; an empty folder stays empty.
    char folder[260] = {};
    const std::string& hotsync = g_process.paths.hotsync_dir;
    std::string path = hotsync.substr(0, sizeof folder - 1);
    if (!path.empty() && path.back() != '\\' && path.size() < sizeof folder - 1) {
        path.push_back('\\');
    }
    path.copy(folder, sizeof folder - 1);
    int32_t error = 0;
    const int32_t opened = calls->InitUserManager(folder, &error);
    b.open = opened != 0;
    return opened;
}

bool ReleaseUserManager() {
    Binding& b = State();
    if (!b.open) {
        return false;
    }
    b.open = false;
    int32_t error = 0;
    b.calls.UninitUserManager(&error);
    return true;
}

bool UserManagerIsOpen() {
    return State().open;
}

}  // namespace qx

// Handing .PRC and .PDB files to HotSync's own install mechanism.

#include <windows.h>

#include <string>

#include "utility/core/install_paths.h"
#include "utility/core/path_join.h"
#include "utility/core/stored_string.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/process_state.h"
#include "utility/win32/shared_section.h"
#include "utility/win32/show_dll_error.h"

using namespace qx;

namespace {

// The install folder of a user the user manager knows; nothing for an unknown user.
bool UserInstallDirectory(uint32_t hotsync_id, std::string& directory) {
    UserRecord user{};
    int32_t error = 0;
    if (QX_FindUserByID(hotsync_id, &user, &error) == 0) {
        return false;
    }
    directory = InstallDirectory(g_process.paths.hotsync_dir,
                                 FieldText(user.directory_name, sizeof user.directory_name));
    return true;
}

bool DirectoryExistsOrMade(const std::string& directory) {
    if (GetFileAttributesA(directory.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;  // something is there: the copy will tell whether it is a folder
    }
    return CreateDirectoryA(directory.c_str(), nullptr) != 0;
}

bool RaiseInstallFlag(uint32_t hotsync_id) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, InstallFlagKey(g_process.paths.palm_user_key).c_str(), 0,
                      KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD one = 1;
    const bool written =
        RegSetValueExA(key, InstallFlagName(hotsync_id).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&one), sizeof one) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace

int32_t QX_InstallPRC(uint32_t hotsync_id, const char* path) {
    if (path == nullptr) {
        return 0;  // nothing to hand over: raising the flag would promise a file that is not there
    }
    if (hotsync_id == 0) {
        hotsync_id = g_shared.state.hotsync_user_id;  // the user being synchronised
        if (hotsync_id == 0) {
            return 0;
        }
    }
    std::string directory;
    if (UserInstallDirectory(hotsync_id, directory)) {
        if (!DirectoryExistsOrMade(directory)) {
            return 0;
        }
        const std::string target = InstallTarget(directory, path);
        if (!CopyFileA(path, target.c_str(), FALSE) ||
            !SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            ShowDllError(kMsgCannotCopyToInstallDir, InstallFailureDetail(path, target).c_str());
            return 0;
        }
    }
    // HotSync looks at the flag even for a user this desktop's list does not know (yet).
    return RaiseInstallFlag(hotsync_id) ? 1 : 0;
}

int32_t QX_CheckInstallPending(uint32_t hotsync_id) {
    std::string directory;
    if (!UserInstallDirectory(hotsync_id, directory)) {
        return 0;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(AppendPathPart(directory, "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int32_t pending = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            pending = 1;
        }
    } while (pending == 0 && FindNextFileA(search, &found));
    FindClose(search);
    return pending;
}

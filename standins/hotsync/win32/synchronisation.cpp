#include "standins/hotsync/win32/synchronisation.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "common/creator_id.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_manager_abi.h"
#include "standins/handheld/handheld_device.h"
#include "standins/hotsync/conduit_registration.h"
#include "standins/hotsync/install_folder.h"
#include "standins/hotsync/standin_exports.h"
#include "standins/hotsync/sync_properties.h"
#include "standins/useredit/user_list.h"

namespace qx::hotsync {

namespace {

// The Palm Desktop keys of the current user, newest generation last; the first that exists holds
// the conduit entries and the HotSync Manager's settings.
constexpr std::array<const char*, 2> kPalmUserKeys = {
    "Software\\U.S. Robotics\\Pilot Desktop",
    "Software\\Palm Computing\\Pilot Desktop",
};
constexpr char kSettingsSubkey[] = "HotSync Manager";
// Held while a synchronisation runs, so two never share the cradle.
constexpr char kSyncMutexName[] = "Quorvix HotSync stand-in: synchronisation";
constexpr DWORD kMaxValue = 260;

std::string Hex(int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(code));
    return text;
}

std::optional<std::string> OpenPalmKey(HKEY& key) {
    for (const char* name : kPalmUserKeys) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, name, 0, KEY_READ | KEY_WRITE, &key) ==
            ERROR_SUCCESS) {
            return std::string(name);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadValue(HKEY key, const char* name) {
    std::vector<uint8_t> data(kMaxValue);
    DWORD size = kMaxValue;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    return data;
}

std::vector<RegistrySubkey> ReadSubkeys(HKEY palm) {
    std::vector<RegistrySubkey> subkeys;
    for (DWORD index = 0;; ++index) {
        char name[kMaxValue];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(palm, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        RegistrySubkey subkey;
        subkey.name = std::string(name, length);
        HKEY entry = nullptr;
        if (RegOpenKeyExA(palm, name, 0, KEY_READ, &entry) == ERROR_SUCCESS) {
            if (auto conduit = ReadValue(entry, "Conduit")) {
                std::string text(conduit->begin(), conduit->end());
                subkey.conduit = text.substr(0, text.find('\0'));
            }
            subkey.creator = ReadValue(entry, "Creator");
            RegCloseKey(entry);
        }
        subkeys.push_back(std::move(subkey));
    }
    return subkeys;
}

// The Install<ID> flag in the HotSync Manager's settings: its value, or 0 when it is not there.
DWORD InstallFlag(HKEY palm, const std::string& name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueA(palm, kSettingsSubkey, name.c_str(), RRF_RT_REG_DWORD, &type, &value, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

bool ClearInstallFlag(HKEY palm, const std::string& name) {
    const DWORD zero = 0;
    return RegSetKeyValueA(palm, kSettingsSubkey, name.c_str(), REG_DWORD, &zero, sizeof zero) ==
           ERROR_SUCCESS;
}

// The HotSync libraries as this process uses them; a conduit that loads them by the same path
// gets these very instances.
class Libraries {
  public:
    ~Libraries() {
        if (log_ != nullptr) {
            FreeLibrary(log_);
        }
        if (sync_ != nullptr) {
            FreeLibrary(sync_);
        }
    }

    bool Load(const std::string& folder, std::string& error) {
        const std::string sync_path = folder + "\\Sync20.dll";
        const std::string log_path = folder + "\\HsLog20.dll";
        sync_ = LoadLibraryA(sync_path.c_str());
        log_ = LoadLibraryA(log_path.c_str());
        if (sync_ == nullptr || log_ == nullptr) {
            error = "cannot load " + (sync_ == nullptr ? sync_path : log_path);
            return false;
        }
        connect = Bind<standin::ConnectDeviceFn>(sync_, standin::kConnectDevice);
        disconnect = Bind<standin::DisconnectDeviceFn>(sync_, standin::kDisconnectDevice);
        open_log = Bind<standin::OpenLogFn>(log_, standin::kOpenLog);
        close_log = Bind<standin::CloseLogFn>(log_, standin::kCloseLog);
        add_entry = Bind<abi::LogAddEntryFn>(log_, "LogAddEntry");
        if (!connect || !disconnect || !open_log || !close_log || !add_entry) {
            error = "the HotSync libraries in " + folder + " lack the stand-in's functions";
            return false;
        }
        return true;
    }

    standin::ConnectDeviceFn connect = nullptr;
    standin::DisconnectDeviceFn disconnect = nullptr;
    standin::OpenLogFn open_log = nullptr;
    standin::CloseLogFn close_log = nullptr;
    abi::LogAddEntryFn add_entry = nullptr;

  private:
    template <typename Fn>
    static Fn Bind(HMODULE module, const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    HMODULE sync_ = nullptr;
    HMODULE log_ = nullptr;
};

// Calls one conduit and says how it went; true when its OpenConduit answered 0.
bool CallConduit(const ConduitRegistration& entry, const std::string& user_name,
                 const std::function<void(const std::string&)>& note) {
    const std::string which = entry.key_name + " (" + entry.conduit_path + ", creator '" +
                              FourCcText(entry.creator) + "')";
    HMODULE module = LoadLibraryA(entry.conduit_path.c_str());
    if (module == nullptr) {
        note("Conduit " + which + " could not be loaded (error " + std::to_string(GetLastError()) +
             ")");
        return false;
    }
    auto open = reinterpret_cast<abi::OpenConduitFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "OpenConduit")));
    if (open == nullptr) {
        FreeLibrary(module);
        note("Conduit " + which + " has no OpenConduit");
        return false;
    }
    SyncProperties properties = MakeSyncProperties(user_name, entry.creator);
    note("Calling conduit " + which);
    const int32_t result = open(nullptr, properties.data());
    FreeLibrary(module);
    note("Conduit " + entry.key_name + (result == 0 ? " succeeded" : " failed") + " (result " +
         std::to_string(result) + ")");
    return result == 0;
}

class SyncLock {
  public:
    SyncLock() : mutex_(CreateMutexA(nullptr, FALSE, kSyncMutexName)) {
        // An abandoned lock (its holder died mid-synchronisation) is ours now.
        const DWORD woke = mutex_ != nullptr ? WaitForSingleObject(mutex_, 0) : WAIT_FAILED;
        held_ = woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED;
    }
    ~SyncLock() {
        if (held_) {
            ReleaseMutex(mutex_);
        }
        if (mutex_ != nullptr) {
            CloseHandle(mutex_);
        }
    }
    bool held() const { return held_; }

  private:
    HANDLE mutex_;
    bool held_ = false;
};

}  // namespace

std::string HotSyncFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const auto slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

bool Synchronise(const std::function<void(const std::string&)>& say) {
    SyncLock lock;
    if (!lock.held()) {
        say("A synchronisation is already running");
        return false;
    }
    const std::string folder = HotSyncFolder();
    const std::string cradle = folder + "\\" + standin::kCradleFolder;
    HKEY palm = nullptr;
    const auto palm_key = OpenPalmKey(palm);
    if (!palm_key) {
        say("No Palm Desktop settings for this user: no conduits, no install flags");
        return false;
    }
    std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> palm_closer(palm,
                                                                                     &RegCloseKey);

    // Who is in the cradle, and which user of this desktop that is.
    NativeFileSystem files;
    const SystemPalmClock clock;
    std::string error;
    auto device = HandheldDevice::Open(files, clock, cradle, error);
    if (!device) {
        say("No handheld in the cradle (" + cradle + "): " + error);
        return false;
    }
    UserList users;
    if (!users.Load(files, folder, error)) {
        say("Cannot read the HotSync users: " + error);
        return false;
    }
    const HotSyncUser* user = users.Find(device->user_id());
    if (user == nullptr) {
        say("The handheld's user \"" + device->user_name() + "\" (ID " +
            std::to_string(device->user_id()) + ") is not a HotSync user of this desktop");
        return false;
    }
    const std::string user_folder = folder + "\\" + user->directory;
    if (!files.CreateDirectories(user_folder, error)) {
        say("Cannot make the user's folder " + user_folder + ": " + error);
        return false;
    }

    Libraries libraries;
    if (!libraries.Load(folder, error)) {
        say(error);
        return false;
    }
    const std::string log_path = user_folder + "\\" + standin::kLogFileName;
    libraries.open_log(log_path.c_str());
    // Each step goes to the log and to whoever pressed the button.
    const auto note = [&](const std::string& line) {
        libraries.add_entry(line.c_str(), abi::kLogText, 0);
        say(line);
    };
    bool ok = true;
    note("HotSync started for \"" + user->name + "\" (ID " + std::to_string(user->id) + ")");

    const std::string flag = InstallFlagName(user->id);
    if (InstallFlag(palm, flag) == 1) {
        const InstallOutcome outcome =
            InstallWaitingFiles(files, *device, user_folder + "\\Install");
        for (const auto& line : outcome.installed) {
            note("Installed " + line);
        }
        for (const auto& line : outcome.failed) {
            note("Could not install " + line);
        }
        for (const auto& line : outcome.ignored) {
            note("Left in the Install folder: " + line + " (not a .prc or .pdb file)");
        }
        // Files that failed stay flagged, so the next synchronisation tries them again.
        if (outcome.AllInstalled() && !ClearInstallFlag(palm, flag)) {
            note("Could not clear " + flag);
            ok = false;
        }
        ok = ok && outcome.AllInstalled();
    }
    const SyncResult released = device->CloseAll();
    device.reset();
    if (released != kSyncOk) {
        note("Could not store the installed databases (error " + Hex(released) + ")");
        ok = false;
    }

    // The conduits, with the handheld in the cradle for their Sync functions.
    const ConduitSelection selection = SelectConduits(ReadSubkeys(palm));
    for (const auto& skipped : selection.skipped) {
        note("Conduit entry skipped: " + skipped);
    }
    char problem[256] = {};
    const int32_t connected = libraries.connect(cradle.c_str(), problem, sizeof problem);
    if (connected != kSyncOk) {
        note("Cannot connect the handheld (error " + Hex(connected) + "): " + problem);
        ok = false;
    } else {
        for (const auto& entry : selection.conduits) {
            ok = CallConduit(entry, user->name, note) && ok;
        }
        const int32_t written = libraries.disconnect();
        if (written != kSyncOk) {
            note("Could not write the handheld back (error " + Hex(written) + ")");
            ok = false;
        }
    }
    note(ok ? "HotSync ended: OK" : "HotSync ended with failures");
    libraries.close_log();
    return ok;
}

}  // namespace qx::hotsync

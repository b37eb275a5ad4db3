// HsLog20.dll: the HotSync log. Every entry becomes one stamped line appended to the log file of
// the user being synchronised, which HOTSYNC.EXE names before it calls the conduits. The file is
// opened for each line, so what was written survives whatever happens after it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "conduit/sync/sync_manager_abi.h"
#include "standins/hotsync/log_line.h"
#include "standins/hotsync/standin_exports.h"

namespace {

std::string& LogPath() {
    static std::string path;
    return path;
}

bool AppendLine(const std::string& path, const std::string& line) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

}  // namespace

extern "C" {

__declspec(dllexport) int32_t StandInOpenLog(const char* path) {
    if (path == nullptr || *path == '\0') {
        return qx::kSyncErrBadArgument;
    }
    LogPath() = path;
    return qx::kSyncOk;
}

__declspec(dllexport) int32_t StandInCloseLog() {
    LogPath().clear();
    return qx::kSyncOk;
}

// Every line gets the local date and time, whatever `timestamp` asks: a log read later needs it.
__declspec(dllexport) int32_t
    LogAddEntry(const char* text, int32_t activity, int32_t /*timestamp*/) {
    if (LogPath().empty()) {
        return qx::standin::kNoLogOpen;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const qx::LogStamp stamp{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const std::string line = qx::FormatLogLine(stamp, text != nullptr ? text : "", activity);
    return AppendLine(LogPath(), line) ? qx::kSyncOk : qx::kSyncErrFileWrite;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&LogAddEntry), qx::abi::LogAddEntryFn>);
static_assert(std::is_same_v<decltype(&StandInOpenLog), qx::standin::OpenLogFn>);
static_assert(std::is_same_v<decltype(&StandInCloseLog), qx::standin::CloseLogFn>);

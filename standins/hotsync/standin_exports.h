#pragma once
// Exports of our HotSync libraries that are the stand-in's own and no conduit calls: how
// HOTSYNC.EXE, which shares its process with the conduits it loads, puts the emulated handheld
// into the cradle and tells the log library whose log to write. A conduit loads these libraries
// from the HotSync folder by full path and so gets the very instances HOTSYNC.EXE prepared.

#include <cstdint>

#include "conduit/sync/sync_result.h"

namespace qx::standin {

extern "C" {
// Sync20.dll. Opens the emulated handheld in `folder` for the Sync functions; a handheld already
// in the cradle must be taken out first. On failure the reason goes to `error` (cut to its size).
using ConnectDeviceFn = int32_t (*)(const char* folder, char* error, uint32_t error_size);
// Closes whatever the conduits left open, writing it back, and empties the cradle.
using DisconnectDeviceFn = int32_t (*)();

// HsLog20.dll. Entries go to the log file at `path` (appended) until StandInCloseLog.
using OpenLogFn = int32_t (*)(const char* path);
using CloseLogFn = int32_t (*)();
}

inline constexpr char kConnectDevice[] = "StandInConnectDevice";
inline constexpr char kDisconnectDevice[] = "StandInDisconnectDevice";
inline constexpr char kOpenLog[] = "StandInOpenLog";
inline constexpr char kCloseLog[] = "StandInCloseLog";

// Sync results of the stand-in's own.
inline constexpr SyncResult kNoDeviceInCradle = 0x4030;
inline constexpr SyncResult kCradleOccupied = 0x4031;
inline constexpr SyncResult kNoLogOpen = 0x4032;

// The cradle: the emulated handheld's folder inside the HotSync folder.
inline constexpr char kCradleFolder[] = "Cradle";
// Each user's log, in the user's folder.
inline constexpr char kLogFileName[] = "HotSync Log.txt";

}  // namespace qx::standin

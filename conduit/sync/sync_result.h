#pragma once
// Results of the handheld-database operations. Like the Sync Manager they stand in for, they answer
// 0 for success and a non-zero code for failure; callers only ever test for zero, so the codes
// exist to make logs and tests say which failure happened.

#include <cstdint>

namespace qx {

using SyncResult = int32_t;

inline constexpr SyncResult kSyncOk = 0;
// No database of that name exists (also what the PDB writer answers to every open and delete).
inline constexpr SyncResult kSyncErrNotFound = 0x4003;
// The database could not be closed or its file could not be written.
inline constexpr SyncResult kSyncErrFileWrite = 0x4004;
// Not enough memory to keep a record or block.
inline constexpr SyncResult kSyncErrOutOfMemory = 0x400D;
// The operation has no meaning for the backend in use.
inline constexpr SyncResult kSyncErrNotImplemented = 0x10004000;

// Codes of our own for the emulated handheld and for requests that would break a database's
// limits (a record larger than its buffer, a 65,536th record, a name too long).
inline constexpr SyncResult kSyncErrBadArgument = 0x4010;
inline constexpr SyncResult kSyncErrAlreadyOpen = 0x4011;
inline constexpr SyncResult kSyncErrAlreadyExists = 0x4012;
inline constexpr SyncResult kSyncErrBadHandle = 0x4013;
inline constexpr SyncResult kSyncErrTooManyRecords = 0x4014;
inline constexpr SyncResult kSyncErrBufferTooSmall = 0x4015;
inline constexpr SyncResult kSyncErrCorrupt = 0x4016;
inline constexpr SyncResult kSyncErrStorage = 0x4017;

}  // namespace qx

#pragma once
// The handheld-database toolbox of the transfers: SyncOps slots wrapped into calls that answer 1
// for success and 0 for failure, the open/create sequence, and the record helpers around the one
// RecordBuffer. They work the same against a handheld and against the PDB writer because they only
// go through the SyncOps they are given (the conduit passes its active one).

#include <cstdint>
#include <span>
#include <string_view>

#include "conduit/sync/error_reporter.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/sync/sync_ops.h"

namespace qx {

inline constexpr std::string_view kMsgCannotCreateOnHandheld =
    "1030Could not create file on handheld - ";

int OpenHandheldDb(SyncOps& ops, uint8_t& handle, std::string_view name);
int CloseHandheldDb(SyncOps& ops, uint8_t handle);
int DeleteHandheldDb(SyncOps& ops, std::string_view name);
// Bit 0 of `flags` gives the database the backup attribute; other bits are ignored.
int CreateHandheldDb(SyncOps& ops, uint8_t& handle, std::string_view name, uint32_t creator,
                     uint32_t type, uint32_t flags);
// Deletes a database of that name if one exists, then creates it; reports 1030 on failure.
int RecreateHandheldDb(SyncOps& ops, ErrorReporter& errors, uint8_t& handle, std::string_view name,
                       uint32_t creator, uint32_t type, uint32_t flags);
// 1 only when exactly buffer.size() bytes were read; the count read goes to `bytes_read` if given.
int ReadAppInfoBlock(SyncOps& ops, uint8_t handle, std::span<uint8_t> buffer,
                     uint16_t* bytes_read = nullptr);
int WriteAppInfoBlock(SyncOps& ops, uint8_t handle, std::span<const uint8_t> bytes);
// The record's size (0 on failure), its bytes in the buffer's data.
uint32_t ReadRecordAt(SyncOps& ops, RecordBuffer& buffer, uint8_t handle, uint16_t index);
// Writes the first `size` bytes of the buffer's data as a new record (ID 0, attributes 0,
// category 0). A size above the capacity fails without writing.
int WriteRecordBuffer(SyncOps& ops, RecordBuffer& buffer, uint8_t handle, uint32_t size);

}  // namespace qx

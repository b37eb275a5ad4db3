#pragma once
// The record that every process with Lutrix loaded shares: the command queue, the fields the
// conduit publishes about the command it runs, the wait counter and the progress message number.
// Its layout is what clients built against earlier versions of the library see, so every offset is
// pinned below; the records are plain C so they can sit in a shared data section.

#include <cstddef>
#include <cstdint>

namespace qx {

inline constexpr std::size_t kNameFieldSize = 260;  // every name field; at most 259 chars + NUL
inline constexpr int32_t kQueueCapacity = 512;
inline constexpr int32_t kQueueIndexMask = kQueueCapacity - 1;
inline constexpr int32_t kQueueEmpty = -1;  // read index of an empty queue

enum CommandType : int32_t {
    kCopyPilotApp = 1,
    kDeletePilotApp = 2,
    kCopyPilotTable = 3,
    kGetPilotTable = 4,
    kDeletePilotTable = 5,
    kSyncMarker = 6,
    kCopyPilotAppEx = 7,
    kCopyPilotTableEx = 8,
    kInstallPrc = 9,
    kWriteAppPdb = 10,
    kWriteTablePdb = 11,
};

struct CommandEntry {
    int32_t type;
    uint32_t param1;                 // creator ID for commands 7 and 8
    uint32_t param2;                 // bit 0: backup flag of the database the command creates
    char file_name[kNameFieldSize];  // unterminated when the name fills all 260 bytes
};

struct SharedState {
    uint16_t registered_message;
    char user_name[kNameFieldSize];
    uint32_t user_id;
    int32_t command_type;
    char command_file_name[kNameFieldSize];
    int32_t wait_counter;
    uint32_t creator_id;
    uint32_t hotsync_user_id;
    int32_t read_index;
    int32_t write_index;
    CommandEntry entries[kQueueCapacity];
};

static_assert(offsetof(CommandEntry, type) == 0);
static_assert(offsetof(CommandEntry, param1) == 4);
static_assert(offsetof(CommandEntry, param2) == 8);
static_assert(offsetof(CommandEntry, file_name) == 12);
static_assert(sizeof(CommandEntry) == 272);

static_assert(offsetof(SharedState, registered_message) == 0);
static_assert(offsetof(SharedState, user_name) == 2);
static_assert(offsetof(SharedState, user_id) == 264);
static_assert(offsetof(SharedState, command_type) == 268);
static_assert(offsetof(SharedState, command_file_name) == 272);
static_assert(offsetof(SharedState, wait_counter) == 532);
static_assert(offsetof(SharedState, creator_id) == 536);
static_assert(offsetof(SharedState, hotsync_user_id) == 540);
static_assert(offsetof(SharedState, read_index) == 544);
static_assert(offsetof(SharedState, write_index) == 548);
static_assert(offsetof(SharedState, entries) == 552);
static_assert(sizeof(SharedState) == 552 + 512 * 272);

// What a process that loads the library first finds: all zero, the queue empty.
inline constexpr SharedState kInitialSharedState = {
    .registered_message = 0,
    .user_name = {},
    .user_id = 0,
    .command_type = 0,
    .command_file_name = {},
    .wait_counter = 0,
    .creator_id = 0,
    .hotsync_user_id = 0,
    .read_index = kQueueEmpty,
    .write_index = 0,
    .entries = {},
};

}  // namespace qx

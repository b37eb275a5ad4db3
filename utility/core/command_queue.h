#pragma once
// The queue operations on SharedState. They do plain reads and writes of the shared record and
// nothing else: no allocation, no system call. Callers that may race another process hold the
// queue lock around them.

#include <cstdint>

#include "utility/core/dll_messages.h"
#include "utility/core/shared_state.h"

namespace qx {

// The messages a rejected command shows, in the order they are shown.
struct CommandCheck {
    DllMessage messages[2] = {};
    int count = 0;

    bool accepted() const { return count == 0; }
};

// Checks a command before it is queued. Type 6 needs nothing; every other type needs a file name,
// and 7 and 8 also a creator ID (both faults are reported, creator first).
CommandCheck CheckCommand(int32_t type, const char* file_name, uint32_t param1);

// Appends a checked command; false when all 512 slots are taken. A null name stores an empty one.
bool EnqueueCommand(SharedState& state, int32_t type, const char* file_name, uint32_t param1,
                    uint32_t param2);

// Takes the oldest command; false, with nothing written, when the queue is empty. The name goes
// into `buffer` (size bytes, zero-filled after the name, unterminated if the name fills it); the
// buffer and both parameter pointers may be null.
bool TakeCommand(SharedState& state, int32_t* type, char* buffer, int32_t size, uint32_t* param1,
                 uint32_t* param2);

// Discards every queued command.
void EmptyQueue(SharedState& state);

// "CopyPilotAppEx" for 7; "?" for codes that have no name.
const char* CommandTypeName(int32_t type);

// Number of queued commands (0 to 512).
int32_t QueuedCount(const SharedState& state);

}  // namespace qx

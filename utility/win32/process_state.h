#pragma once
// What each process that loads Lutrix keeps for itself: nothing here is shared.

#include <windows.h>

#include "utility/core/desktop_paths.h"
#include "utility/core/queue_lock.h"
#include "utility/core/scrambler.h"

namespace qx {

struct ProcessState {
    HMODULE module = nullptr;
    DesktopPaths paths;
    Scrambler scrambler;
    LockToken lock_token = 0;  // who this process is to the queue lock
};

extern ProcessState g_process;

}  // namespace qx

#pragma once
// Which backend the transfers use and where their outcome lines go. The conduit selects HotSync
// mode (Sync Manager + HotSync log) for a synchronisation and PDB-file mode (PDB writer + "PDB
// FILE" message boxes) for the two PDB exports; the choice stays in force until the next one.

#include "conduit/sync/log_channel.h"
#include "conduit/sync/sync_ops.h"

namespace qx {

struct SyncMode {
    SyncOps* ops = nullptr;
    LogChannel* log = nullptr;
};

// The module-wide selection. Both pointers are set together; one synchronisation or one PDB export
// runs at a time in a process, so it is not locked.
extern SyncOps* ActiveOps;
extern LogChannel* ActiveLogChannel;

void SelectSyncMode(const SyncMode& mode);

}  // namespace qx

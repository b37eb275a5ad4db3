#include "conduit/sync/sync_mode.h"

namespace qx {

SyncOps* ActiveOps = nullptr;
LogChannel* ActiveLogChannel = nullptr;

void SelectSyncMode(const SyncMode& mode) {
    ActiveOps = mode.ops;
    ActiveLogChannel = mode.log;
}

}  // namespace qx

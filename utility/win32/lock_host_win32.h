#pragma once

#include "utility/core/queue_lock.h"

namespace qx {

// This process's token for the queue lock: its ID and the low half of its creation time, so a
// later process that happens to get the same ID is not mistaken for a dead owner.
LockToken CurrentProcessLockToken();

class WindowsLockHost final : public LockHost {
  public:
    bool OwnerAlive(LockToken owner) override;
    void Pause(uint32_t attempt) override;
};

// Holds the shared queue lock for one scope.
class SharedQueueLock {
  public:
    SharedQueueLock();

  private:
    WindowsLockHost host_;
    QueueLockGuard guard_;
};

}  // namespace qx

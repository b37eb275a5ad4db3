#pragma once
// The queue lock's host for tests on Linux: processes are checked with kill(pid, 0).

#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "utility/core/queue_lock.h"

namespace qx {

inline LockToken PosixLockToken() {
    return MakeLockToken(static_cast<uint32_t>(getpid()), 1);
}

class PosixLockHost final : public LockHost {
  public:
    bool OwnerAlive(LockToken owner) override {
        ++checks;
        const pid_t pid = static_cast<pid_t>(owner >> 32);
        return kill(pid, 0) == 0 || errno == EPERM;
    }
    void Pause(uint32_t) override { sched_yield(); }

    int checks = 0;
};

}  // namespace qx

#pragma once
// A lock word in memory shared by several processes, guarding the command queue.
//
// The word holds the owner's token (its process ID in the high half, a value that tells this
// process from a later one with the same ID in the low half) or 0 when free. Taking a free lock is
// one compare-and-swap: no system call, no allocation. A waiter that keeps finding the lock taken
// asks, now and then, whether its owner still runs; if the owner has ended (crashed or killed in
// the middle of a queue operation) the waiter takes the lock over, so no process can leave the
// queue locked for ever.

#include <atomic>
#include <cstdint>

namespace qx {

using LockToken = uint64_t;

inline constexpr LockToken MakeLockToken(uint32_t process_id, uint32_t incarnation) {
    return static_cast<LockToken>(process_id) << 32 | incarnation;
}

// How a waiter learns about the owner and passes time; the Windows and POSIX builds each give one.
class LockHost {
  public:
    virtual bool OwnerAlive(LockToken owner) = 0;
    virtual void Pause(uint32_t attempt) = 0;

  protected:
    ~LockHost() = default;
};

inline constexpr uint32_t kOwnerCheckInterval = 256;  // failed attempts between liveness checks

inline void AcquireQueueLock(LockToken& word, LockToken self, LockHost& host) {
    std::atomic_ref<LockToken> lock(word);
    for (uint32_t attempt = 1;; ++attempt) {
        LockToken owner = 0;
        if (lock.compare_exchange_weak(owner, self, std::memory_order_acquire,
                                       std::memory_order_relaxed)) {
            return;
        }
        if (owner != 0 && attempt % kOwnerCheckInterval == 0 && !host.OwnerAlive(owner) &&
            lock.compare_exchange_strong(owner, self, std::memory_order_acquire,
                                         std::memory_order_relaxed)) {
            return;  // taken over from an owner that ended while holding it
        }
        host.Pause(attempt);
    }
}

inline void ReleaseQueueLock(LockToken& word) {
    std::atomic_ref<LockToken>(word).store(0, std::memory_order_release);
}

// Holds the lock for one scope.
class QueueLockGuard {
  public:
    QueueLockGuard(LockToken& word, LockToken self, LockHost& host) : word_(word) {
        AcquireQueueLock(word_, self, host);
    }
    ~QueueLockGuard() { ReleaseQueueLock(word_); }
    QueueLockGuard(const QueueLockGuard&) = delete;
    QueueLockGuard& operator=(const QueueLockGuard&) = delete;

  private:
    LockToken& word_;
};

}  // namespace qx

#include "utility/core/queue_lock.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/native/utility/posix_lock_host.h"

namespace qx {
namespace {

// Memory shared with forked children, as the DLL's section is shared between processes.
struct SharedPage {
    LockToken lock;
    uint64_t counter;
};

SharedPage* MapSharedPage() {
    void* page = mmap(nullptr, sizeof(SharedPage), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(page, MAP_FAILED);
    return new (page) SharedPage{0, 0};
}

int WaitExitCode(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QueueLock, TakesAndFreesTheWord) {
    LockToken word = 0;
    PosixLockHost host;
    {
        QueueLockGuard guard(word, PosixLockToken(), host);
        EXPECT_EQ(word, PosixLockToken());
    }
    EXPECT_EQ(word, 0u);
    EXPECT_EQ(host.checks, 0);
}

TEST(QueueLock, AnOwnerThatEndedWhileHoldingItIsTakenOver) {
    SharedPage* page = MapSharedPage();
    const pid_t child = fork();
    if (child == 0) {
        PosixLockHost host;
        AcquireQueueLock(page->lock, PosixLockToken(), host);
        _exit(0);  // ends holding the lock, as a killed client would
    }
    ASSERT_EQ(WaitExitCode(child), 0);
    ASSERT_EQ(page->lock >> 32, static_cast<uint64_t>(child));

    PosixLockHost host;
    AcquireQueueLock(page->lock, PosixLockToken(), host);
    EXPECT_EQ(page->lock, PosixLockToken());
    EXPECT_GE(host.checks, 1);
    ReleaseQueueLock(page->lock);
    munmap(page, sizeof *page);
}

TEST(QueueLock, ExcludesOtherProcesses) {
    SharedPage* page = MapSharedPage();
    constexpr int kRounds = 50000;
    auto work = [page] {
        PosixLockHost host;
        for (int i = 0; i < kRounds; ++i) {
            QueueLockGuard guard(page->lock, PosixLockToken(), host);
            // A plain read-modify-write: lost updates show up if two processes get in at once.
            const uint64_t seen = page->counter;
            page->counter = seen + 1;
        }
    };
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        if (child == 0) {
            work();
            _exit(0);
        }
    }
    work();
    for (pid_t child : children) {
        EXPECT_EQ(WaitExitCode(child), 0);
    }
    EXPECT_EQ(page->counter, 3u * kRounds);
    EXPECT_EQ(page->lock, 0u);
    munmap(page, sizeof *page);
}

}  // namespace
}  // namespace qx

// Adding and taking commands must cost no system call and no allocation: the queue is used from
// inside the HotSync Manager's process while a synchronisation runs.

#include <gtest/gtest.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "common/creator_id.h"
#include "tests/native/utility/posix_lock_host.h"
#include "utility/core/command_queue.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace qx {
namespace {

// Adds and takes many commands through the lock, as the DLL's exports do. Returns how many
// commands came back intact.
int RunQueue(SharedState& state, LockToken& lock, LockHost& host) {
    int intact = 0;
    char name[1040];
    for (int round = 0; round < 2000; ++round) {
        for (int i = 0; i < 3; ++i) {
            const QueueLockGuard guard(lock, MakeLockToken(1234, 1), host);
            EnqueueCommand(state, kCopyPilotTableEx, "C:\\DATA\\TABLE.DBF", FourCc("QVXD"), 1);
        }
        for (int i = 0; i < 3; ++i) {
            const QueueLockGuard guard(lock, MakeLockToken(1234, 1), host);
            int32_t type = 0;
            uint32_t p1 = 0, p2 = 0;
            if (TakeCommand(state, &type, name, sizeof name, &p1, &p2) &&
                type == kCopyPilotTableEx && p1 == FourCc("QVXD") && name[0] == 'C') {
                ++intact;
            }
        }
    }
    return intact;
}

TEST(QueueCost, AddAndTakeMakeNoSystemCallAndNoAllocation) {
    auto state = std::make_unique<SharedState>(kInitialSharedState);
    LockToken lock = 0;
    PosixLockHost host;
    RunQueue(*state, lock, host);  // warm up: nothing is left to be done lazily

    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    const pid_t child = fork();
    if (child == 0) {
        const long before = g_allocations.load();
        // From here on, any system call other than read, write and exit kills the child.
        if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_STRICT) != 0) {
            syscall(SYS_exit, 3);
        }
        const int intact = RunQueue(*state, lock, host);
        const long allocations = g_allocations.load() - before;
        const long report[2] = {intact, allocations};
        if (write(pipe_ends[1], report, sizeof report) != static_cast<ssize_t>(sizeof report)) {
            syscall(SYS_exit, 4);
        }
        syscall(SYS_exit, 0);  // exit_group is not allowed in strict mode
    }
    close(pipe_ends[1]);
    long report[2] = {-1, -1};
    const ssize_t got = read(pipe_ends[0], report, sizeof report);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status))
        << "child killed by signal " << WTERMSIG(status) << " (a system call on the queue path)";
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof report));
    EXPECT_EQ(report[0], 6000);
    EXPECT_EQ(report[1], 0);
    EXPECT_EQ(host.checks, 0);
}

}  // namespace
}  // namespace qx

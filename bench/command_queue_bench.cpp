// Cost of adding and taking one command through the queue lock, as Lutrix's exports do it when
// no other process holds the lock.

#include <benchmark/benchmark.h>

#include <memory>

#include "utility/core/command_queue.h"
#include "utility/core/queue_lock.h"

namespace {

class NoWaitHost final : public qx::LockHost {
  public:
    bool OwnerAlive(qx::LockToken) override { return true; }
    void Pause(uint32_t) override {}
};

constexpr qx::LockToken kSelf = qx::MakeLockToken(4242, 1);

void BM_AddThenTake(benchmark::State& state) {
    auto shared = std::make_unique<qx::SharedState>(qx::kInitialSharedState);
    qx::LockToken lock = 0;
    NoWaitHost host;
    char name[1040];
    for (auto _ : state) {
        {
            const qx::QueueLockGuard guard(lock, kSelf, host);
            qx::EnqueueCommand(*shared, qx::kCopyPilotTableEx, "C:\\Quorvix\\Data\\ORDERS.DBF",
                               0x51565844, 1);
        }
        int32_t type = 0;
        uint32_t p1 = 0, p2 = 0;
        {
            const qx::QueueLockGuard guard(lock, kSelf, host);
            qx::TakeCommand(*shared, &type, name, sizeof name, &p1, &p2);
        }
        benchmark::DoNotOptimize(type);
        benchmark::DoNotOptimize(name);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AddThenTake);

// Filling all 512 slots, then draining them, without the lock: the queue's own cost.
void BM_FillAndDrain512(benchmark::State& state) {
    auto shared = std::make_unique<qx::SharedState>(qx::kInitialSharedState);
    char name[261];
    for (auto _ : state) {
        for (int i = 0; i < qx::kQueueCapacity; ++i) {
            qx::EnqueueCommand(*shared, qx::kCopyPilotApp, "C:\\APPS\\ORDERS.PDA", 0, 0);
        }
        int32_t type = 0;
        while (qx::TakeCommand(*shared, &type, name, sizeof name, nullptr, nullptr)) {
        }
        benchmark::DoNotOptimize(type);
    }
    state.SetItemsProcessed(state.iterations() * qx::kQueueCapacity);
}
BENCHMARK(BM_FillAndDrain512);

}  // namespace

#pragma once
// Lutrix as a synchronisation uses it: the shared queue, the fields it publishes, and the progress
// broadcast with its wait-counter loop.

#include "conduit/spine/synchronisation.h"
#include "utility/win32/lutrix_binding.h"

namespace qx {

// A listener that does not answer within this time is skipped, so a hung program cannot hold the
// synchronisation for ever; the wait counter is how a listener asks for more time.
inline constexpr unsigned kBroadcastTimeoutMs = 5000;
inline constexpr unsigned kWaitPollMs = 500;

class LutrixQueueSide final : public QueueSide {
  public:
    LutrixQueueSide(const LutrixBinding& lutrix, SyncOps& ops) : lutrix_(lutrix), ops_(ops) {}

    void PublishUser(const std::string& name, uint32_t user_id, uint32_t creator) override;
    void SetHotSyncUserId(uint32_t id) override;
    bool TakeCommand(int32_t& code, std::string& file, uint32_t& first, uint32_t& second) override;
    void NotifyProgress(uint32_t code, uint32_t value) override;

  private:
    const LutrixBinding& lutrix_;
    SyncOps& ops_;
};

}  // namespace qx

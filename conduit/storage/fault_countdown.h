#pragma once
// "Fail the Nth write step": a test arms the countdown, runs an operation, and sees whether the
// fault fired. Sweeping N = 1, 2, 3 ... until nothing fires reaches every step of a write.

#include <cstdint>

namespace qx {

class FaultCountdown {
  public:
    // Step number `n` (counting from 1 after arming) fails; with `persistent`, every later one too.
    void Arm(int64_t n, bool persistent = false) {
        fail_at_ = n;
        persistent_ = persistent;
        steps_ = 0;
        fired_ = false;
    }
    void Disarm() { fail_at_ = 0; }

    // Called once per write step; true when this step must fail.
    bool Hit() {
        if (fail_at_ <= 0) {
            return false;
        }
        ++steps_;
        if (steps_ == fail_at_ || (persistent_ && steps_ > fail_at_)) {
            fired_ = true;
            return true;
        }
        return false;
    }

    bool fired() const { return fired_; }
    int64_t steps() const { return steps_; }

  private:
    int64_t fail_at_ = 0;
    int64_t steps_ = 0;
    bool persistent_ = false;
    bool fired_ = false;
};

}  // namespace qx

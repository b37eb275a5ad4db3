#pragma once
// A linear congruential generator and the exclusive-or copy built on it. Running the copy twice
// from the same seed gives the input back, which is all clients use it for.

#include <cstdint>

namespace qx {

class Scrambler {
  public:
    uint32_t Seed(uint32_t seed) {
        state_ = seed;
        return seed;
    }

    uint32_t Next() {
        state_ = state_ * 1103515245u + 12345u;  // unsigned: wraps modulo 2^32
        return state_;
    }

    // Each input byte is read before its output byte is written, so `out` may equal `in`.
    uint8_t* CopyXor(uint8_t* out, const uint8_t* in, uint32_t length) {
        for (uint32_t i = 0; i < length; ++i) {
            const uint8_t byte = in[i];
            out[i] = static_cast<uint8_t>(byte ^ (Next() & 0xFF));
        }
        return out;
    }

  private:
    uint32_t state_ = 1;
};

}  // namespace qx

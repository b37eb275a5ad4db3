#pragma once
// Reversing byte order for numbers that cross between the desktop (little-endian) and the handheld
// (big-endian). Whole records are better read and written through common/byte_io.h; these serve
// single values already held in a native integer.

#include <array>
#include <bit>
#include <cstdint>
#include <span>

#include "common/byte_io.h"

namespace qx {

constexpr uint16_t Swap16(uint16_t v) {
    return static_cast<uint16_t>(v << 8 | v >> 8);
}

constexpr uint32_t Swap32(uint32_t v) {
    return (v & 0xFF) << 24 | (v & 0xFF00) << 8 | (v >> 8 & 0xFF00) | v >> 24;
}

constexpr uint64_t Swap64(uint64_t v) {
    return static_cast<uint64_t>(Swap32(static_cast<uint32_t>(v))) << 32 |
           Swap32(static_cast<uint32_t>(v >> 32));
}

// The IEEE double held in eight bytes in the handheld's (big-endian) order.
inline double SwapDouble(std::span<const uint8_t, 8> handheld_bytes) {
    uint64_t bits = 0;
    for (uint8_t b : handheld_bytes) {
        bits = bits << 8 | b;
    }
    return std::bit_cast<double>(bits);
}

// The eight bytes, in the handheld's order, of a double.
inline std::array<uint8_t, 8> HandheldDoubleBytes(double value) {
    const auto bits = std::bit_cast<uint64_t>(value);
    std::array<uint8_t, 8> bytes = {};
    for (int i = 0; i < 8; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    }
    return bytes;
}

}  // namespace qx

#pragma once
// A Palm OS creator or type code: four characters held in 32 bits, the first the most significant.

#include <cstdint>
#include <string>

namespace qx {

constexpr uint32_t FourCc(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

// "QVXD"; bytes outside printable ASCII (and the backslash) as \xNN.
std::string FourCcText(uint32_t code);

inline constexpr uint32_t kDefaultCreator = FourCc("QVXD");

}  // namespace qx

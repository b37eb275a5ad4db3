#include "common/creator_id.h"

#include <cstdio>

namespace qx {

std::string FourCcText(uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<uint8_t>(code >> shift);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

}  // namespace qx

#include "common/printable_text.h"

#include <cstdio>

namespace qx {

std::string PrintableText(std::string_view text) {
    std::string shown;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown.push_back(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
}

}  // namespace qx

#include "conduit/spine/conduit_messages.h"

#include <algorithm>

namespace qx {

std::string FormatConduitError(std::string_view message, std::optional<std::string_view> detail) {
    std::string text;
    const bool coded =
        message.size() >= 4 && std::all_of(message.begin(), message.begin() + 4,
                                           [](char c) { return c >= '0' && c <= '9'; });
    if (coded) {
        text.append("Error ").append(message.substr(0, 4)).append(": ").append(message.substr(4));
    } else {
        text.append(message);
    }
    if (detail) {
        text.append(*detail);
    }
    return text;
}

}  // namespace qx

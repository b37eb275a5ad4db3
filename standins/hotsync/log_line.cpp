#include "standins/hotsync/log_line.h"

#include <cstdio>

#include "conduit/sync/sync_manager_abi.h"

namespace qx {

namespace {

std::string Subject(std::string_view text) {
    return text.empty() ? std::string("Conduit") : std::string(text);
}

}  // namespace

std::string FormatLogLine(const LogStamp& stamp, std::string_view text, int32_t activity) {
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d %02d:%02d:%02d  ", stamp.year, stamp.month,
                  stamp.day, stamp.hour, stamp.minute, stamp.second);
    std::string line = prefix;
    switch (activity) {
        case abi::kLogText:
            line += text;
            break;
        case abi::kLogConduitStart:
            line += Subject(text) + " started";
            break;
        case abi::kLogConduitSuccess:
            line += Subject(text) + " OK";
            break;
        case abi::kLogConduitFailure:
            line += Subject(text) + " failed";
            break;
        default: {
            char code[32];
            std::snprintf(code, sizeof code, " (activity %d)", static_cast<int>(activity));
            line += std::string(text) + code;
        }
    }
    return line;
}

}  // namespace qx

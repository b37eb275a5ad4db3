#pragma once
// One line of a user's HotSync log, as the log library writes it: a date and time stamp, then
// the entry. Plain text lines stand as they are; a conduit's start and end say so in words.

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

struct LogStamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "2026-12-11 12:04:06  <entry>" without a line end. The entry is the text for a plain line
// (-1); "<text> started" (19), "<text> OK" (20) and "<text> failed" (21), with "Conduit" standing
// in for an empty text; any other activity keeps its text and names the code.
std::string FormatLogLine(const LogStamp& stamp, std::string_view text, int32_t activity);

}  // namespace qx

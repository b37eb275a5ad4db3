#include "standins/hotsync/log_line.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(LogLine, StampsAndWordsEachActivity) {
    const LogStamp stamp{2026, 3, 7, 9, 5, 1};
    struct Case {
        const char* text;
        int32_t activity;
        const char* line;
    } const cases[] = {
        {"Quorvix: table ORDERS written.", -1,
         "2026-03-07 09:05:01  Quorvix: table ORDERS written."},
        {"", -1, "2026-03-07 09:05:01  "},
        {"", 19, "2026-03-07 09:05:01  Conduit started"},
        {"Quorvix SE", 19, "2026-03-07 09:05:01  Quorvix SE started"},
        {"Quorvix SE", 20, "2026-03-07 09:05:01  Quorvix SE OK"},
        {"", 20, "2026-03-07 09:05:01  Conduit OK"},
        {"Quorvix SE", 21, "2026-03-07 09:05:01  Quorvix SE failed"},
        {"odd", 7, "2026-03-07 09:05:01  odd (activity 7)"},
        {"two\nlines", -1, "2026-03-07 09:05:01  two\nlines"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::to_string(c.activity));
        EXPECT_EQ(FormatLogLine(stamp, c.text, c.activity), c.line);
    }
}

TEST(LogLine, PadsEveryStampField) {
    EXPECT_EQ(FormatLogLine({999, 12, 31, 23, 59, 58}, "x", -1), "0999-12-31 23:59:58  x");
    EXPECT_EQ(FormatLogLine({2027, 1, 2, 0, 0, 0}, "x", -1), "2027-01-02 00:00:00  x");
}

}  // namespace
}  // namespace qx

#include "conduit/pdb/palm_time.h"

#include <cstdio>
#include <ctime>

namespace qx {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t SecondsOf(const std::tm& t) {
    return DaysFromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) * 86400 + t.tm_hour * 3600 +
           t.tm_min * 60 + t.tm_sec;
}

}  // namespace

LocalClockReading SystemPalmClock::Now() const {
    const std::time_t now = std::time(nullptr);
    // The library's shared buffers are safe here: the conduit is single-threaded.
    const std::tm local = *std::localtime(&now);
    const std::tm utc = *std::gmtime(&now);
    LocalClockReading reading;
    reading.utc_seconds = static_cast<int64_t>(now);
    reading.daylight_saving = local.tm_isdst > 0;
    const int64_t east = SecondsOf(local) - SecondsOf(utc);  // includes daylight saving
    reading.west_of_utc = static_cast<int32_t>(-east + (reading.daylight_saving ? 3600 : 0));
    return reading;
}

uint32_t PalmSecondsFrom(const LocalClockReading& reading) {
    const int64_t local = reading.utc_seconds + kPalmEpochOffset - reading.west_of_utc +
                          (reading.daylight_saving ? 3600 : 0);
    return static_cast<uint32_t>(static_cast<uint64_t>(local));
}

std::string FormatPalmDate(uint32_t palm_seconds) {
    const int64_t unix_local = static_cast<int64_t>(palm_seconds) - kPalmEpochOffset;
    int64_t days = unix_local / 86400;
    int64_t rest = unix_local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from days since 1970 (inverse of DaysFromCivil).
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp + (mp < 10 ? 3 : -9);
    const int64_t y = yoe + era * 400 + (m <= 2);
    char text[160];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                  static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                  static_cast<long long>(rest % 60));
    return text;
}

}  // namespace qx

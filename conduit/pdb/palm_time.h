#pragma once
// Dates in Palm databases: unsigned seconds since 1904-01-01 00:00 in the handheld's local time,
// with no zone stored. The clock is a parameter so that output is reproducible in tests.

#include <cstdint>
#include <string>

namespace qx {

inline constexpr int64_t kPalmEpochOffset = 2082844800;  // 1904-01-01 to 1970-01-01, in seconds

struct LocalClockReading {
    int64_t utc_seconds = 0;       // since 1970-01-01 00:00 UTC
    int32_t west_of_utc = 0;       // standard time zone offset west of UTC, seconds
    bool daylight_saving = false;  // adds an hour to local time while in effect
};

class PalmClock {
  public:
    virtual ~PalmClock() = default;
    virtual LocalClockReading Now() const = 0;
};

// The operating system's clock and time zone.
class SystemPalmClock final : public PalmClock {
  public:
    LocalClockReading Now() const override;
};

// A clock that always reads the same; for tests and reproducible output.
class FixedPalmClock final : public PalmClock {
  public:
    explicit FixedPalmClock(LocalClockReading reading) : reading_(reading) {}
    LocalClockReading Now() const override { return reading_; }

  private:
    LocalClockReading reading_;
};

// Local seconds since 1904, kept to 32 bits (the field wraps in 2040 like every Palm date).
uint32_t PalmSecondsFrom(const LocalClockReading& reading);

// "2024-03-01 13:45:00" for a Palm date (local time as stored).
std::string FormatPalmDate(uint32_t palm_seconds);

}  // namespace qx

#pragma once
// Where command outcomes go: the HotSync log during a synchronisation, a message box in PDB-file
// mode. Called as (text, activity code, time-stamp flag); the flag is always 0 and the channel's
// answer is never examined, so it returns nothing.

#include <cstdint>
#include <string_view>

namespace qx {

inline constexpr int32_t kLogActivityText = -1;
inline constexpr int32_t kLogActivitySyncStart = 19;
inline constexpr int32_t kLogActivitySyncDone = 20;
inline constexpr int32_t kLogActivitySyncFailed = 21;

class LogChannel {
  public:
    virtual ~LogChannel() = default;
    virtual void Add(std::string_view text, int32_t activity, int32_t time_stamp) = 0;
};

}  // namespace qx

#pragma once
// The conduit's own messages and how the error dialog shows them: a four-digit code followed by
// the text ("1120Could not ...") is shown as "Error 1120: Could not ...", an uncoded one as it is;
// the detail, when given, follows directly.

#include <optional>
#include <string>
#include <string_view>

namespace qx {

inline constexpr std::string_view kMsgCannotReadAppDirectory =
    "1120Could not read application directory info block from handheld.";
inline constexpr std::string_view kMsgCannotFind = "Cannot find: ";
inline constexpr std::string_view kMsgCannotLoadHotSync = "Error explicitly loading HotSync Dlls";

inline constexpr std::string_view kConduitName = "Quorvix SE";
inline constexpr uint32_t kConduitVersion = 0x101;
inline constexpr int32_t kConduitFailed = 4107;  // what OpenConduit answers when anything failed

std::string FormatConduitError(std::string_view message, std::optional<std::string_view> detail);

}  // namespace qx

#pragma once
// The numbered messages of the application transfer. Those ending in " - " expect the file or
// database name as their detail.

#include <string_view>

namespace qx {

inline constexpr std::string_view kMsgCannotOpenApp =
    "1000Could not open specified application file - ";
inline constexpr std::string_view kMsgNotApplicationFile =
    "1010Not an application file (.PDA) or file corrupted - ";
inline constexpr std::string_view kMsgIncompatibleVersion =
    "1020Application file (.PDA) version is incompatible - ";
inline constexpr std::string_view kMsgAppFileCorrupted = "1040Application file (.PDA) corrupted.";
inline constexpr std::string_view kMsgStringTooBig =
    "1050String in application (.PDA) file is too big.";
inline constexpr std::string_view kMsgCannotWriteAppInfo =
    "1090Could not write application info block to handheld.";
inline constexpr std::string_view kMsgCannotCopyForm =
    "1100Error occurred while copying form to handheld.";
inline constexpr std::string_view kMsgWrongScriptSignature =
    "1250Wrong signature when reading script!";

}  // namespace qx

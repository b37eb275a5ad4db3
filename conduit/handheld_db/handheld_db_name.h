#pragma once
// Handheld database names formed from desktop file names: a prefix for the kind, the file's base
// name, at most 31 characters, upper-cased, spaces turned into underscores.
// "C:\Data\My Orders.dbf" as a table -> "QXT-SE_MY_ORDERS".

#include <string>
#include <string_view>

namespace qx {

enum class HandheldDbKind { kApplication, kTable };

inline constexpr std::string_view kApplicationDbPrefix = "QX-SE_";
inline constexpr std::string_view kTableDbPrefix = "QXT-SE_";
inline constexpr std::string_view kAppDirectoryDbName = "QX-SE_SysHeap";

std::string MakeHandheldDbName(std::string_view desktop_file_name, HandheldDbKind kind);

}  // namespace qx

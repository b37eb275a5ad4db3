#pragma once
// Splitting a desktop file name into drive, folder, base name and extension. Both separators count
// ('\' and '/'), so Windows names split the same way on every build: "C:\DATA\ORDERS.DBF" gives
// "C:", "\DATA\", "ORDERS", ".DBF".

#include <string>
#include <string_view>

namespace qx {

struct DesktopPathParts {
    std::string drive;      // "C:" or empty
    std::string directory;  // up to and including the last separator, or empty
    std::string base;       // the file name without its extension
    std::string extension;  // from the last dot of the file name, dot included, or empty
};

DesktopPathParts SplitDesktopPath(std::string_view path);

}  // namespace qx

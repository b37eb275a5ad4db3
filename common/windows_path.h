#pragma once
// A Windows file name in its parts: "C:\DATA\ORDERS.DBF" gives "C:", "\DATA\", "ORDERS", ".DBF".
// Both separators count ('\' and '/'), so names split the same way on every build. The directory
// ends at the last separator; the extension starts at the last full stop after that.

#include <string>
#include <string_view>

namespace qx {

struct SplitPath {
    std::string drive;      // a letter and ':', or empty
    std::string directory;  // up to and including the last separator, or empty
    std::string name;       // the file name without its extension
    std::string extension;  // from the last full stop of the file name, dot included, or empty
};

SplitPath SplitWindowsPath(std::string_view path);

}  // namespace qx

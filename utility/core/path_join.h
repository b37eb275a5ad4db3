#pragma once
// Joining Windows path parts the way the Palm Desktop folders are built: exactly one backslash
// between the parts, and an empty path becomes a root-relative "\part".

#include <string>
#include <string_view>

namespace qx {

std::string AppendPathPart(std::string_view path, std::string_view part);

}  // namespace qx

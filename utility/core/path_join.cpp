#include "utility/core/path_join.h"

namespace qx {

std::string AppendPathPart(std::string_view path, std::string_view part) {
    std::string joined(path);
    if (joined.empty() || joined.back() != '\\') {
        joined.push_back('\\');
    }
    if (!part.empty() && part.front() == '\\') {
        part.remove_prefix(1);
    }
    joined.append(part);
    return joined;
}

}  // namespace qx

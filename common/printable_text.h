#pragma once
// Text from a file shown to a person: printable ASCII as it is, every other byte (and the
// backslash, so the result reads back unambiguously) as \xNN.

#include <string>
#include <string_view>

namespace qx {

std::string PrintableText(std::string_view text);

}  // namespace qx

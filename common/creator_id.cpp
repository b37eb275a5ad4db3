#include "common/creator_id.h"

#include "common/printable_text.h"

namespace qx {

std::string FourCcText(uint32_t code) {
    const char text[4] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16),
                          static_cast<char>(code >> 8), static_cast<char>(code)};
    return PrintableText({text, 4});
}

}  // namespace qx

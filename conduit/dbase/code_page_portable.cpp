// The boundary conversions where Windows is not there to do them: the best-fit maps of ANSI page
// 1252 and OEM page 437, the pages a desktop set to C.UTF-8 (or US English) uses.
#include "conduit/dbase/code_page.h"

namespace qx::dbase {
namespace {

void Apply(const ByteMap& map, std::span<uint8_t> text) {
    for (uint8_t& byte : text) {
        byte = map[byte];
    }
}

}  // namespace

void AnsiToOem(std::span<uint8_t> text) {
    Apply(BestFitAnsiToOem437(), text);
}
void OemToAnsi(std::span<uint8_t> text) {
    Apply(BestFitOem437ToAnsi(), text);
}

}  // namespace qx::dbase

#include "conduit/dbase/desktop_file.h"

namespace qx::dbase {

std::size_t ReadFully(DesktopFile& file, std::span<uint8_t> out) {
    std::size_t total = 0;
    while (total < out.size()) {
        const std::size_t got = file.Read(out.subspan(total));
        if (got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

}  // namespace qx::dbase

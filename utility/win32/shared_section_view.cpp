#include "utility/win32/shared_section_view.h"

#include <cstring>

namespace qx {

const SharedSection* FindSharedSection(HMODULE lutrix) {
    if (lutrix == nullptr) {
        return nullptr;
    }
    const auto* base = reinterpret_cast<const BYTE*>(lutrix);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return nullptr;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) {
        return nullptr;
    }
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::strncmp(reinterpret_cast<const char*>(section->Name), kSharedSectionName,
                         IMAGE_SIZEOF_SHORT_NAME) == 0 &&
            section->Misc.VirtualSize >= sizeof(SharedSection)) {
            return reinterpret_cast<const SharedSection*>(base + section->VirtualAddress);
        }
    }
    return nullptr;
}

}  // namespace qx

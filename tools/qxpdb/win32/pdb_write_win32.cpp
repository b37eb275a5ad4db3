// On Windows the conversion is the conduit's own: Corvane.dll's PDB exports, with its real error
// dialogs and "PDB FILE" message boxes.

#include <windows.h>

#include <cstdio>

#include "conduit/sync/sync_manager_abi.h"
#include "tools/qxpdb/pdb_write.h"

namespace qx {

int WritePdb(bool table, const std::string& file, uint32_t creator, uint32_t flags) {
    using PdbExport = int32_t (*)(const char*, uint32_t, uint32_t);
    HMODULE corvane = LoadLibraryA("Corvane.dll");
    if (corvane == nullptr) {
        std::fprintf(stderr, "qxpdb: cannot load Corvane.dll (error %lu)\n", GetLastError());
        return 0;
    }
    const auto write = reinterpret_cast<PdbExport>(reinterpret_cast<void*>(
        GetProcAddress(corvane, table ? "PdbFileWriteTable" : "PdbFileWriteDocument")));
    const int result = write != nullptr ? write(file.c_str(), creator, flags) : 0;
    FreeLibrary(corvane);
    return result;
}

}  // namespace qx

#pragma once
// Finds the shared section inside a loaded copy of Lutrix, so a tool can show the queue without
// taking anything off it. The section is found by name in the module's own section table.

#include <windows.h>

#include "utility/win32/shared_section.h"

namespace qx {

// Null when the module has no ".shared" section large enough to hold the record.
const SharedSection* FindSharedSection(HMODULE lutrix);

}  // namespace qx

#include "utility/win32/shared_section.h"

namespace qx {

// Fully initialised, so it lands in the shared section's data and not in uninitialised storage.
__attribute__((section(".shared"), shared)) SharedSection g_shared = {kInitialSharedState, 0};

}  // namespace qx

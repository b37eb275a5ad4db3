#pragma once

#include "utility/core/dll_messages.h"

namespace qx {

// Shows one of the library's numbered messages in a modal box captioned with the library's file
// name, and returns when the user has dismissed it.
void ShowDllError(DllMessage message, const char* detail = nullptr);

}  // namespace qx

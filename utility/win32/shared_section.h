#pragma once
// The data every process with Lutrix loaded shares. It sits in the library image's ".shared"
// section: the system maps one copy into every process, made fresh from the image when the first
// process loads the library and dropped when the last one unloads it.

#include <cstddef>

#include "utility/core/queue_lock.h"
#include "utility/core/shared_state.h"

namespace qx {

inline constexpr char kSharedSectionName[] = ".shared";

struct SharedSection {
    SharedState state;                // at offset 0: the record clients know
    alignas(8) LockToken queue_lock;  // guards add, take and empty across processes
};
static_assert(offsetof(SharedSection, state) == 0);
static_assert(offsetof(SharedSection, queue_lock) % 8 == 0);

extern SharedSection g_shared;

}  // namespace qx

#pragma once
// A hint for buffers of many megabytes (a whole table image, the records of a .pdb being built):
// back them with large pages where the system offers them on request (Linux's transparent huge
// pages in "madvise" mode), elsewhere nothing. Filling such a buffer page by page otherwise
// costs one fault per 4 KB, and on a virtual machine those faults cost more than the copying.
// Only whole large pages inside the buffer are affected; the contents never change.

#include <cstddef>

namespace qx {

void AdviseLargePages(void* data, std::size_t size);

}  // namespace qx

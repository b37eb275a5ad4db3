#pragma once
// One field's text, a memo included, must fit the conduit's shared record buffer with a
// terminating NUL; the limits on records and memo text follow from its size.

#include <cstddef>

namespace qx::dbase {

inline constexpr std::size_t kRecordBufferSize = 0xFC00;  // 64,512 bytes

}  // namespace qx::dbase

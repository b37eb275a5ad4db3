#pragma once
// The conduit's one record descriptor and its 64,512-byte data buffer. Every record of an
// application or table transfer is built here and written from here, and every record read
// arrives here; one operation uses it at a time.

#include <array>
#include <cstdint>

#include "conduit/sync/sync_records.h"

namespace qx {

inline constexpr uint16_t kRecordBufferCapacity = 0xFC00;  // 64512

struct RecordBuffer {
    RecordDescriptor desc;
    std::array<uint8_t, kRecordBufferCapacity> data = {};

    RecordBuffer() { Reset(); }
    // The descriptor may not be copied with its pointer into another buffer.
    RecordBuffer(const RecordBuffer&) = delete;
    RecordBuffer& operator=(const RecordBuffer&) = delete;

    // Clears the descriptor, sets its capacity and points it at the data buffer again.
    void Reset();
};

}  // namespace qx

#include "conduit/sync/record_buffer.h"

namespace qx {

void RecordBuffer::Reset() {
    desc = RecordDescriptor{};
    desc.capacity = kRecordBufferCapacity;
    desc.bytes = data.data();
}

}  // namespace qx

#include "conduit/app/record_writer.h"

#include <algorithm>
#include <cassert>

#include "common/byte_io.h"

namespace qx {

bool RecordWriter::Room(std::size_t count) {
    if (full_ || count > buffer_.size() - size_) {
        full_ = true;
        return false;
    }
    return true;
}

bool RecordWriter::U8(uint8_t v) {
    if (!Room(1)) {
        return false;
    }
    buffer_[size_++] = v;
    return true;
}

bool RecordWriter::U16(uint16_t v) {
    if (!Room(2)) {
        return false;
    }
    StoreU16(buffer_.subspan(size_).first<2>(), v, ByteOrder::kBig);
    size_ += 2;
    return true;
}

bool RecordWriter::U32(uint32_t v) {
    if (!Room(4)) {
        return false;
    }
    StoreU32(buffer_.subspan(size_).first<4>(), v, ByteOrder::kBig);
    size_ += 4;
    return true;
}

bool RecordWriter::Bytes(std::span<const uint8_t> b) {
    if (!Room(b.size())) {
        return false;
    }
    std::copy(b.begin(), b.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(size_));
    size_ += b.size();
    return true;
}

bool RecordWriter::Text(std::string_view s) {
    if (!Room(s.size())) {
        return false;
    }
    for (char c : s) {
        buffer_[size_++] = static_cast<uint8_t>(c);
    }
    return true;
}

bool RecordWriter::CString(std::string_view s) {
    return Text(s) && U8(0);
}

bool RecordWriter::Zeros(std::size_t count) {
    if (!Room(count)) {
        return false;
    }
    std::fill_n(buffer_.begin() + static_cast<std::ptrdiff_t>(size_), count, uint8_t{0});
    size_ += count;
    return true;
}

bool RecordWriter::AlignEven() {
    return Zeros(size_ % 2);
}

bool RecordWriter::AlignEvenFrom(std::size_t start) {
    assert(start <= size_);
    return Zeros((size_ - start) % 2);
}

void RecordWriter::PatchU16(std::size_t at, uint16_t v) {
    assert(at <= size_ && size_ - at >= 2);
    StoreU16(buffer_.subspan(at).first<2>(), v, ByteOrder::kBig);
}

void RecordWriter::PatchU32(std::size_t at, uint32_t v) {
    assert(at <= size_ && size_ - at >= 4);
    StoreU32(buffer_.subspan(at).first<4>(), v, ByteOrder::kBig);
}

std::span<uint8_t> RecordWriter::Written(std::size_t at, std::size_t count) {
    assert(at <= size_ && size_ - at >= count);
    return buffer_.subspan(at, count);
}

}  // namespace qx

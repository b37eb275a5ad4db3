#include "common/byte_io.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace qx {

bool ByteReader::Need(std::size_t count, std::string_view what) {
    if (failed_) {
        return false;  // the first failure is the one worth reporting
    }
    if (count <= remaining()) {
        return true;
    }
    failed_ = true;
    char text[160];
    std::snprintf(text, sizeof text,
                  "unexpected end of data at offset 0x%zx reading %.*s (%zu bytes, %zu left)", pos_,
                  static_cast<int>(what.size()), what.data(), count, remaining());
    error_ = text;
    return false;
}

bool ByteReader::Seek(std::size_t offset, std::string_view what) {
    if (failed_) {
        return false;
    }
    if (offset > data_.size()) {
        failed_ = true;
        char text[160];
        std::snprintf(text, sizeof text, "offset 0x%zx of %.*s is past the end (size 0x%zx)",
                      offset, static_cast<int>(what.size()), what.data(), data_.size());
        error_ = text;
        return false;
    }
    pos_ = offset;
    return true;
}

bool ByteReader::Skip(std::size_t count, std::string_view what) {
    if (!Need(count, what)) {
        return false;
    }
    pos_ += count;
    return true;
}

bool ByteReader::U8(uint8_t& out, std::string_view what) {
    if (!Need(1, what)) {
        return false;
    }
    out = data_[pos_++];
    return true;
}

bool ByteReader::U16(uint16_t& out, std::string_view what) {
    if (!Need(2, what)) {
        return false;
    }
    out = LoadU16(data_.subspan(pos_).first<2>(), order_);
    pos_ += 2;
    return true;
}

bool ByteReader::U32(uint32_t& out, std::string_view what) {
    if (!Need(4, what)) {
        return false;
    }
    out = LoadU32(data_.subspan(pos_).first<4>(), order_);
    pos_ += 4;
    return true;
}

bool ByteReader::I16(int16_t& out, std::string_view what) {
    uint16_t v = 0;
    if (!U16(v, what)) {
        return false;
    }
    out = static_cast<int16_t>(v);
    return true;
}

bool ByteReader::I32(int32_t& out, std::string_view what) {
    uint32_t v = 0;
    if (!U32(v, what)) {
        return false;
    }
    out = static_cast<int32_t>(v);
    return true;
}

bool ByteReader::Bytes(std::span<uint8_t> out, std::string_view what) {
    if (!Need(out.size(), what)) {
        return false;
    }
    if (!out.empty()) {
        std::memcpy(out.data(), data_.data() + pos_, out.size());
    }
    pos_ += out.size();
    return true;
}

bool ByteReader::View(std::size_t count, std::span<const uint8_t>& out, std::string_view what) {
    if (!Need(count, what)) {
        return false;
    }
    out = data_.subspan(pos_, count);
    pos_ += count;
    return true;
}

void ByteWriter::U16(uint16_t v) {
    bytes_.resize(bytes_.size() + 2);
    StoreU16(std::span(bytes_).last<2>(), v, order_);
}

void ByteWriter::U32(uint32_t v) {
    bytes_.resize(bytes_.size() + 4);
    StoreU32(std::span(bytes_).last<4>(), v, order_);
}

void ByteWriter::PatchU16(std::size_t at, uint16_t v) {
    if (at + 2 > bytes_.size()) {
        throw std::out_of_range("ByteWriter::PatchU16 past the end");
    }
    StoreU16(std::span(bytes_).subspan(at).first<2>(), v, order_);
}

void ByteWriter::PatchU32(std::size_t at, uint32_t v) {
    if (at + 4 > bytes_.size()) {
        throw std::out_of_range("ByteWriter::PatchU32 past the end");
    }
    StoreU32(std::span(bytes_).subspan(at).first<4>(), v, order_);
}

}  // namespace qx

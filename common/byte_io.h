#pragma once
// Reading and writing binary formats through explicit byte order. Desktop files (.PDA, .DBF,
// .DBT) are little-endian; everything stored on the handheld or in a .PDB file is big-endian.
//
// ByteReader never reads past the bytes it holds: every read checks the remaining length first
// and, on failure, leaves the cursor where it was and records where and what was being read, so a
// caller can report "unexpected end of data at offset 0x6 reading name (8 bytes)".

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

enum class ByteOrder { kLittle, kBig };

// ---- fixed positions in a span ------------------------------------------------------------

inline uint16_t LoadU16(std::span<const uint8_t, 2> b, ByteOrder order) {
    return order == ByteOrder::kLittle ? static_cast<uint16_t>(b[0] | b[1] << 8)
                                       : static_cast<uint16_t>(b[0] << 8 | b[1]);
}

inline uint32_t LoadU32(std::span<const uint8_t, 4> b, ByteOrder order) {
    const uint32_t b0 = b[0], b1 = b[1], b2 = b[2], b3 = b[3];
    return order == ByteOrder::kLittle ? (b0 | b1 << 8 | b2 << 16 | b3 << 24)
                                       : (b0 << 24 | b1 << 16 | b2 << 8 | b3);
}

inline void StoreU16(std::span<uint8_t, 2> b, uint16_t v, ByteOrder order) {
    if (order == ByteOrder::kLittle) {
        b[0] = static_cast<uint8_t>(v);
        b[1] = static_cast<uint8_t>(v >> 8);
    } else {
        b[0] = static_cast<uint8_t>(v >> 8);
        b[1] = static_cast<uint8_t>(v);
    }
}

inline void StoreU32(std::span<uint8_t, 4> b, uint32_t v, ByteOrder order) {
    for (int i = 0; i < 4; ++i) {
        const int shift = order == ByteOrder::kLittle ? 8 * i : 8 * (3 - i);
        b[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> shift);
    }
}

// ---- a bounds-checked cursor ----------------------------------------------------------------

class ByteReader {
  public:
    ByteReader(std::span<const uint8_t> data, ByteOrder order) : data_(data), order_(order) {}

    std::size_t offset() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool failed() const { return failed_; }

    // "unexpected end of data at offset 0x6 reading name (8 bytes, 3 left)"; empty if no failure.
    const std::string& error() const { return error_; }

    bool Seek(std::size_t offset, std::string_view what);
    bool Skip(std::size_t count, std::string_view what);
    bool U8(uint8_t& out, std::string_view what);
    bool U16(uint16_t& out, std::string_view what);
    bool U32(uint32_t& out, std::string_view what);
    bool I16(int16_t& out, std::string_view what);
    bool I32(int32_t& out, std::string_view what);
    bool Bytes(std::span<uint8_t> out, std::string_view what);
    // A view of the next `count` bytes; valid as long as the underlying data.
    bool View(std::size_t count, std::span<const uint8_t>& out, std::string_view what);

  private:
    bool Need(std::size_t count, std::string_view what);

    std::span<const uint8_t> data_;
    ByteOrder order_;
    std::size_t pos_ = 0;
    bool failed_ = false;
    std::string error_;
};

// ---- an appending writer --------------------------------------------------------------------

class ByteWriter {
  public:
    explicit ByteWriter(ByteOrder order) : order_(order) {}

    std::size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }
    // Room for `count` bytes in all, so a writer that knows its total size allocates once.
    void Reserve(std::size_t count) { bytes_.reserve(count); }

    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Bytes(std::span<const uint8_t> b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void Text(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    // Fills in a field written earlier (an offset or count known only later).
    void PatchU16(std::size_t at, uint16_t v);
    void PatchU32(std::size_t at, uint32_t v);

  private:
    std::vector<uint8_t> bytes_;
    ByteOrder order_;
};

}  // namespace qx

#pragma once
// Builds a handheld record (big-endian) in a fixed buffer, such as RecordBuffer's data. Nothing is
// ever written past the buffer: an append that does not fit writes nothing, marks the writer full
// and answers false, and every later append fails as well.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qx {

class RecordWriter {
  public:
    explicit RecordWriter(std::span<uint8_t> buffer) : buffer_(buffer) {}

    std::size_t size() const { return size_; }
    bool full() const { return full_; }
    std::span<const uint8_t> bytes() const { return buffer_.first(size_); }

    bool U8(uint8_t v);
    bool U16(uint16_t v);
    bool U32(uint32_t v);
    bool Bytes(std::span<const uint8_t> b);
    bool Text(std::string_view s);
    // The text and its terminating zero.
    bool CString(std::string_view s);
    bool Zeros(std::size_t count);
    // Zeros up to the next even size.
    bool AlignEven();
    // Zeros until the distance from `start` is even (layouts aligned within a part).
    bool AlignEvenFrom(std::size_t start);

    // Fields written earlier whose value is known only later; `at` + width must be inside size().
    void PatchU16(std::size_t at, uint16_t v);
    void PatchU32(std::size_t at, uint32_t v);
    std::span<uint8_t> Written(std::size_t at, std::size_t count);

  private:
    bool Room(std::size_t count);

    std::span<uint8_t> buffer_;
    std::size_t size_ = 0;
    bool full_ = false;
};

}  // namespace qx

#pragma once
// Expected handheld database bytes for the application tests.

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/byte_io.h"

namespace qx::testing {

// Expected handheld bytes, written big-endian in the order the test lists them.
class HandheldBytes {
  public:
    HandheldBytes& U8(uint8_t v) {
        out_.U8(v);
        return *this;
    }
    HandheldBytes& U16(uint16_t v) {
        out_.U16(v);
        return *this;
    }
    HandheldBytes& U32(uint32_t v) {
        out_.U32(v);
        return *this;
    }
    HandheldBytes& Text(std::string_view s) {
        out_.Text(s);
        return *this;
    }
    HandheldBytes& CString(std::string_view s) {
        out_.Text(s);
        out_.U8(0);
        return *this;
    }
    HandheldBytes& Bytes(const std::vector<uint8_t>& b) {
        out_.Bytes(b);
        return *this;
    }
    HandheldBytes& Zeros(std::size_t n) {
        out_.Zeros(n);
        return *this;
    }
    // A name in a zero-padded field.
    HandheldBytes& Field(std::string_view s, std::size_t width) {
        out_.Text(s);
        out_.Zeros(width - s.size());
        return *this;
    }
    std::size_t size() const { return out_.size(); }
    std::vector<uint8_t> bytes() const { return out_.bytes(); }

  private:
    ByteWriter out_{ByteOrder::kBig};
};

}  // namespace qx::testing

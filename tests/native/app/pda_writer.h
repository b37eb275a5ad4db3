#pragma once
// Writes application file (.PDA) bytes for tests from a readable description: the items in file
// order, little-endian, with the optional items present only from the version that brings them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_io.h"

namespace qx::testing {

struct PdaTable {
    std::string name;
    std::vector<uint8_t> data;  // written only from version 261 on
};

struct PdaHeader {
    uint32_t long1 = 0;
    std::string name;
    uint32_t long2 = 0;
    uint16_t word1 = 0;
    uint16_t text_flag = 0;             // 258 on
    std::string text;                   // 258 on
    std::array<uint16_t, 4> options{};  // 1-3 from 260 on, 4 from 272 on
    uint16_t word2 = 0;                 // 262 on
    uint32_t form_count = 0;
    std::vector<PdaTable> tables;
    std::vector<std::string> strings;  // 261 on
};

// A script as the file holds it; an empty `code` writes L = 0 and nothing after it.
struct PdaScript {
    uint16_t w1 = 0;
    uint16_t w2 = 0;
    std::string code;
    std::string tag = "RCSS";
};

class PdaWriter {
  public:
    explicit PdaWriter(int32_t version) : version_(version) {}

    int32_t version() const { return version_; }
    std::vector<uint8_t> bytes() const { return out_.bytes(); }

    PdaWriter& Raw(std::string_view b) {
        out_.Text(b);
        return *this;
    }
    PdaWriter& Word(uint16_t v) {
        out_.U16(v);
        return *this;
    }
    PdaWriter& Long(uint32_t v) {
        out_.U32(v);
        return *this;
    }
    PdaWriter& String(std::string_view s) {
        out_.U16(static_cast<uint16_t>(s.size()));
        out_.Text(s);
        return *this;
    }

    // Signature, version and every header item up to the strings.
    PdaWriter& Header(const PdaHeader& h) {
        Raw("QXAD").Long(static_cast<uint32_t>(version_));
        Long(h.long1).String(h.name).Long(h.long2).Word(h.word1);
        if (version_ >= 258) {
            Word(h.text_flag).String(h.text);
        }
        if (version_ >= 260) {
            Word(h.options[0]).Word(h.options[1]).Word(h.options[2]);
        }
        if (version_ >= 262) {
            Word(h.word2);
        }
        if (version_ >= 272) {
            Word(h.options[3]);
        }
        Long(h.form_count).Long(static_cast<uint32_t>(h.tables.size()));
        for (const auto& t : h.tables) {
            String(t.name);
            if (version_ >= 261) {
                Word(static_cast<uint16_t>(t.data.size()));
                out_.Bytes(t.data);
            }
        }
        if (version_ >= 261) {
            Word(static_cast<uint16_t>(h.strings.size()));
            for (const auto& s : h.strings) {
                String(s);
            }
        }
        return *this;
    }

    PdaWriter& Script(const PdaScript& s) {
        Raw(s.tag).Long(static_cast<uint32_t>(s.code.size()));
        if (!s.code.empty()) {
            Word(s.w1).Word(s.w2).Raw(s.code);
        }
        return *this;
    }

  private:
    int32_t version_;
    ByteWriter out_{ByteOrder::kLittle};
};

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

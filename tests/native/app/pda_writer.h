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
    std::string name{};
    std::vector<uint8_t> data{};  // written only from version 261 on
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
    std::string code{};
    std::string tag = "RCSS";
};

// A form's items up to its control count; the controls are written after it one by one.
struct PdaForm {
    uint16_t word1 = 0, word2 = 0, word3 = 0;
    std::vector<PdaScript> scripts{};  // from 259 on; the count is written from 264 on
    uint32_t control_count = 0;
};

// What every control begins with, before its type part.
struct PdaControl {
    uint16_t type = 2;
    uint32_t control_long = 0;
    uint16_t word = 0;
    uint16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t second_word = 0;  // 263 on
};

struct PdaDetailEntry {
    uint16_t e1 = 0, e2 = 0, flags = 0;
    std::string text{};  // written when flags has 0x8000
    uint16_t e4 = 0;     // written otherwise
};

struct PdaDetailItem {
    uint16_t t1 = 0, t2 = 0, t3 = 0;
    uint32_t t4 = 0;
};

struct PdaDetail {
    uint16_t d1 = 0, flags = 0, d2 = 0, d3 = 0;
    std::string s1{}, s2{};
    uint32_t x1 = 0, x2 = 0;
    uint16_t d4 = 0;
    std::vector<PdaDetailEntry> entries{};
    uint16_t d5 = 0;                     // written when there are items
    std::vector<PdaDetailItem> items{};  // 257 on
    PdaScript script{};                  // 259 on
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
    PdaWriter& Bytes(const std::vector<uint8_t>& b) {
        out_.Bytes(b);
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

    PdaWriter& Form(const PdaForm& f) {
        Raw("FORM").Word(f.word1).Word(f.word2).Word(f.word3);
        if (version_ >= 264) {
            Word(static_cast<uint16_t>(f.scripts.size()));
        }
        if (version_ >= 259) {
            for (const auto& s : f.scripts) {
                Script(s);
            }
        }
        return Long(f.control_count);
    }

    PdaWriter& Control(const PdaControl& c) {
        Word(c.type).Long(c.control_long).Word(c.word);
        Word(c.left).Word(c.top).Word(c.right).Word(c.bottom);
        if (version_ >= 263) {
            Word(c.second_word);
        }
        return *this;
    }

    PdaWriter& Detail(const PdaDetail& d) {
        Long(0xDEADBEEF).Word(d.d1).Word(d.flags).Word(d.d2).Word(d.d3);
        String(d.s1).String(d.s2).Long(d.x1).Long(d.x2).Word(d.d4);
        Word(static_cast<uint16_t>(d.entries.size()));
        for (const auto& e : d.entries) {
            Long(0xDEADBEEF).Word(e.e1).Word(e.e2).Word(e.flags);
            if (e.flags & 0x8000) {
                String(e.text);
            } else {
                Word(e.e4);
            }
        }
        if (version_ >= 257) {
            Word(static_cast<uint16_t>(d.items.size()));
            if (!d.items.empty()) {
                Word(d.d5);
            }
            for (const auto& i : d.items) {
                Long(0xDEADBEEF).Word(i.t1).Word(i.t2).Word(i.t3).Long(i.t4);
            }
        }
        if (version_ >= 259) {
            Script(d.script);
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

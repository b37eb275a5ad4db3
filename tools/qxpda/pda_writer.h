#pragma once
// Writes application file (.PDA) bytes: the items in file order, little-endian, with the optional
// items present only from the version that brings them. The tests build their files with it, and
// qxpda writes one from a text description.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_io.h"

namespace qx::pda {

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
    PdaWriter& Header(const PdaHeader& h);
    PdaWriter& Script(const PdaScript& s);
    // A form's items up to its control count.
    PdaWriter& Form(const PdaForm& f);
    // What every control begins with.
    PdaWriter& Control(const PdaControl& c);
    // A control's type part (ControlDetail) for the types that have one.
    PdaWriter& Detail(const PdaDetail& d);

  private:
    int32_t version_;
    ByteWriter out_{ByteOrder::kLittle};
};

}  // namespace qx::pda

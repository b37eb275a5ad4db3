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
    std::string name{};
    uint32_t long2 = 0;
    uint16_t word1 = 0;
    uint16_t text_flag = 0;             // 258 on
    std::string text{};                 // 258 on
    std::array<uint16_t, 4> options{};  // 1-3 from 260 on, 4 from 272 on
    uint16_t word2 = 0;                 // 262 on
    uint32_t form_count = 0;
    std::vector<PdaTable> tables{};
    std::vector<std::string> strings{};  // 261 on
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

// What follows a control's common items, in the file order its type gives: 2 and 16 have nothing;
// 3 and 14 the type word, w1..w7 and a detail; 4 and 5 the text; 6 a, the type word and w; 7 the
// bitmap rows; 8 the text and a detail; 9 the type word and w; 10 a, the entries and a detail; 11
// the text, the type word and a detail; 12 as 11 with a and b after the type word; 13 the type
// word; 15 the type word, a, b and c; 17 a, the script and, from 273 on, a detail.
struct PdaTypePart {
    uint16_t type_word = 0;
    std::array<uint16_t, 7> words{};
    uint16_t a = 0, b = 0, c = 0, w = 0;
    std::string text{};
    std::vector<uint8_t> rows{};  // height rows of ceil(width / 8) bytes
    std::vector<std::array<uint16_t, 6>> entries{};
    PdaScript script{};
    PdaDetail detail{};
};

inline constexpr uint16_t kFirstControlType = 2;
inline constexpr uint16_t kLastControlType = 17;
inline constexpr uint16_t kBitmapControlType = 7;

// Whether a control of `type` carries a detail in a file of `version`.
bool HasDetail(uint16_t type, int32_t version);

struct PdaControlSpec {
    PdaControl control{};
    PdaTypePart part{};
};

struct PdaFormSpec {
    PdaForm form{};  // control_count is taken from `controls`
    std::vector<PdaControlSpec> controls{};
};

// A whole application file; the form count is taken from `forms`.
struct PdaApplication {
    int32_t version = 273;
    PdaHeader header{};
    std::vector<PdaFormSpec> forms{};
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
    // The type part of a control of `type`; nothing for a type outside 2 to 17.
    PdaWriter& TypePart(uint16_t type, const PdaTypePart& p);

  private:
    int32_t version_;
    ByteWriter out_{ByteOrder::kLittle};
};

// The bytes of a whole application file, with the counts taken from what is there.
std::vector<uint8_t> WriteApplication(const PdaApplication& app);

}  // namespace qx::pda

#include "tools/qxpda/pda_description.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "common/hex_digit.h"

namespace qx::pda {
namespace {

// The conduit reads at most 1023 bytes of a string; a longer one would put the rest out of step.
constexpr std::size_t kMaxString = 1023;

// A line's failure, caught once per line and turned into "<source>:<line>: <message>".
struct DescriptionError {
    std::string message;
};

[[noreturn]] void Fail(std::string message) {
    throw DescriptionError{std::move(message)};
}

struct Token {
    std::string key;  // before '=', empty for a plain value
    std::string value;
    bool quoted = false;
};

// Reads a quoted string from `line` at `i` (on the opening quote); leaves `i` after the closing
// one.
std::string QuotedString(std::string_view line, std::size_t& i) {
    std::string out;
    for (++i; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            ++i;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == line.size()) {
            break;
        }
        switch (line[i]) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '0':
                out += '\0';
                break;
            case '\\':
            case '"':
                out += line[i];
                break;
            case 'x': {
                const int hi = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                const int lo = i + 2 < line.size() ? HexDigit(line[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    Fail("\\x needs two hex digits");
                }
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                Fail(std::string("unknown escape '\\") + line[i] +
                     "' (use \\n \\r \\t \\0 \\\\ \\\" \\xHH)");
        }
    }
    Fail("string not closed with '\"'");
}

// Splits a line into tokens: words, "quoted strings", key=value and key="quoted value"; a '#'
// outside a string ends the line.
std::vector<Token> Tokens(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (true) {
        while (i < line.size() && space(line[i])) {
            ++i;
        }
        if (i == line.size() || line[i] == '#') {
            return tokens;
        }
        Token t;
        if (line[i] == '"') {
            t.value = QuotedString(line, i);
            t.quoted = true;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !space(line[i]) && line[i] != '=' && line[i] != '"' &&
                   line[i] != '#') {
                ++i;
            }
            std::string word(line.substr(start, i - start));
            if (i < line.size() && line[i] == '=') {
                t.key = std::move(word);
                ++i;
                if (i < line.size() && line[i] == '"') {
                    t.value = QuotedString(line, i);
                    t.quoted = true;
                } else {
                    const std::size_t vstart = i;
                    while (i < line.size() && !space(line[i]) && line[i] != '#') {
                        ++i;
                    }
                    t.value = std::string(line.substr(vstart, i - vstart));
                }
            } else if (i < line.size() && line[i] == '"') {
                Fail("a quote inside '" + word + "'; put a space before it");
            } else {
                t.value = std::move(word);
            }
        }
        if (i < line.size() && !space(line[i]) && line[i] != '#') {
            Fail("no space after '" + (t.key.empty() ? t.value : t.key + "=" + t.value) + "'");
        }
        tokens.push_back(std::move(t));
    }
}

uint32_t Number(std::string_view what, std::string_view text, uint32_t max) {
    uint32_t v = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (digits.empty() || r.ec != std::errc{} || r.ptr != digits.data() + digits.size() ||
        v > max) {
        Fail("'" + std::string(what) + "' must be a number from 0 to " + std::to_string(max) +
             ", not '" + std::string(text) + "'");
    }
    return v;
}

uint16_t Word16(std::string_view what, std::string_view text) {
    return static_cast<uint16_t>(Number(what, text, 0xFFFF));
}

std::vector<uint16_t> WordList(std::string_view what, std::string_view text, std::size_t min,
                               std::size_t max) {
    std::vector<uint16_t> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        out.push_back(Word16(what, text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (out.size() < min || out.size() > max) {
        Fail("'" + std::string(what) + "' takes " +
             (min == max ? std::to_string(min)
                         : std::to_string(min) + " or " + std::to_string(max)) +
             " numbers separated by commas, not " + std::to_string(out.size()));
    }
    return out;
}

std::string Text(std::string_view what, const std::string& value) {
    if (value.size() > kMaxString) {
        Fail("'" + std::string(what) + "' is " + std::to_string(value.size()) +
             " bytes; the conduit reads at most " + std::to_string(kMaxString));
    }
    return value;
}

// The named values of one line, each used at most once; what is left over is an error.
class Args {
  public:
    Args(std::string_view item, const std::vector<Token>& tokens) : item_(item) {
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            if (t.key.empty()) {
                plain_.push_back(t);
            } else if (!named_.emplace(t.key, t).second) {
                Fail("'" + t.key + "' given twice");
            }
        }
    }

    // The one plain value the item takes (a name, a type, ...).
    const Token& Plain(std::string_view what) {
        if (plain_.size() != 1) {
            Fail("'" + item_ + "' takes one " + std::string(what) +
                 (plain_.empty() ? "" : " only"));
        }
        plain_taken_ = true;
        return plain_[0];
    }
    std::vector<Token> AllPlain() { return std::exchange(plain_, {}); }

    const Token* Get(const std::string& key) {
        const auto it = named_.find(key);
        if (it == named_.end()) {
            return nullptr;
        }
        used_.insert(key);
        return &it->second;
    }
    void U16(const std::string& key, uint16_t& out) {
        if (const Token* t = Get(key)) {
            out = Word16(key, t->value);
        }
    }
    void U32(const std::string& key, uint32_t& out) {
        if (const Token* t = Get(key)) {
            out = Number(key, t->value, 0xFFFFFFFF);
        }
    }
    void String(const std::string& key, std::string& out) {
        if (const Token* t = Get(key)) {
            out = Text(key, t->value);
        }
    }
    // Everything given was taken.
    void Done() {
        if (!plain_taken_ && !plain_.empty()) {
            Fail("'" + item_ + "' takes no '" + plain_[0].value +
                 "'; values are given as name=value");
        }
        for (const auto& [key, token] : named_) {
            if (!used_.contains(key)) {
                Fail(context_.empty() ? "'" + item_ + "' has no '" + key + "'"
                                      : context_ + " has no '" + key + "'");
            }
        }
    }
    void SetContext(std::string context) { context_ = std::move(context); }

  private:
    std::string item_;
    std::string context_;
    std::vector<Token> plain_;
    bool plain_taken_ = false;
    std::map<std::string, Token> named_;
    std::set<std::string> used_;
};

class Parser {
  public:
    explicit Parser(PdaApplication& app) : app_(app) {}

    // The line being read; a check of a whole control or form moves it to where that began.
    void SetLine(int number) { line_ = number; }
    int line() const { return line_; }
    bool has_version() const { return have_version_; }

    void Line(const std::vector<Token>& tokens) {
        const Token& first = tokens[0];
        if (!first.key.empty() || first.quoted) {
            Fail("a line starts with the name of an item, not '" +
                 (first.key.empty() ? first.value : first.key) + "'");
        }
        const std::string& item = first.value;
        Args args(item, tokens);
        if (!have_version_) {
            if (item != "version") {
                Fail("the description starts with 'version N' (54 and up), not '" + item + "'");
            }
            Version(args);
            return;
        }
        if (item == "version") {
            Fail("'version' is given once, on the first line");
        } else if (item == "name") {
            NeedNoForm(item);
            app_.header.name = Text("name", args.Plain("name").value);
            args.Done();
        } else if (item == "header") {
            Header(args);
        } else if (item == "text") {
            Trailing(args);
        } else if (item == "table") {
            NeedNoForm(item);
            app_.header.tables.push_back({Text("table", args.Plain("table name").value), {}});
            args.Done();
        } else if (item == "table-data") {
            TableData(args);
        } else if (item == "string") {
            NeedNoForm(item);
            NeedVersion(item, 261);
            app_.header.strings.push_back(Text("string", args.Plain("text").value));
            args.Done();
        } else if (item == "form") {
            FormLine(args);
        } else if (item == "script") {
            FormScript(args);
        } else if (item == "control") {
            ControlLine(args);
        } else if (item == "row") {
            Row(args);
        } else if (item == "control-entry") {
            ControlEntry(args);
        } else if (item == "control-script") {
            ControlScript(args);
        } else if (item == "detail") {
            DetailLine(args);
        } else if (item == "detail-entry") {
            DetailEntry(args);
        } else if (item == "detail-item") {
            DetailItem(args);
        } else if (item == "detail-script") {
            NeedVersion(item, 259);
            PdaDetail& d = CurrentDetail(item);
            if (has_detail_script_) {
                Fail("a detail has one 'detail-script'");
            }
            has_detail_script_ = true;
            Script(args, d.script);
        } else {
            Fail("unknown item '" + item + "'");
        }
    }

    // Checks that need the whole of a control or form; `line` is where that began.
    void Finish() {
        FinishControl();
        FinishForm();
    }

  private:
    void Version(Args& args) {
        const Token& v = args.Plain("version number");
        const uint32_t n = Number("version", v.value, std::numeric_limits<int32_t>::max());
        if (n < 54) {
            Fail("version " + v.value + " is older than the conduit reads (54 and up)");
        }
        app_.version = static_cast<int32_t>(n);
        have_version_ = true;
        args.Done();
    }

    void NeedVersion(std::string_view what, int32_t from) {
        if (app_.version < from) {
            Fail("'" + std::string(what) + "' is in the file from version " + std::to_string(from) +
                 " on; this one is " + std::to_string(app_.version));
        }
    }
    void NeedNoForm(std::string_view what) {
        if (!app_.forms.empty()) {
            Fail("'" + std::string(what) + "' belongs to the header, before the first form");
        }
    }

    void Header(Args& args) {
        NeedNoForm("header");
        PdaHeader& h = app_.header;
        args.U32("long1", h.long1);
        args.U32("long2", h.long2);
        args.U16("word1", h.word1);
        if (args.Get("word2") != nullptr) {
            NeedVersion("word2", 262);
            args.U16("word2", h.word2);
        }
        if (const Token* t = args.Get("options")) {
            NeedVersion("options", 260);
            const auto words = WordList("options", t->value, 3, 4);
            if (words.size() == 4) {
                NeedVersion("option 4", 272);
            }
            for (std::size_t i = 0; i < words.size(); ++i) {
                h.options[i] = words[i];
            }
        }
        args.Done();
    }

    void Trailing(Args& args) {
        NeedNoForm("text");
        NeedVersion("text", 258);
        app_.header.text = Text("text", args.Plain("text").value);
        app_.header.text_flag = 1;
        args.U16("flag", app_.header.text_flag);
        args.Done();
    }

    void TableData(Args& args) {
        NeedNoForm("table-data");
        NeedVersion("table-data", 261);
        if (app_.header.tables.empty()) {
            Fail("'table-data' follows the 'table' it belongs to");
        }
        auto& data = app_.header.tables.back().data;
        const auto plain = args.AllPlain();
        if (plain.empty()) {
            Fail("'table-data' takes hex bytes, like 01 02 ff or 0102ff");
        }
        for (const Token& t : plain) {
            if (t.quoted || t.value.size() % 2 != 0) {
                Fail("'" + t.value + "' is not hex bytes (two digits a byte)");
            }
            for (std::size_t i = 0; i < t.value.size(); i += 2) {
                const int hi = HexDigit(t.value[i]);
                const int lo = HexDigit(t.value[i + 1]);
                if (hi < 0 || lo < 0) {
                    Fail("'" + t.value + "' is not hex bytes (two digits a byte)");
                }
                data.push_back(static_cast<uint8_t>(hi * 16 + lo));
            }
        }
        if (data.size() > 0xFFFF) {
            Fail("a table's data holds at most 65535 bytes");
        }
        args.Done();
    }

    void FormLine(Args& args) {
        Finish();
        app_.forms.emplace_back();
        form_line_ = line_;
        PdaForm& f = app_.forms.back().form;
        args.U16("word1", f.word1);
        args.U16("word2", f.word2);
        args.U16("word3", f.word3);
        args.Done();
    }

    PdaFormSpec& CurrentForm(std::string_view what) {
        if (app_.forms.empty()) {
            Fail("'" + std::string(what) + "' belongs to a form; start one with 'form'");
        }
        return app_.forms.back();
    }

    void Script(Args& args, PdaScript& s) {
        if (const Token* t = args.Get("code")) {
            s.code = t->value;  // a script's length is a long: no 1023-byte limit
        }
        if (s.code.empty() && (args.Get("w1") != nullptr || args.Get("w2") != nullptr)) {
            Fail("a script without code is written as its length 0 alone: w1 and w2 have no place");
        }
        args.U16("w1", s.w1);
        args.U16("w2", s.w2);
        if (const Token* t = args.Get("tag")) {
            if (t->value.size() != 4) {
                Fail("a script's tag is four bytes, not '" + t->value + "'");
            }
            s.tag = t->value;
        }
        args.Done();
    }

    void FormScript(Args& args) {
        PdaFormSpec& f = CurrentForm("script");
        NeedVersion("script", 259);
        if (!f.controls.empty()) {
            Fail("a form's scripts come before its controls");
        }
        f.form.scripts.emplace_back();
        Script(args, f.form.scripts.back());
    }

    static bool Takes(uint16_t type, std::initializer_list<uint16_t> types) {
        for (uint16_t t : types) {
            if (t == type) {
                return true;
            }
        }
        return false;
    }

    void ControlLine(Args& args) {
        PdaFormSpec& f = CurrentForm("control");
        FinishControl();
        const Token& t = args.Plain("type (2 to 17, or bitmap)");
        uint16_t type = 0;
        if (t.value == "bitmap") {
            type = kBitmapControlType;
        } else {
            uint32_t n = 0;
            const auto r = std::from_chars(t.value.data(), t.value.data() + t.value.size(), n);
            if (t.quoted || r.ec != std::errc{} || r.ptr != t.value.data() + t.value.size()) {
                Fail("unknown control type '" + t.value + "' (a number 2 to 17, or bitmap)");
            }
            if (n < kFirstControlType || n > kLastControlType) {
                Fail("control type " + t.value + " is outside 2 to 17");
            }
            type = static_cast<uint16_t>(n);
        }
        f.controls.push_back({});
        control_line_ = line_;
        has_detail_line_ = false;
        has_detail_script_ = false;
        PdaControl& c = f.controls.back().control;
        PdaTypePart& p = f.controls.back().part;
        c.type = type;
        args.SetContext("control type " + std::to_string(type));
        args.U32("long", c.control_long);
        args.U16("word", c.word);
        if (const Token* box = args.Get("box")) {
            const auto v = WordList("box", box->value, 4, 4);
            c.left = v[0];
            c.top = v[1];
            c.right = v[2];
            c.bottom = v[3];
        }
        if (args.Get("second") != nullptr) {
            NeedVersion("second", 263);
            args.U16("second", c.second_word);
        }
        if (Takes(type, {3, 6, 9, 11, 12, 13, 14, 15})) {
            args.U16("type-word", p.type_word);
        }
        if (Takes(type, {3, 14})) {
            if (const Token* w = args.Get("words")) {
                const auto v = WordList("words", w->value, 7, 7);
                std::copy(v.begin(), v.end(), p.words.begin());
            }
        }
        if (Takes(type, {6, 10, 12, 15, 17})) {
            args.U16("a", p.a);
        }
        if (Takes(type, {12, 15})) {
            args.U16("b", p.b);
        }
        if (type == 15) {
            args.U16("c", p.c);
        }
        if (Takes(type, {6, 9})) {
            args.U16("w", p.w);
        }
        if (Takes(type, {4, 5, 8, 11, 12})) {
            args.String("text", p.text);
        }
        args.Done();
    }

    PdaControlSpec& CurrentControl(std::string_view what,
                                   std::initializer_list<uint16_t> types = {}) {
        if (app_.forms.empty() || app_.forms.back().controls.empty()) {
            Fail("'" + std::string(what) + "' belongs to a control; start one with 'control'");
        }
        PdaControlSpec& c = app_.forms.back().controls.back();
        if (types.size() != 0 && !Takes(c.control.type, types)) {
            Fail("a control of type " + std::to_string(c.control.type) + " has no '" +
                 std::string(what) + "'");
        }
        return c;
    }

    void Row(Args& args) {
        PdaControlSpec& c = CurrentControl("row", {kBitmapControlType});
        const Token& t = args.Plain("row of pixels, X set and . clear");
        args.Done();
        if (c.control.right < c.control.left || c.control.bottom < c.control.top) {
            Fail("a bitmap's box runs from left,top to right,bottom; this one is backwards");
        }
        const std::size_t width = c.control.right - c.control.left;
        std::vector<uint8_t> bytes((width + 7) / 8, 0);
        if (t.value.starts_with("0x")) {
            // The row's bytes as the file holds them, bits past the width included.
            const std::string_view hex = std::string_view(t.value).substr(2);
            if (hex.size() != bytes.size() * 2) {
                Fail("a row of this bitmap is " + std::to_string(bytes.size()) + " bytes, not '" +
                     t.value + "'");
            }
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const int hi = HexDigit(hex[2 * i]);
                const int lo = HexDigit(hex[2 * i + 1]);
                if (hi < 0 || lo < 0) {
                    Fail("'" + t.value + "' is not hex bytes (two digits a byte)");
                }
                bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
            }
        } else if (t.value.size() != width) {
            Fail("a row of this bitmap is " + std::to_string(width) +
                 " pixels (right - left), not " + std::to_string(t.value.size()));
        }
        ++rows_;
        if (rows_ > static_cast<std::size_t>(c.control.bottom - c.control.top)) {
            Fail("this bitmap has " + std::to_string(c.control.bottom - c.control.top) +
                 " rows (bottom - top)");
        }
        for (std::size_t x = 0; x < width && !t.value.starts_with("0x"); ++x) {
            const char px = t.value[x];
            if (px == 'X') {
                bytes[x / 8] = static_cast<uint8_t>(bytes[x / 8] | (0x80 >> (x % 8)));
            } else if (px != '.') {
                Fail(std::string("a pixel is X (set) or . (clear), not '") + px + "'");
            }
        }
        c.part.rows.insert(c.part.rows.end(), bytes.begin(), bytes.end());
    }

    void ControlEntry(Args& args) {
        PdaControlSpec& c = CurrentControl("control-entry", {10});
        std::array<uint16_t, 6> e{};
        static constexpr const char* kNames[] = {"e1", "e2", "e3", "e4", "e5", "e6"};
        for (std::size_t i = 0; i < e.size(); ++i) {
            args.U16(kNames[i], e[i]);
        }
        args.Done();
        c.part.entries.push_back(e);
    }

    void ControlScript(Args& args) {
        PdaControlSpec& c = CurrentControl("control-script", {17});
        if (has_control_script_) {
            Fail("a control has one 'control-script'");
        }
        has_control_script_ = true;
        Script(args, c.part.script);
    }

    void DetailLine(Args& args) {
        PdaControlSpec& c = CurrentControl("detail");
        if (!HasDetail(c.control.type, app_.version)) {
            Fail("a control of type " + std::to_string(c.control.type) +
                 (c.control.type == 17 ? " has a detail from version 273 on"
                                       : " has no detail (types 3, 8, 10, 11, 12, 14, 17)"));
        }
        if (has_detail_line_) {
            Fail("a control has one 'detail'");
        }
        has_detail_line_ = true;
        PdaDetail& d = c.part.detail;
        args.U16("d1", d.d1);
        args.U16("flags", d.flags);
        args.U16("d2", d.d2);
        args.U16("d3", d.d3);
        args.String("s1", d.s1);
        args.String("s2", d.s2);
        args.U32("x1", d.x1);
        args.U32("x2", d.x2);
        args.U16("d4", d.d4);
        if (args.Get("d5") != nullptr) {
            NeedVersion("d5", 257);
            args.U16("d5", d.d5);
        }
        args.Done();
    }

    PdaDetail& CurrentDetail(std::string_view what) {
        PdaControlSpec& c = CurrentControl(what);
        if (!has_detail_line_) {
            Fail("'" + std::string(what) + "' belongs to a 'detail'; give that line first");
        }
        return c.part.detail;
    }

    void DetailEntry(Args& args) {
        PdaDetail& d = CurrentDetail("detail-entry");
        PdaDetailEntry e;
        args.U16("e1", e.e1);
        args.U16("e2", e.e2);
        args.U16("flags", e.flags);
        if (args.Get("text") != nullptr) {
            args.String("text", e.text);
            e.flags |= 0x8000;  // the flag that says a string follows instead of e4
            if (args.Get("e4") != nullptr) {
                Fail("an entry holds either text or e4");
            }
        } else if ((e.flags & 0x8000) != 0) {
            Fail("an entry whose flags have 0x8000 holds a text: give text=\"...\"");
        }
        args.U16("e4", e.e4);
        args.Done();
        d.entries.push_back(std::move(e));
    }

    void DetailItem(Args& args) {
        NeedVersion("detail-item", 257);
        PdaDetail& d = CurrentDetail("detail-item");
        PdaDetailItem item;
        args.U16("t1", item.t1);
        args.U16("t2", item.t2);
        args.U16("t3", item.t3);
        args.U32("t4", item.t4);
        args.Done();
        d.items.push_back(item);
    }

    void FinishControl() {
        if (app_.forms.empty() || app_.forms.back().controls.empty() || control_line_ == 0) {
            return;
        }
        const PdaControlSpec& c = app_.forms.back().controls.back();
        const int here = line_;
        line_ = control_line_;
        if (c.control.type == kBitmapControlType) {
            const std::size_t height =
                c.control.bottom >= c.control.top ? c.control.bottom - c.control.top : 0;
            if (c.control.right < c.control.left || c.control.bottom < c.control.top) {
                Fail("a bitmap's box runs from left,top to right,bottom; this one is backwards");
            }
            if (rows_ != height) {
                Fail("this bitmap has " + std::to_string(height) + " rows (bottom - top) but " +
                     std::to_string(rows_) + " 'row' lines");
            }
        }
        line_ = here;
        rows_ = 0;
        control_line_ = 0;
        has_control_script_ = false;
        has_detail_line_ = false;
        has_detail_script_ = false;
    }

    void FinishForm() {
        if (app_.forms.empty() || form_line_ == 0) {
            return;
        }
        const int here = line_;
        line_ = form_line_;
        const std::size_t scripts = app_.forms.back().form.scripts.size();
        if (app_.version >= 259 && app_.version < 264 && scripts != 8) {
            Fail(
                "a form of version 259 to 263 has exactly 8 scripts (give empty ones as 'script'); "
                "this one has " +
                std::to_string(scripts));
        }
        if (scripts > 11) {
            Fail("a form has at most 11 scripts; this one has " + std::to_string(scripts));
        }
        line_ = here;
        form_line_ = 0;
    }

    PdaApplication& app_;
    bool have_version_ = false;
    int line_ = 0;
    int form_line_ = 0;
    int control_line_ = 0;
    std::size_t rows_ = 0;
    bool has_detail_line_ = false;
    bool has_control_script_ = false;
    bool has_detail_script_ = false;
};

}  // namespace

PdaDescriptionResult ParsePdaDescription(std::string_view text, std::string_view source_name) {
    PdaDescriptionResult result;
    Parser parser(result.app);
    int number = 0;
    std::size_t start = 0;
    try {
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            parser.SetLine(++number);
            const auto tokens = Tokens(text.substr(start, end - start));
            if (!tokens.empty()) {
                parser.Line(tokens);
            }
            start = end + 1;
        }
        if (!parser.has_version()) {
            parser.SetLine(std::max(number, 1));
            Fail("no 'version N' line: the description starts with one");
        }
        parser.Finish();
    } catch (const DescriptionError& e) {
        result.error =
            std::string(source_name) + ":" + std::to_string(parser.line()) + ": " + e.message;
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace qx::pda

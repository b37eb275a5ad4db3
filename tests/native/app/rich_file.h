#pragma once
// An application file with every control type and every optional part of a detail, for the tests
// that need one file that reaches everywhere.

#include <cstdint>
#include <vector>

#include "tools/qxpda/pda_writer.h"

namespace qx::testing {

// Every control type and every optional part of a detail, in two forms.
inline std::vector<uint8_t> RichFile() {
    using pda::PdaDetail;
    using pda::PdaHeader;
    using pda::PdaWriter;
    PdaHeader h;
    h.name = "Rich";
    h.text_flag = 1;
    h.text = "tail";
    h.form_count = 2;
    h.tables = {{"a.dbf", {1, 2, 3}}};
    h.strings = {"s1", "s22"};
    const PdaDetail d = {.flags = 2,
                         .s1 = "r",
                         .s2 = "rr",
                         .entries = {{.flags = 0x8000, .text = "e"}, {.e4 = 4}},
                         .d5 = 5,
                         .items = {{1, 2, 3, 4}},
                         .script = {.w1 = 1, .code = "sc"}};
    PdaWriter w(273);
    w.Header(h);
    w.Form({.word1 = 1, .scripts = {{.code = "f"}, {}}, .control_count = 9});
    w.Control({.type = 2}).Control({.type = 4}).String("label");
    w.Control({.type = 3})
        .Word(1)
        .Word(1)
        .Word(2)
        .Word(3)
        .Word(4)
        .Word(5)
        .Word(6)
        .Word(7)
        .Detail(d);
    w.Control({.type = 6}).Word(1).Word(2).Word(3);
    w.Control({.type = 7, .right = 12, .bottom = 2}).Bytes({1, 2, 3, 4});
    w.Control({.type = 8}).String("x").Detail(d);
    w.Control({.type = 9}).Word(1).Word(2);
    w.Control({.type = 10})
        .Word(1)
        .Word(1)
        .Word(1)
        .Word(2)
        .Word(3)
        .Word(4)
        .Word(5)
        .Word(6)
        .Detail(d);
    w.Control({.type = 11}).String("y").Word(1).Detail(d);
    w.Form({.word1 = 2, .control_count = 4});
    w.Control({.type = 12}).String("z").Word(1).Word(2).Word(3).Detail(d);
    w.Control({.type = 13}).Word(1);
    w.Control({.type = 15}).Word(1).Word(2).Word(3).Word(4);
    w.Control({.type = 17}).Word(1).Script({.code = "q"}).Detail(d);
    return w.bytes();
}

}  // namespace qx::testing

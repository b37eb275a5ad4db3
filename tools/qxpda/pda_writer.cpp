#include "tools/qxpda/pda_writer.h"

namespace qx::pda {

PdaWriter& PdaWriter::Header(const PdaHeader& h) {
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

PdaWriter& PdaWriter::Script(const PdaScript& s) {
    Raw(s.tag).Long(static_cast<uint32_t>(s.code.size()));
    if (!s.code.empty()) {
        Word(s.w1).Word(s.w2).Raw(s.code);
    }
    return *this;
}

PdaWriter& PdaWriter::Form(const PdaForm& f) {
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

PdaWriter& PdaWriter::Control(const PdaControl& c) {
    Word(c.type).Long(c.control_long).Word(c.word);
    Word(c.left).Word(c.top).Word(c.right).Word(c.bottom);
    if (version_ >= 263) {
        Word(c.second_word);
    }
    return *this;
}

PdaWriter& PdaWriter::Detail(const PdaDetail& d) {
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

bool HasDetail(uint16_t type, int32_t version) {
    switch (type) {
        case 3:
        case 8:
        case 10:
        case 11:
        case 12:
        case 14:
            return true;
        case 17:
            return version >= 273;
        default:
            return false;
    }
}

PdaWriter& PdaWriter::TypePart(uint16_t type, const PdaTypePart& p) {
    switch (type) {
        case 3:
        case 14:
            Word(p.type_word);
            for (uint16_t w : p.words) {
                Word(w);
            }
            break;
        case 4:
        case 5:
        case 8:
            String(p.text);
            break;
        case 6:
            Word(p.a).Word(p.type_word).Word(p.w);
            break;
        case 7:
            Bytes(p.rows);
            break;
        case 9:
            Word(p.type_word).Word(p.w);
            break;
        case 10:
            Word(p.a).Word(static_cast<uint16_t>(p.entries.size()));
            for (const auto& e : p.entries) {
                for (uint16_t w : e) {
                    Word(w);
                }
            }
            break;
        case 11:
            String(p.text).Word(p.type_word);
            break;
        case 12:
            String(p.text).Word(p.type_word).Word(p.a).Word(p.b);
            break;
        case 13:
            Word(p.type_word);
            break;
        case 15:
            Word(p.type_word).Word(p.a).Word(p.b).Word(p.c);
            break;
        case 17:
            Word(p.a).Script(p.script);
            break;
        default:
            break;
    }
    if (HasDetail(type, version_)) {
        Detail(p.detail);
    }
    return *this;
}

std::vector<uint8_t> WriteApplication(const PdaApplication& app) {
    PdaWriter w(app.version);
    PdaHeader header = app.header;
    header.form_count = static_cast<uint32_t>(app.forms.size());
    w.Header(header);
    for (const auto& f : app.forms) {
        PdaForm form = f.form;
        form.control_count = static_cast<uint32_t>(f.controls.size());
        w.Form(form);
        for (const auto& c : f.controls) {
            w.Control(c.control).TypePart(c.control.type, c.part);
        }
    }
    return w.bytes();
}

}  // namespace qx::pda

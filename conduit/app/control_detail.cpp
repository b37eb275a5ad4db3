#include "conduit/app/control_detail.h"

#include <string>
#include <vector>

#include "conduit/app/script_block.h"

namespace qx {
namespace {

constexpr int32_t kSinceItems = 257;
constexpr int32_t kSinceScript = 259;

// Offsets in the fixed part.
constexpr std::size_t kAtReferences = 12;
constexpr std::size_t kAtItems = 14;
constexpr std::size_t kAtScript = 16;

constexpr std::size_t kReferenceFixedSize = 12;

struct DetailHead {
    uint16_t d1 = 0, flags = 0, d2 = 0, d3 = 0, d4 = 0, entries = 0;
    std::string s1, s2;
    uint32_t x1 = 0, x2 = 0;
};

bool ReadHead(PdaReader& reader, DetailHead& h) {
    reader.Skip(4, "detail long");
    reader.Word(h.d1, "detail word 1");
    reader.Word(h.flags, "detail flags");
    reader.Word(h.d2, "detail word 2");
    reader.Word(h.d3, "detail word 3");
    reader.String(h.s1, "detail string 1");
    reader.String(h.s2, "detail string 2");
    reader.Long(h.x1, "detail long 1");
    reader.Long(h.x2, "detail long 2");
    reader.Word(h.d4, "detail word 4");
    reader.Word(h.entries, "detail entry count");
    return reader.ok();
}

bool Full(PdaReader& reader, std::string_view what) {
    return reader.Fail(PdaFailure::kRecordTooLarge, what);
}

// Entries are reserved first; the strings of those that have one follow them in entry order.
bool Entries(PdaReader& reader, RecordWriter& out, std::size_t start, uint16_t count) {
    const std::size_t first = out.size();
    if (!out.Zeros(kDetailEntrySize * count)) {
        return Full(reader, "detail entries");
    }
    for (std::size_t i = 0; i < count; ++i) {
        uint16_t e1 = 0, e2 = 0, flags = 0, e4 = 0;
        std::string text;
        reader.Skip(4, "entry long");
        reader.Word(e1, "entry word 1");
        reader.Word(e2, "entry word 2");
        reader.Word(flags, "entry flags");
        if (flags & kDetailEntryHasString) {
            reader.String(text, "entry string");
        } else {
            reader.Word(e4, "entry word 4");
        }
        if (!reader.ok()) {
            return false;
        }
        const std::size_t at = first + i * kDetailEntrySize;
        out.PatchU16(at, e1);
        out.PatchU16(at + 2, e2);
        out.PatchU16(at + 4, flags);
        if (flags & kDetailEntryHasString) {
            out.PatchU16(at + 6, static_cast<uint16_t>(out.size() - start));
            if (!out.CString(text)) {
                return Full(reader, "entry string");
            }
        } else {
            out.PatchU16(at + 6, e4);
        }
    }
    return true;
}

bool References(PdaReader& reader, RecordWriter& out, std::size_t start, const DetailHead& h) {
    if (!(h.flags & kDetailHasReferences)) {
        return true;  // read with the head and dropped
    }
    if (!out.AlignEvenFrom(start)) {
        return Full(reader, "reference block");
    }
    out.PatchU16(start + kAtReferences, static_cast<uint16_t>(out.size() - start));
    const auto s1_at = static_cast<uint16_t>(kReferenceFixedSize);
    const auto s2_at = static_cast<uint16_t>(kReferenceFixedSize + h.s1.size() + 1);
    if (!out.U16(s1_at) || !out.U16(s2_at) || !out.U32(h.x1) || !out.U32(h.x2) ||
        !out.CString(h.s1) || !out.CString(h.s2)) {
        return Full(reader, "reference block");
    }
    return true;
}

bool Items(PdaReader& reader, RecordWriter& out, std::size_t start) {
    if (!reader.Has(kSinceItems)) {
        return true;
    }
    uint16_t count = 0;
    if (!reader.Word(count, "item count")) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    uint16_t d5 = 0;
    if (!reader.Word(d5, "item word")) {
        return false;
    }
    if (!out.AlignEvenFrom(start)) {
        return Full(reader, "item list");
    }
    out.PatchU16(start + kAtItems, static_cast<uint16_t>(out.size() - start));
    if (!out.U16(count) || !out.U16(d5)) {
        return Full(reader, "item list");
    }
    for (std::size_t i = 0; i < count; ++i) {
        uint16_t t1 = 0, t2 = 0, t3 = 0;
        uint32_t t4 = 0;
        reader.Skip(4, "item long");
        reader.Word(t1, "item word 1");
        reader.Word(t2, "item word 2");
        reader.Word(t3, "item word 3");
        if (!reader.Long(t4, "item long 4")) {
            return false;
        }
        if (!out.U16(t1) || !out.U16(t2) || !out.U16(t3) || !out.U32(t4)) {
            return Full(reader, "item list");
        }
    }
    return true;
}

bool Script(PdaReader& reader, RecordWriter& out, std::size_t start) {
    if (!reader.Has(kSinceScript)) {
        return true;
    }
    // From this version on the block always ends even, with or without a script.
    if (!out.AlignEvenFrom(start)) {
        return Full(reader, "detail script");
    }
    const std::size_t at = out.size();
    std::size_t size = 0;
    if (!ConvertScriptBlock(reader, out, size)) {
        return false;
    }
    if (size != 0) {
        out.PatchU16(start + kAtScript, static_cast<uint16_t>(at - start));
    }
    return true;
}

}  // namespace

bool ConvertControlDetail(PdaReader& reader, RecordWriter& out) {
    DetailHead h;
    if (!ReadHead(reader, h)) {
        return false;
    }
    const std::size_t start = out.size();
    if (!out.U16(h.d1) || !out.U16(h.d2) || !out.U16(h.d3) || !out.U16(h.d4) ||
        !out.U16(h.entries) || !out.U16(h.flags) || !out.Zeros(kDetailFixedSize - 12)) {
        return Full(reader, "detail");
    }
    return Entries(reader, out, start, h.entries) && References(reader, out, start, h) &&
           Items(reader, out, start) && Script(reader, out, start);
}

}  // namespace qx

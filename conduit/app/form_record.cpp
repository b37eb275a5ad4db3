#include "conduit/app/form_record.h"

#include <algorithm>

#include "conduit/app/control_entry.h"
#include "conduit/app/record_writer.h"
#include "conduit/app/script_block.h"
#include "conduit/sync/record_buffer.h"

namespace qx {
namespace {

constexpr int32_t kSinceScripts = 259;
constexpr int32_t kSinceScriptCount = 264;
constexpr uint16_t kImpliedScriptCount = 8;  // versions 259 to 263 always hold eight

// Offsets in the header.
constexpr std::size_t kAtWord2 = 4;
constexpr std::size_t kAtControlCount = 6;
constexpr std::size_t kAtControlsHere = 8;
constexpr std::size_t kAtWord1 = 10;
constexpr std::size_t kAtWord3 = 12;
constexpr std::size_t kAtScriptTable = 14;
constexpr std::size_t kAtFirstControl = 16;

bool Full(PdaReader& reader, std::string_view what) {
    return reader.Fail(PdaFailure::kRecordTooLarge, what);
}

bool Scripts(PdaReader& reader, RecordWriter& out) {
    uint16_t count = kImpliedScriptCount;
    if (reader.Has(kSinceScriptCount) && !reader.Word(count, "script count")) {
        return false;
    }
    if (count > kMaxFormScripts) {
        return reader.Fail(PdaFailure::kTooManyScripts, "script count");
    }
    const std::size_t table = out.size();
    out.PatchU16(kAtScriptTable, static_cast<uint16_t>(table));
    if (!out.U16(count) || !out.Zeros(kFormScriptTableSize - 2)) {
        return Full(reader, "script table");
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = out.size();
        std::size_t script_size = 0;
        if (!ConvertScriptBlock(reader, out, script_size)) {
            return false;
        }
        if (script_size != 0) {
            out.PatchU16(table + 2 + 2 * i, static_cast<uint16_t>(at - table));
        }
    }
    return true;
}

}  // namespace

bool ConvertForm(PdaReader& reader, std::span<uint8_t> out, uint16_t& size) {
    size = 0;
    bool tag_ok = false;
    if (!reader.Tag(kFormTag, tag_ok, "form tag")) {
        return false;
    }
    if (!tag_ok) {
        return reader.Fail(PdaFailure::kWrongFormTag, "form tag");
    }
    uint16_t word1 = 0, word2 = 0, word3 = 0;
    reader.Word(word1, "form word 1");
    reader.Word(word2, "form word 2");
    if (!reader.Word(word3, "form word 3")) {
        return false;
    }
    RecordWriter w(out.first(std::min(out.size(), std::size_t{kRecordBufferCapacity})));
    if (!w.Text(kFormTag) || !w.Zeros(kFormHeaderSize - kFormTag.size())) {
        return Full(reader, "form header");
    }
    w.PatchU16(kAtWord2, word2);
    w.PatchU16(kAtWord1, word1);
    w.PatchU16(kAtWord3, word3);
    if (reader.Has(kSinceScripts) && !Scripts(reader, w)) {
        return false;
    }
    uint16_t controls = 0;
    if (!reader.LongCount(controls, "control count")) {
        return false;
    }
    w.PatchU16(kAtControlCount, controls);
    w.PatchU16(kAtControlsHere, controls);
    w.PatchU16(kAtFirstControl, static_cast<uint16_t>(w.size()));
    for (std::size_t i = 0; i < controls; ++i) {
        if (!ConvertControl(reader, w)) {
            return false;
        }
    }
    size = static_cast<uint16_t>(w.size());
    return true;
}

}  // namespace qx

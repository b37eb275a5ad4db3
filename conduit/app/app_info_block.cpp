#include "conduit/app/app_info_block.h"

#include <algorithm>
#include <string>

#include "conduit/app/record_writer.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/sync/record_buffer.h"

namespace qx {
namespace {

// Offsets in the fixed part of the block.
constexpr std::size_t kAtSignature = 0;
constexpr std::size_t kAtName = 8;
constexpr std::size_t kNameField = 32;
constexpr std::size_t kAtBlockVersion = 40;
constexpr std::size_t kAtHeaderLong2 = 42;
constexpr std::size_t kAtFormCount = 44;
constexpr std::size_t kAtTableCount = 46;
constexpr std::size_t kAtHeaderWord1 = 52;
constexpr std::size_t kAtHeaderLong1 = 54;
constexpr std::size_t kAtTextOffset = 58;
constexpr std::size_t kAtOptions = 60;
constexpr std::size_t kAtStringCount = 64;
constexpr std::size_t kAtStringTable = 70;
constexpr std::size_t kAtHeaderWord2 = 72;
constexpr std::size_t kAtEntryDataOffset = 32;

// Versions from which optional header items are present.
constexpr int32_t kSinceTrailingText = 258;
constexpr int32_t kSinceOptions = 260;
constexpr int32_t kSinceTableData = 261;
constexpr int32_t kSinceHeaderWord2 = 262;
constexpr int32_t kSinceOption4 = 272;

void PutName(std::span<uint8_t> field, std::string_view name) {
    std::fill(field.begin(), field.end(), uint8_t{0});
    const std::size_t n = std::min(name.size(), field.size() - 1);
    for (std::size_t i = 0; i < n; ++i) {
        field[i] = static_cast<uint8_t>(name[i]);
    }
}

struct Header {
    uint32_t long1 = 0;
    std::string name;
    uint32_t long2 = 0;
    uint16_t word1 = 0;
    uint16_t text_flag = 0;
    std::string text;
    uint16_t options[4] = {};
    uint16_t word2 = 0;
    uint16_t form_count = 0;
    uint16_t table_count = 0;
};

bool ReadHeader(PdaReader& reader, Header& h) {
    reader.Long(h.long1, "header long 1");
    reader.String(h.name, "application name");
    reader.Long(h.long2, "header long 2");
    reader.Word(h.word1, "header word 1");
    if (reader.Has(kSinceTrailingText)) {
        reader.Word(h.text_flag, "text flag");
        reader.String(h.text, "trailing text");
    }
    if (reader.Has(kSinceOptions)) {
        reader.Word(h.options[0], "option word 1");
        reader.Word(h.options[1], "option word 2");
        reader.Word(h.options[2], "option word 3");
    }
    if (reader.Has(kSinceHeaderWord2)) {
        reader.Word(h.word2, "header word 2");
    }
    if (reader.Has(kSinceOption4)) {
        reader.Word(h.options[3], "option word 4");
    }
    reader.LongCount(h.form_count, "form count");
    reader.LongCount(h.table_count, "table count");
    return reader.ok();
}

bool FixedPart(RecordWriter& w, const Header& h) {
    if (!w.Zeros(kAppInfoFixedSize)) {
        return false;
    }
    std::copy(kAppFileSignature.begin(), kAppFileSignature.end(),
              w.Written(kAtSignature, kAppFileSignature.size()).begin());
    PutName(w.Written(kAtName, kNameField), h.name);
    w.PatchU16(kAtBlockVersion, kAppInfoBlockVersion);
    w.PatchU16(kAtHeaderLong2, static_cast<uint16_t>(h.long2));
    w.PatchU16(kAtFormCount, h.form_count);
    w.PatchU16(kAtTableCount, h.table_count);
    w.PatchU16(kAtHeaderWord1, h.word1);
    w.PatchU32(kAtHeaderLong1, h.long1);
    for (std::size_t i = 0; i < 4; ++i) {
        w.Written(kAtOptions + i, 1)[0] = static_cast<uint8_t>(h.options[i]);
    }
    w.PatchU16(kAtHeaderWord2, h.word2);
    return true;
}

// Entries first (reserved), then each table's data appended as its description is read.
bool Tables(PdaReader& reader, RecordWriter& w, uint16_t count) {
    const std::size_t first_entry = w.size();
    if (!w.Zeros(kAppTableEntrySize * count)) {
        return reader.Fail(PdaFailure::kAppInfoTooLarge, "table entries");
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = first_entry + i * kAppTableEntrySize;
        std::string name;
        uint16_t data_size = 0;
        std::span<const uint8_t> data;
        reader.String(name, "table name");
        if (reader.Has(kSinceTableData)) {
            reader.Word(data_size, "table data size");
            reader.Bytes(data_size, data, "table data");
        }
        if (!reader.ok()) {
            return false;
        }
        PutName(w.Written(entry, kNameField), MakeHandheldDbName(name, HandheldDbKind::kTable));
        if (!data.empty()) {
            w.PatchU16(entry + kAtEntryDataOffset, static_cast<uint16_t>(w.size() - entry));
            if (!w.Bytes(data)) {
                return reader.Fail(PdaFailure::kAppInfoTooLarge, "table data");
            }
        }
    }
    return true;
}

// One 4-byte slot per string, each holding the distance from the slot to its string.
bool Strings(PdaReader& reader, RecordWriter& w) {
    uint16_t count = 0;
    if (!reader.Word(count, "string count")) {
        return false;
    }
    w.PatchU16(kAtStringCount, count);
    if (count == 0) {
        return true;
    }
    if (!w.AlignEven()) {
        return reader.Fail(PdaFailure::kAppInfoTooLarge, "string table");
    }
    const std::size_t first_slot = w.size();
    w.PatchU16(kAtStringTable, static_cast<uint16_t>(first_slot));
    if (!w.Zeros(4 * std::size_t{count})) {
        return reader.Fail(PdaFailure::kAppInfoTooLarge, "string table");
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::string text;
        if (!reader.String(text, "header string")) {
            return false;
        }
        const std::size_t slot = first_slot + 4 * i;
        w.PatchU16(slot, static_cast<uint16_t>(w.size() - slot));
        if (!w.CString(text)) {
            return reader.Fail(PdaFailure::kAppInfoTooLarge, "header string");
        }
    }
    if (!w.U8(0) || !w.AlignEven()) {
        return reader.Fail(PdaFailure::kAppInfoTooLarge, "string table");
    }
    return true;
}

}  // namespace

PdaOpening ReadPdaOpening(PdaReader& reader) {
    bool signature_ok = false;
    if (!reader.Tag(kAppFileSignature, signature_ok, "signature") || !signature_ok) {
        return PdaOpening::kNotApplication;
    }
    uint32_t version = 0;
    if (!reader.Long(version, "format version")) {
        return PdaOpening::kNotApplication;
    }
    reader.set_version(static_cast<int32_t>(version));
    if (reader.version() < kOldestAppFileVersion) {
        return PdaOpening::kIncompatible;
    }
    return PdaOpening::kApplication;
}

bool ConvertAppHeader(PdaReader& reader, std::span<uint8_t> out, AppInfoBlockResult& result) {
    result = {};
    Header h;
    if (!ReadHeader(reader, h)) {
        return false;
    }
    RecordWriter w(out.first(std::min(out.size(), std::size_t{kRecordBufferCapacity})));
    if (!FixedPart(w, h)) {
        return reader.Fail(PdaFailure::kAppInfoTooLarge, "fixed part");
    }
    if (!Tables(reader, w, h.table_count)) {
        return false;
    }
    if (reader.Has(kSinceTableData) && !Strings(reader, w)) {
        return false;
    }
    // The trailing text goes right after what precedes it, unaligned.
    if (h.text_flag != 0) {
        w.PatchU16(kAtTextOffset, static_cast<uint16_t>(w.size()));
        if (!w.CString(h.text)) {
            return reader.Fail(PdaFailure::kAppInfoTooLarge, "trailing text");
        }
    }
    result.size = static_cast<uint16_t>(w.size());
    result.form_count = h.form_count;
    return true;
}

}  // namespace qx

// Any bytes as a handheld record under a column list taken from the input's first bytes: every
// field is decoded in turn until one is refused, and no read goes past the record.
//
// Input: a count byte n (at most 16), then n entries of letter, width (2 bytes, big-endian) and
// decimals, then the record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "conduit/tables/field_decoding.h"

namespace {

struct QuietErrors final : qx::ErrorReporter {
    void ReportError(std::string_view, std::optional<std::string_view>) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> input(data, size);
    if (input.empty()) {
        return 0;
    }
    const std::size_t count = input[0] % 17;
    if (input.size() < 1 + 4 * count) {
        return 0;
    }
    std::vector<qx::tables::HandheldColumn> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const auto e = input.subspan(1 + 4 * i, 4);
        qx::tables::HandheldColumn entry;
        entry.letter = e[0];
        entry.width = static_cast<uint16_t>(e[1] << 8 | e[2]);
        entry.decimals = e[3];
        entries.push_back(entry);
    }
    const auto columns = qx::tables::RetrievalColumnsFor(entries);
    // A copy of exactly the record's bytes, so the sanitizer sees any read past it.
    const auto tail = input.subspan(1 + 4 * count);
    const std::vector<uint8_t> record(tail.begin(), tail.end());
    QuietErrors errors;
    std::size_t at = 0;
    for (const auto& column : columns) {
        const auto field =
            qx::tables::DecodeFieldValue(std::span(record).subspan(at), column, errors);
        if (!field.ok) {
            break;
        }
        if (field.encoded_size == 0 || at + field.encoded_size > record.size() ||
            field.length > field.text.size()) {
            __builtin_trap();
        }
        at += field.encoded_size;
    }
    return 0;
}

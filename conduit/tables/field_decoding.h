#pragma once
// Turns one encoded field of a handheld record back into the text its dBase field receives:
//   'C'            the bytes up to the first NUL, a carriage return put before every line feed
//   'D', 'L', 'T'  the bytes as they are
//   'F'            the big-endian double, "%*.*f" with the width and decimal count
//   'N'            the big-endian 32-bit integer, decimal
//   'Q', 'S'       the big-endian 64-bit integer, decimal
//   'G'            the bytes from offset 4 of the encoded field (the ink record)
//   other letters  "Unknown PDA_FIELDTYPE", a single NUL byte
// An empty value is an empty text. The text's length is then cut to the column width, and for
// aligned text to the field length; the text bytes themselves stay whole.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "conduit/sync/error_reporter.h"
#include "conduit/tables/retrieval_column.h"

namespace qx::tables {

// The scratch space a decoded text may fill: the conduit's record buffer.
inline constexpr std::size_t kMaxDecodedText = 0xFC00;

struct DecodedField {
    bool ok = false;
    std::string error;          // when !ok: what in the field could not be read
    std::vector<uint8_t> text;  // the decoded bytes, whole
    std::size_t length = 0;     // how many of them the field receives
    std::size_t encoded_size = 0;
};

// Reads the field at the start of `field`, which ends where the record ends. A prefix or value
// running past that end, or a number whose value has the wrong size, is refused (ok false).
DecodedField DecodeFieldValue(std::span<const uint8_t> field, const RetrievalColumn& column,
                              ErrorReporter& errors);

}  // namespace qx::tables

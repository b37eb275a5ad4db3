#pragma once
// One field of a handheld table record: a length prefix and the value bytes. A length of 0..254
// takes one byte; 255..65535 takes the byte 0xFF and the length as a big-endian 16-bit count.
// The value is chosen by the dBase field's type, length and decimal count:
//   'C', 'M'  the text without carriage returns, then a NUL (counted in the length)
//   'D', 'G', 'L'  the text's bytes
//   'N' with decimals  the leading decimal number as a big-endian IEEE double
//   'N' without decimals, 10 characters or more  a big-endian signed 64-bit integer
//   'N' without decimals, shorter  a big-endian signed 32-bit integer
// An empty text is the single byte 0 for every type.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "conduit/dbase/dbase_type.h"
#include "conduit/sync/error_reporter.h"

namespace qx::tables {

inline constexpr std::size_t kMaxFieldValue = 0xFFFF;

// Writes the prefix and `data` at the start of `out`. Answers the encoded size, or 0 when the
// field does not fit in `out` or the value is longer than kMaxFieldValue; nothing is written
// past `out` in either case.
std::size_t PutFieldBytes(std::span<uint8_t> out, std::span<const uint8_t> data);

// Encodes `text` (ANSI, as ReadFieldText gives it) at the start of `out` and answers the encoded
// size, or 0 when it does not fit. A type letter without an encoding reports "Unknown
// DBASE_TYPE" for each non-empty value and encodes it empty.
std::size_t EncodeFieldValue(std::string_view text, dbase::DbaseType type, uint8_t length,
                             uint8_t decimals, std::span<uint8_t> out, ErrorReporter& errors);

// The numbers in a numeric field's text: optional blanks and sign, then digits (and for a
// double a decimal point and exponent). Text that holds no number gives 0; integers beyond the
// type's range give its nearest limit.
double LeadingDouble(std::string_view text);
int64_t LeadingInt64(std::string_view text);
int32_t LeadingInt32(std::string_view text);

}  // namespace qx::tables

#pragma once
// A cursor over the bytes of an application file (.PDA): little-endian words and longs, strings
// with a 16-bit length, and the format version that decides which optional items are present.
//
// Every read is bounds-checked. The first thing that makes the rest of the file unusable (the end
// of the data, a count or layout the handheld cannot hold) is kept as the reader's failure; later
// reads then fail too, so a converter can read a run of items and check once.
// Recoverable oddities (a string too long, a script without its signature) are reported through
// the ErrorReporter as they are met, and reading goes on.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/byte_io.h"
#include "conduit/sync/error_reporter.h"

namespace qx {

// Why a conversion stopped. Each maps to one numbered message (AppFailureMessage).
enum class PdaFailure {
    kNone,
    kTruncated,        // the file ended inside an item
    kWrongFormTag,     // a form did not begin with "FORM"
    kCountTooLarge,    // a count the handheld holds in 16 bits is above 65535
    kTooManyScripts,   // a form's script table has room for 11 scripts
    kBadControlType,   // a control type outside 2 to 17
    kBadBitmapSize,    // a bitmap control whose right/bottom lies before its left/top
    kAppInfoTooLarge,  // the application info block would pass the record buffer
    kRecordTooLarge,   // a form record would pass the record buffer
};

// The numbered message for a failure (kNone gives an empty view).
std::string_view AppFailureMessage(PdaFailure failure);

// The longest string the file may hold; longer ones are cut to 1023 bytes and reported.
inline constexpr std::size_t kPdaStringLimit = 1024;

class PdaReader {
  public:
    PdaReader(std::span<const uint8_t> file, ErrorReporter& errors)
        : in_(file, ByteOrder::kLittle), errors_(errors) {}

    int32_t version() const { return version_; }
    void set_version(int32_t version) { version_ = version; }
    // Items marked "from version n on" are present only when this holds.
    bool Has(int32_t since_version) const { return version_ >= since_version; }

    std::size_t offset() const { return in_.offset(); }
    bool ok() const { return failure_ == PdaFailure::kNone; }
    PdaFailure failure() const { return failure_; }
    // Where reading stopped, for diagnostics ("unexpected end of data at offset 0x1c ...").
    const std::string& failure_detail() const { return detail_; }

    bool Word(uint16_t& out, std::string_view what);
    bool Long(uint32_t& out, std::string_view what);
    // A long the handheld keeps in 16 bits; above 65535 fails with kCountTooLarge.
    bool LongCount(uint16_t& out, std::string_view what);
    bool Bytes(std::size_t count, std::span<const uint8_t>& out, std::string_view what);
    bool Skip(std::size_t count, std::string_view what);
    // True when the next four bytes are `tag` (consumed either way when present).
    bool Tag(std::string_view tag, bool& matches, std::string_view what);
    // A string: 16-bit length and that many bytes. The text ends at its first zero byte. A length
    // of 1024 or more reports 1050, keeps the first 1023 bytes and skips the rest so the reads
    // after it stay in step.
    bool String(std::string& out, std::string_view what);

    // Records the first failure; always answers false so callers can `return reader.Fail(..)`.
    bool Fail(PdaFailure failure, std::string_view detail = {});

    ErrorReporter& errors() { return errors_; }

  private:
    bool Check(bool read_ok);

    ByteReader in_;
    ErrorReporter& errors_;
    int32_t version_ = 0;
    PdaFailure failure_ = PdaFailure::kNone;
    std::string detail_;
};

}  // namespace qx

#include "conduit/tables/field_encoding.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "conduit/handheld_db/byte_swap.h"
#include "conduit/tables/table_messages.h"

namespace qx::tables {
namespace {

using dbase::DbaseType;

constexpr uint8_t kLongPrefix = 0xFF;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return text.substr(i);
}

std::span<const uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::size_t PutFieldBytes(std::span<uint8_t> out, std::span<const uint8_t> data) {
    if (data.size() > kMaxFieldValue) {
        return 0;
    }
    const std::size_t prefix = data.size() < kLongPrefix ? 1 : 3;
    const std::size_t size = prefix + data.size();
    if (size > out.size()) {
        return 0;
    }
    if (prefix == 1) {
        out[0] = static_cast<uint8_t>(data.size());
    } else {
        out[0] = kLongPrefix;
        StoreU16(out.subspan(1).first<2>(), static_cast<uint16_t>(data.size()), ByteOrder::kBig);
    }
    std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(prefix));
    return size;
}

double LeadingDouble(std::string_view text) {
    std::string_view rest = SkipBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    // from_chars does not depend on the locale's decimal point, unlike strtod.
    double value = 0;
    const auto [end, ec] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: strtod knows which limit (or zero) it means.
        value = std::strtod(
            std::string(rest.substr(0, static_cast<std::size_t>(end - rest.data()))).c_str(),
            nullptr);
    } else if (ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

int64_t LeadingInt64(std::string_view text) {
    std::string_view rest = SkipBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    // Accumulated as a negative number so that the lowest value fits.
    constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') {
            break;
        }
        const int digit = c - '0';
        if (value < (kLowest + digit) / 10) {
            value = kLowest;  // saturated; further digits change nothing
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == kLowest ? std::numeric_limits<int64_t>::max() : -value;
}

int32_t LeadingInt32(std::string_view text) {
    const int64_t value = LeadingInt64(text);
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::size_t EncodeFieldValue(std::string_view text, DbaseType type, uint8_t length,
                             uint8_t decimals, std::span<uint8_t> out, ErrorReporter& errors) {
    if (text.empty()) {
        return PutFieldBytes(out, {});
    }
    switch (type) {
        case DbaseType::kCharacter:
        case DbaseType::kMemo: {
            // The desktop writes line breaks as CR LF, the handheld as LF alone.
            std::vector<uint8_t> value;
            value.reserve(text.size() + 1);
            for (char c : text) {
                if (c != '\r') {
                    value.push_back(static_cast<uint8_t>(c));
                }
            }
            value.push_back(0);
            return PutFieldBytes(out, value);
        }
        case DbaseType::kDate:
        case DbaseType::kPicture:
        case DbaseType::kLogical:
            return PutFieldBytes(out, AsBytes(text));
        case DbaseType::kNumeric:
            if (decimals != 0) {
                return PutFieldBytes(out, HandheldDoubleBytes(LeadingDouble(text)));
            }
            if (length >= 10) {
                std::array<uint8_t, 8> value{};
                const uint64_t bits = static_cast<uint64_t>(LeadingInt64(text));
                StoreU32(std::span(value).first<4>(), static_cast<uint32_t>(bits >> 32),
                         ByteOrder::kBig);
                StoreU32(std::span(value).subspan<4>(), static_cast<uint32_t>(bits),
                         ByteOrder::kBig);
                return PutFieldBytes(out, value);
            } else {
                std::array<uint8_t, 4> value{};
                StoreU32(value, static_cast<uint32_t>(LeadingInt32(text)), ByteOrder::kBig);
                return PutFieldBytes(out, value);
            }
        default:
            errors.ReportError(kMsgUnknownDbaseType, std::nullopt);
            return PutFieldBytes(out, {});
    }
}

}  // namespace qx::tables

#include "conduit/app/pda_reader.h"

#include <algorithm>

#include "conduit/app/app_messages.h"

namespace qx {

std::string_view AppFailureMessage(PdaFailure failure) {
    switch (failure) {
        case PdaFailure::kNone:
            return {};
        case PdaFailure::kTruncated:
        case PdaFailure::kWrongFormTag:
        case PdaFailure::kCountTooLarge:
        case PdaFailure::kTooManyScripts:
        case PdaFailure::kBadBitmapSize:
            return kMsgAppFileCorrupted;
        case PdaFailure::kAppInfoTooLarge:
            return kMsgCannotWriteAppInfo;
        case PdaFailure::kBadControlType:
        case PdaFailure::kRecordTooLarge:
            return kMsgCannotCopyForm;
    }
    return kMsgAppFileCorrupted;
}

bool PdaReader::Fail(PdaFailure failure, std::string_view detail) {
    if (failure_ == PdaFailure::kNone) {
        failure_ = failure;
        detail_ = detail;
    }
    return false;
}

bool PdaReader::Check(bool read_ok) {
    if (!ok()) {
        return false;
    }
    if (!read_ok) {
        return Fail(PdaFailure::kTruncated, in_.error());
    }
    return true;
}

bool PdaReader::Word(uint16_t& out, std::string_view what) {
    out = 0;
    return ok() && Check(in_.U16(out, what));
}

bool PdaReader::Long(uint32_t& out, std::string_view what) {
    out = 0;
    return ok() && Check(in_.U32(out, what));
}

bool PdaReader::LongCount(uint16_t& out, std::string_view what) {
    out = 0;
    uint32_t count = 0;
    if (!Long(count, what)) {
        return false;
    }
    if (count > 0xFFFF) {
        return Fail(PdaFailure::kCountTooLarge, what);
    }
    out = static_cast<uint16_t>(count);
    return true;
}

bool PdaReader::Bytes(std::size_t count, std::span<const uint8_t>& out, std::string_view what) {
    out = {};
    return ok() && Check(in_.View(count, out, what));
}

bool PdaReader::Skip(std::size_t count, std::string_view what) {
    return ok() && Check(in_.Skip(count, what));
}

bool PdaReader::Tag(std::string_view tag, bool& matches, std::string_view what) {
    matches = false;
    std::span<const uint8_t> bytes;
    if (!Bytes(tag.size(), bytes, what)) {
        return false;
    }
    matches = std::equal(bytes.begin(), bytes.end(), tag.begin(), tag.end(),
                         [](uint8_t b, char c) { return b == static_cast<uint8_t>(c); });
    return true;
}

bool PdaReader::String(std::string& out, std::string_view what) {
    out.clear();
    uint16_t length = 0;
    if (!Word(length, what)) {
        return false;
    }
    std::size_t kept = length;
    if (length >= kPdaStringLimit) {
        errors_.ReportError(kMsgStringTooBig, std::nullopt);
        kept = kPdaStringLimit - 1;
    }
    std::span<const uint8_t> bytes;
    if (!Bytes(kept, bytes, what) || !Skip(length - kept, what)) {
        return false;
    }
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    out.assign(bytes.begin(), end);
    return true;
}

}  // namespace qx

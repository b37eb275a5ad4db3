#include "standins/handheld/db_file_name.h"

#include <array>

namespace qx {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool Plain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool ReservedDeviceName(std::string_view stem) {
    static constexpr std::array<std::string_view, 4> kNames = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view n : kNames) {
        if (stem == n) {
            return true;
        }
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string DbFileName(std::string_view db_name, bool resource) {
    std::string file;
    const bool reserved = ReservedDeviceName(db_name);
    for (std::size_t i = 0; i < db_name.size(); ++i) {
        const auto c = static_cast<unsigned char>(db_name[i]);
        if (Plain(c) && !(reserved && i == 0)) {
            file.push_back(static_cast<char>(c));
        } else {
            file.push_back('%');
            file.push_back(kHex[c >> 4]);
            file.push_back(kHex[c & 0xF]);
        }
    }
    file += resource ? kResourceDbExtension : kRecordDbExtension;
    return file;
}

std::optional<DecodedDbFileName> DecodeDbFileName(std::string_view file_name) {
    DecodedDbFileName decoded;
    if (file_name.ends_with(kRecordDbExtension)) {
        decoded.resource = false;
    } else if (file_name.ends_with(kResourceDbExtension)) {
        decoded.resource = true;
    } else {
        return std::nullopt;
    }
    const std::string_view stem = file_name.substr(0, file_name.size() - 4);
    for (std::size_t i = 0; i < stem.size(); ++i) {
        const auto c = static_cast<unsigned char>(stem[i]);
        if (Plain(c)) {
            decoded.db_name.push_back(static_cast<char>(c));
        } else if (c == '%' && i + 2 < stem.size()) {
            const int high = HexValue(stem[i + 1]);
            const int low = HexValue(stem[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            decoded.db_name.push_back(static_cast<char>(high << 4 | low));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    // Only the one spelling DbFileName produces counts, so two files never claim one database.
    if (decoded.db_name.empty() || DbFileName(decoded.db_name, decoded.resource) != file_name) {
        return std::nullopt;
    }
    return decoded;
}

}  // namespace qx

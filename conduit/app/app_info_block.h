#pragma once
// The opening of an application file and its conversion into the application database's info
// block (AppInfoBlock): the header values, the table entries with their data, the string table
// and the trailing text.

#include <cstdint>
#include <span>

#include "conduit/app/pda_reader.h"

namespace qx {

inline constexpr std::string_view kAppFileSignature = "QXAD";
inline constexpr int32_t kOldestAppFileVersion = 54;
inline constexpr uint16_t kAppInfoBlockVersion = 0x0210;
inline constexpr std::size_t kAppInfoFixedSize = 90;
inline constexpr std::size_t kAppTableEntrySize = 44;

enum class PdaOpening {
    kApplication,     // signature and version accepted; the reader knows the version
    kNotApplication,  // wrong signature, or too short to hold signature and version (1010)
    kIncompatible,    // a version below 54, compared as a signed number (1020)
};

PdaOpening ReadPdaOpening(PdaReader& reader);

struct AppInfoBlockResult {
    uint16_t size = 0;        // bytes of the block at the start of the buffer
    uint16_t form_count = 0;  // forms that follow in the file
};

// Reads the rest of the header, the table descriptions and the strings, and builds the block at
// the start of `out`. On failure the reader holds the reason and `out` holds a partial block.
bool ConvertAppHeader(PdaReader& reader, std::span<uint8_t> out, AppInfoBlockResult& result);

}  // namespace qx

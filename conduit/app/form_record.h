#pragma once
// One form of an application file converted into its handheld record (FormRecord): a 34-byte
// header, from version 259 on a script table and the form's scripts, then its controls back to
// back. A form must fit one record of the record buffer's capacity.

#include <cstdint>
#include <span>

#include "conduit/app/pda_reader.h"

namespace qx {

inline constexpr std::string_view kFormTag = "FORM";
inline constexpr std::size_t kFormHeaderSize = 34;
inline constexpr std::size_t kFormScriptTableSize = 24;
inline constexpr uint16_t kMaxFormScripts = 11;

// Reads one form and builds its record at the start of `out`; `size` gets the record's size.
// On failure the reader holds the reason (a wrong tag, a script count above 11, a control type
// outside 2 to 17, a record that would pass the capacity, or the end of the file).
bool ConvertForm(PdaReader& reader, std::span<uint8_t> out, uint16_t& size);

}  // namespace qx

#pragma once
// Scripts (ScriptBlock) of forms and controls. In the file: "RCSS", a long length L and, when L is
// non-zero, two words and L bytes of code. On the handheld an empty script takes no room; any
// other is 6, the two words and the code, padded to even length.

#include <cstddef>

#include "conduit/app/pda_reader.h"
#include "conduit/app/record_writer.h"

namespace qx {

inline constexpr std::string_view kScriptSignature = "RCSS";
inline constexpr uint16_t kScriptHeaderTag = 6;

// Reads one script and appends its handheld form; `size` gets the bytes appended (0 when empty).
// A wrong signature reports 1250 and the script is still read. A script that does not fit fails
// the reader with kRecordTooLarge.
bool ConvertScriptBlock(PdaReader& reader, RecordWriter& out, std::size_t& size);

}  // namespace qx

#pragma once
// One control of a form (ControlEntry): a 36-byte header with the values every control has, then
// the part its type defines. The entry's size is kept even.

#include "conduit/app/pda_reader.h"
#include "conduit/app/record_writer.h"

namespace qx {

inline constexpr std::string_view kControlTag = "CTRL";
inline constexpr std::size_t kControlHeaderSize = 36;
inline constexpr uint16_t kFirstControlType = 2;
inline constexpr uint16_t kLastControlType = 17;

// Reads one control and appends its entry at the writer's end. A type outside 2 to 17 fails with
// kBadControlType as soon as it is read; an entry that does not fit fails with kRecordTooLarge.
bool ConvertControl(PdaReader& reader, RecordWriter& out);

}  // namespace qx

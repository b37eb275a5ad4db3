#pragma once
// The detail block (ControlDetail) that several control types end with: a 26-byte fixed part, its
// entries and their strings, then the optional reference block, item list and script, each
// 2-aligned from the start of the block. Offsets inside it count from its start.

#include "conduit/app/pda_reader.h"
#include "conduit/app/record_writer.h"

namespace qx {

inline constexpr std::size_t kDetailFixedSize = 26;
inline constexpr std::size_t kDetailEntrySize = 16;
inline constexpr uint16_t kDetailHasReferences = 0x0002;   // flag word bit: keep s1, s2, x1, x2
inline constexpr uint16_t kDetailEntryHasString = 0x8000;  // entry flag bit: a string, not a word

// Reads one detail block and appends its handheld form at the writer's end. Failures are left in
// the reader (kTruncated, kRecordTooLarge).
bool ConvertControlDetail(PdaReader& reader, RecordWriter& out);

}  // namespace qx

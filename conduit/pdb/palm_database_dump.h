#pragma once
// A readable listing of a Palm database: header fields with their meaning, blocks and entries with
// offsets, and the bytes as hex with printable characters beside them.

#include <string>

#include "conduit/pdb/palm_database.h"

namespace qx {

std::string DatabaseAttributeNames(uint16_t attributes);  // "backup, hidden" or "none"
std::string RecordAttributeNames(uint8_t attributes);     // file form: "deleted, dirty" or "none"
std::string HexDump(const std::vector<uint8_t>& bytes, const std::string& indent);

// `layout` may be null (a database that never was a file).
std::string DumpPalmDatabase(const PalmDatabase& db, const PalmDbLayout* layout,
                             bool with_data = true);

}  // namespace qx

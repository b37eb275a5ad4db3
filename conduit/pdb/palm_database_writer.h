#pragma once
// Writes a PalmDatabase in the standard .pdb/.prc layout (palm_database.h): entry list, two zero
// gap bytes, then application info, sort info and data blocks back to back. An absent block gets
// offset 0; an empty one gets the offset where it would start, so it reads back as present.

#include <cstdint>
#include <string>
#include <vector>

#include "conduit/pdb/palm_database.h"

namespace qx {

// False with a reason when the database cannot be represented (name too long, too many entries,
// a unique ID above 24 bits, more than 4 GiB of data).
bool EncodePalmDatabase(const PalmDatabase& db, std::vector<uint8_t>& out, std::string& error);

}  // namespace qx

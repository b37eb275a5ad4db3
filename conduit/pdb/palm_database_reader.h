#pragma once
// Reads a .pdb or .prc file held in memory. Every offset and length is checked against the bytes
// present before it is used; a malformed file gives an error naming the field and its offset,
// never a read outside the buffer.

#include <cstdint>
#include <span>
#include <string>

#include "conduit/pdb/palm_database.h"

namespace qx {

struct PalmDbReadResult {
    bool ok = false;
    std::string error;  // when !ok
    PalmDatabase db;
    PalmDbLayout layout;
};

PalmDbReadResult ReadPalmDatabase(std::span<const uint8_t> bytes);

}  // namespace qx

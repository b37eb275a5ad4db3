#pragma once
// One field of a dBase table as the table code sees it.

#include <cstdint>
#include <string>

#include "conduit/dbase/dbase_type.h"

namespace qx::dbase {

struct TableColumn {
    std::string name;  // at most 11 characters, as stored (no code-page conversion)
    DbaseType type = DbaseType::kCharacter;
    uint8_t length = 0;    // bytes in the record
    uint8_t decimals = 0;  // decimal count
    ColMetaType meta = kNoColMetaType;
    // Position in the record counted from the byte after the deletion flag: the sum of the
    // lengths of the fields before this one.
    uint32_t offset = 0;
};

}  // namespace qx::dbase

#pragma once
// A handheld column as the retrieval sees it: its letter, width and decimal count, the dBase field
// that receives it and how its text is placed there.
//
//   'C' wider than 253    memo field, length 10, memo text
//   'C' up to 253, 'T'    character field of the width, left-aligned
//   'D'                   date field, length 8, left-aligned
//   'L'                   logical field, length 1, left-aligned
//   'G'                   picture field, length 10, picture
//   'F', 'N', 'Q', 'S'    numeric field of the width, right-aligned
//   any other letter      character field of the width, left-aligned ("Unknown PDA_FIELDTYPE")
//
// A dBase field length is one byte, so a width above 255 gives a field of 255 (values are cut to
// the field as well as to the width).

#include <cstdint>
#include <span>
#include <vector>

#include "conduit/dbase/place_field_text.h"
#include "conduit/dbase/table_column.h"
#include "conduit/tables/table_info_block.h"

namespace qx::tables {

inline constexpr uint16_t kWidestTextField = 253;

struct RetrievalColumn {
    uint8_t letter = 'C';
    uint16_t width = 0;
    uint8_t decimals = 0;
    bool known = true;  // false for a letter the retrieval has no rule for
    dbase::TableColumn field;
    dbase::PlaceKind kind = dbase::PlaceKind::kLeftAligned;
};

// The retrieval columns of a block's entries, with field offsets as running sums.
std::vector<RetrievalColumn> RetrievalColumnsFor(std::span<const HandheldColumn> entries);

// The smallest record length that holds every field and the deletion flag.
uint32_t MinimumRecordLength(std::span<const RetrievalColumn> columns);

}  // namespace qx::tables

#pragma once
// A record of a handheld table database read and edited as the handheld's table engine would:
// its columns come from the database's TableInfoBlock, its fields are length-prefixed values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conduit/tables/table_info_block.h"

namespace qx {

struct ShownField {
    std::string name;
    uint8_t letter = 'C';
    std::string text;  // as the desktop's table will receive it
};

// The fields of `record` by column; nothing, with `error` set, when the record does not hold
// one well-formed field per column.
std::optional<std::vector<ShownField>> ShowTableRecord(std::span<const uint8_t> info_block,
                                                       std::span<const uint8_t> record,
                                                       std::string& error);

// `record` with the field of column `column` (by name) holding `text` instead, encoded for its
// column's letter; nothing, with `error` set, for an unknown column, a picture column, text
// wider than a text column, or a record that is not well formed.
std::optional<std::vector<uint8_t>> EditTableRecord(std::span<const uint8_t> info_block,
                                                    std::span<const uint8_t> record,
                                                    std::string_view column, std::string_view text,
                                                    std::string& error);

}  // namespace qx

// Any bytes as a TableInfoBlock: parsed, mapped to dBase fields, and written back when parsed.

#include <cstddef>
#include <cstdint>
#include <span>

#include "conduit/tables/retrieval_column.h"
#include "conduit/tables/table_info_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> block(data, size);
    const qx::tables::ParsedInfoBlock parsed = qx::tables::ParseTableInfoBlock(block);
    if (!parsed.ok) {
        return 0;
    }
    const auto columns = qx::tables::RetrievalColumnsFor(parsed.columns);
    uint32_t offset = 0;
    for (const auto& column : columns) {
        if (column.field.offset != offset) {
            __builtin_trap();  // offsets must be running sums
        }
        offset += column.field.length;
    }
    if (qx::tables::MinimumRecordLength(columns) != offset + 1) {
        __builtin_trap();
    }
    // What was read writes back to the same header fields and entries.
    const auto again = qx::tables::EncodeTableInfoBlock(parsed.columns, parsed.record_length);
    const auto reparsed = qx::tables::ParseTableInfoBlock(again);
    if (!reparsed.ok || reparsed.columns.size() != parsed.columns.size()) {
        __builtin_trap();
    }
    return 0;
}

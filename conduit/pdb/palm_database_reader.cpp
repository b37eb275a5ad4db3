#include "conduit/pdb/palm_database_reader.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "common/byte_io.h"

namespace qx {

namespace {

std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

PalmDbReadResult Fail(std::string message) {
    PalmDbReadResult result;
    result.error = std::move(message);
    return result;
}

}  // namespace

PalmDbReadResult ReadPalmDatabase(std::span<const uint8_t> bytes) {
    ByteReader reader(bytes, ByteOrder::kBig);
    PalmDbReadResult result;
    PalmDbHeader& h = result.db.header;

    std::span<const uint8_t> name;
    uint32_t app_info_offset = 0, sort_info_offset = 0;
    uint16_t count = 0;
    reader.View(32, name, "name") && reader.U16(h.attributes, "attributes") &&
        reader.U16(h.version, "version") && reader.U32(h.creation_date, "creation date") &&
        reader.U32(h.modification_date, "modification date") &&
        reader.U32(h.backup_date, "last backup date") &&
        reader.U32(h.modification_number, "modification number") &&
        reader.U32(app_info_offset, "application info offset") &&
        reader.U32(sort_info_offset, "sort info offset") && reader.U32(h.type, "type") &&
        reader.U32(h.creator, "creator") && reader.U32(h.unique_id_seed, "unique ID seed") &&
        reader.U32(h.next_record_list_id, "next record list ID") &&
        reader.U16(count, "number of entries");
    if (reader.failed()) {
        return Fail("header: " + reader.error());
    }
    const auto nul = std::find(name.begin(), name.end(), uint8_t{0});
    if (nul == name.end()) {
        return Fail("name at offset 0x0 has no terminating zero within its 32 bytes");
    }
    h.name.assign(name.begin(), nul);

    const bool resources = result.db.is_resource();
    const std::size_t entry_size = resources ? kPrcResourceEntrySize : kPdbRecordEntrySize;
    const std::size_t list_end = kPdbHeaderSize + entry_size * count;
    if (list_end > bytes.size()) {
        return Fail(
            Format("%s list of %u entries at offset 0x%zx needs 0x%zx bytes, file ends "
                   "at 0x%zx",
                   resources ? "resource" : "record", count, kPdbHeaderSize, entry_size * count,
                   bytes.size()));
    }

    // Blocks follow the list in this order: application info, sort info, entry data.
    std::size_t floor = list_end;
    const auto check_block = [&](uint32_t offset, std::size_t field, const char* what,
                                 std::string& error) {
        if (offset == 0) {
            return true;
        }
        if (offset < floor) {
            error = Format(
                "%s offset 0x%x (field at offset 0x%zx) lies before 0x%zx, inside the "
                "header, entry list or an earlier block",
                what, offset, field, floor);
            return false;
        }
        if (offset > bytes.size()) {
            error = Format(
                "%s offset 0x%x (field at offset 0x%zx) is past the end of the file "
                "(size 0x%zx)",
                what, offset, field, bytes.size());
            return false;
        }
        floor = offset;
        return true;
    };
    std::string error;
    if (!check_block(app_info_offset, kPdbAppInfoOffsetField, "application info", error) ||
        !check_block(sort_info_offset, kPdbSortInfoOffsetField, "sort info", error)) {
        return Fail(error);
    }

    std::vector<uint32_t>& offsets = result.layout.data_offsets;
    offsets.reserve(count);
    if (resources) {
        result.db.resources.resize(count);
    } else {
        result.db.records.resize(count);
    }
    for (uint16_t i = 0; i < count; ++i) {
        const std::size_t entry_at = reader.offset();
        uint32_t offset = 0;
        if (resources) {
            PalmResource& r = result.db.resources[i];
            reader.U32(r.type, "resource type") && reader.U16(r.id, "resource ID") &&
                reader.U32(offset, "resource data offset");
        } else {
            PalmRecord& r = result.db.records[i];
            std::span<const uint8_t> id;
            reader.U32(offset, "record data offset") && reader.U8(r.attributes, "attributes") &&
                reader.View(3, id, "unique ID");
            if (!reader.failed()) {
                r.unique_id =
                    static_cast<uint32_t>(id[0]) << 16 | static_cast<uint32_t>(id[1]) << 8 | id[2];
            }
        }
        if (reader.failed()) {
            return Fail(reader.error());  // cannot happen: the list was checked to fit
        }
        const char* kind = resources ? "resource" : "record";
        if (offset < floor) {
            return Fail(
                Format("%s %u (entry at offset 0x%zx): data offset 0x%x lies before 0x%zx, "
                       "inside the header, entry list or an earlier block",
                       kind, i, entry_at, offset, floor));
        }
        if (offset > bytes.size()) {
            return Fail(
                Format("%s %u (entry at offset 0x%zx): data offset 0x%x is past the end "
                       "of the file (size 0x%zx)",
                       kind, i, entry_at, offset, bytes.size()));
        }
        floor = offset;
        offsets.push_back(offset);
    }

    // Each block runs to the start of the next one.
    const std::size_t first_data = count > 0 ? offsets.front() : bytes.size();
    const std::size_t sort_end = first_data;
    const std::size_t app_end = sort_info_offset != 0 ? sort_info_offset : first_data;
    const auto slice = [&](std::size_t from, std::size_t to) {
        return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(to));
    };
    if (app_info_offset != 0) {
        result.db.app_info = slice(app_info_offset, app_end);
    }
    if (sort_info_offset != 0) {
        result.db.sort_info = slice(sort_info_offset, sort_end);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? offsets[i + 1] : bytes.size();
        auto data = slice(offsets[i], end);
        if (resources) {
            result.db.resources[i].data = std::move(data);
        } else {
            result.db.records[i].data = std::move(data);
        }
    }
    result.layout.app_info_offset = app_info_offset;
    result.layout.sort_info_offset = sort_info_offset;
    result.ok = true;
    return result;
}

}  // namespace qx

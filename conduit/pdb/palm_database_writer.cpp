#include "conduit/pdb/palm_database_writer.h"

#include <limits>

#include "common/byte_io.h"

namespace qx {

bool EncodePalmDatabase(const PalmDatabase& db, std::vector<uint8_t>& out, std::string& error) {
    const PalmDbHeader& h = db.header;
    if (h.name.size() > 31 || h.name.find('\0') != std::string::npos) {
        error = "database name must be at most 31 characters without a zero byte";
        return false;
    }
    const bool resources = db.is_resource();
    const std::size_t count = resources ? db.resources.size() : db.records.size();
    if (count > kMaxPalmEntries) {
        error = "a database holds at most 65535 entries";
        return false;
    }
    const std::size_t entry_size = resources ? kPrcResourceEntrySize : kPdbRecordEntrySize;
    uint64_t position = kPdbHeaderSize + entry_size * count + kPdbGapSize;
    uint32_t app_info_offset = 0, sort_info_offset = 0;
    if (db.app_info) {
        app_info_offset = static_cast<uint32_t>(position);
        position += db.app_info->size();
    }
    if (db.sort_info) {
        sort_info_offset = static_cast<uint32_t>(position);
        position += db.sort_info->size();
    }
    std::vector<uint32_t> offsets;
    offsets.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        offsets.push_back(static_cast<uint32_t>(position));
        position += resources ? db.resources[i].data.size() : db.records[i].data.size();
    }
    if (position > std::numeric_limits<uint32_t>::max()) {
        error = "database is larger than 4 GiB";
        return false;
    }

    ByteWriter w(ByteOrder::kBig);
    w.Text(h.name);
    w.Zeros(32 - h.name.size());
    w.U16(h.attributes);
    w.U16(h.version);
    w.U32(h.creation_date);
    w.U32(h.modification_date);
    w.U32(h.backup_date);
    w.U32(h.modification_number);
    w.U32(app_info_offset);
    w.U32(sort_info_offset);
    w.U32(h.type);
    w.U32(h.creator);
    w.U32(h.unique_id_seed);
    w.U32(0);  // a file holds its whole list; no chained list follows
    w.U16(static_cast<uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        if (resources) {
            w.U32(db.resources[i].type);
            w.U16(db.resources[i].id);
            w.U32(offsets[i]);
        } else {
            const PalmRecord& r = db.records[i];
            if (r.unique_id > kMaxUniqueId) {
                error = "record " + std::to_string(i) + " has a unique ID above 24 bits";
                return false;
            }
            w.U32(offsets[i]);
            w.U8(r.attributes);
            w.U8(static_cast<uint8_t>(r.unique_id >> 16));
            w.U16(static_cast<uint16_t>(r.unique_id));
        }
    }
    w.Zeros(kPdbGapSize);
    if (db.app_info) {
        w.Bytes(*db.app_info);
    }
    if (db.sort_info) {
        w.Bytes(*db.sort_info);
    }
    for (std::size_t i = 0; i < count; ++i) {
        w.Bytes(resources ? db.resources[i].data : db.records[i].data);
    }
    out = w.Take();
    return true;
}

}  // namespace qx

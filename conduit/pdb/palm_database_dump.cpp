#include "conduit/pdb/palm_database_dump.h"

#include <cstdarg>
#include <cstdio>

#include "common/printable_text.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/sync/sync_records.h"

namespace qx {

namespace {

void Line(std::string& out, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

void Line(std::string& out, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    out += text;
    out += '\n';
}

}  // namespace

std::string DatabaseAttributeNames(uint16_t attributes) {
    static const struct {
        uint16_t bit;
        const char* name;
    } kNames[] = {
        {kDbAttrResource, "resource"},
        {kDbAttrReadOnly, "read-only"},
        {kDbAttrAppInfoDirty, "app-info-dirty"},
        {kDbAttrBackupFlag, "backup"},
        {kDbAttrOkToInstallNewer, "ok-to-install-newer"},
        {kDbAttrResetAfterInstall, "reset-after-install"},
        {kDbAttrCopyPrevention, "copy-prevention"},
        {kDbAttrStream, "stream"},
        {kDbAttrHidden, "hidden"},
        {kDbAttrLaunchableData, "launchable-data"},
        {kDbAttrRecyclable, "recyclable"},
        {kDbAttrBundle, "bundle"},
        {kDbAttrOpen, "open"},
    };
    std::string names;
    uint16_t known = 0;
    for (const auto& n : kNames) {
        known |= n.bit;
        if (attributes & n.bit) {
            names += names.empty() ? "" : ", ";
            names += n.name;
        }
    }
    if (attributes & ~known) {
        char extra[32];
        std::snprintf(extra, sizeof extra, "%sother 0x%04X", names.empty() ? "" : ", ",
                      attributes & ~known);
        names += extra;
    }
    return names.empty() ? "none" : names;
}

std::string RecordAttributeNames(uint8_t attributes) {
    std::string names;
    const auto add = [&](const char* name) {
        names += names.empty() ? "" : ", ";
        names += name;
    };
    if (attributes & kFileRecDeleted) {
        add("deleted");
        if (attributes & kFileRecArchived) {
            add("archived");
        }
    }
    if (attributes & kFileRecDirty) {
        add("dirty");
    }
    if (attributes & kFileRecBusy) {
        add("busy");
    }
    if (attributes & kFileRecSecret) {
        add("secret");
    }
    return names.empty() ? "none" : names;
}

std::string HexDump(const std::vector<uint8_t>& bytes, const std::string& indent) {
    std::string out;
    for (std::size_t row = 0; row < bytes.size(); row += 16) {
        char text[128];
        int n = std::snprintf(text, sizeof text, "%s%06zx ", indent.c_str(), row);
        std::string line(text, static_cast<std::size_t>(n));
        std::string chars;
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i < bytes.size()) {
                std::snprintf(text, sizeof text, " %02x", bytes[i]);
                line += text;
                chars.push_back(bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i])
                                                                    : '.');
            } else {
                line += "   ";
            }
        }
        out += line + "  " + chars + "\n";
    }
    return out;
}

std::string DumpPalmDatabase(const PalmDatabase& db, const PalmDbLayout* layout, bool with_data) {
    const PalmDbHeader& h = db.header;
    std::string out;
    Line(out, "name:                \"%s\"", PrintableText(h.name).c_str());
    Line(out, "kind:                %s",
         db.is_resource() ? "resource database (.prc)" : "record database (.pdb)");
    Line(out, "attributes:          0x%04X (%s)", h.attributes,
         DatabaseAttributeNames(h.attributes).c_str());
    Line(out, "version:             %u", h.version);
    Line(out, "creation date:       0x%08X (%s)", h.creation_date,
         FormatPalmDate(h.creation_date).c_str());
    Line(out, "modification date:   0x%08X (%s)", h.modification_date,
         FormatPalmDate(h.modification_date).c_str());
    Line(out, "last backup date:    0x%08X (%s)", h.backup_date,
         FormatPalmDate(h.backup_date).c_str());
    Line(out, "modification number: %u", h.modification_number);
    Line(out, "type:                '%s' (0x%08X)", FourCcText(h.type).c_str(), h.type);
    Line(out, "creator:             '%s' (0x%08X)", FourCcText(h.creator).c_str(), h.creator);
    Line(out, "unique ID seed:      0x%06X", h.unique_id_seed);
    const auto block = [&](const char* name, const std::optional<std::vector<uint8_t>>& bytes,
                           uint32_t offset) {
        if (!bytes) {
            Line(out, "%-20s absent", name);
            return;
        }
        if (layout) {
            Line(out, "%-20s %zu bytes at 0x%X", name, bytes->size(), offset);
        } else {
            Line(out, "%-20s %zu bytes", name, bytes->size());
        }
        if (with_data) {
            out += HexDump(*bytes, "    ");
        }
    };
    block("application info:", db.app_info, layout ? layout->app_info_offset : 0);
    block("sort info:", db.sort_info, layout ? layout->sort_info_offset : 0);
    const std::size_t count = db.is_resource() ? db.resources.size() : db.records.size();
    Line(out, "%s:%*s%zu", db.is_resource() ? "resources" : "records", db.is_resource() ? 11 : 13,
         "", count);
    for (std::size_t i = 0; i < count; ++i) {
        char where[32] = "";
        if (layout && i < layout->data_offsets.size()) {
            std::snprintf(where, sizeof where, " at 0x%X", layout->data_offsets[i]);
        }
        const std::vector<uint8_t>* data = nullptr;
        if (db.is_resource()) {
            const PalmResource& r = db.resources[i];
            Line(out, "  #%zu type '%s' id %u, %zu bytes%s", i, FourCcText(r.type).c_str(), r.id,
                 r.data.size(), where);
            data = &r.data;
        } else {
            const PalmRecord& r = db.records[i];
            const bool deleted = (r.attributes & kFileRecDeleted) != 0;
            char category[24] = "";
            if (!deleted) {
                std::snprintf(category, sizeof category, ", category %u",
                              r.attributes & kFileRecCategoryMask);
            }
            Line(out, "  #%zu id 0x%06X, attributes 0x%02X (%s)%s, %zu bytes%s", i, r.unique_id,
                 r.attributes, RecordAttributeNames(r.attributes).c_str(), category, r.data.size(),
                 where);
            data = &r.data;
        }
        if (with_data) {
            out += HexDump(*data, "      ");
        }
    }
    return out;
}

}  // namespace qx

#pragma once
// A Palm database as a .pdb (records) or .prc (resources) file holds it. The file layout, all
// numbers big-endian:
//
//   0   32  name, zero-terminated          52  4  application info offset (0 = none)
//   32   2  attributes                     56  4  sort info offset (0 = none)
//   34   2  version                        60  4  type           64  4  creator
//   36   4  creation date                  68  4  unique ID seed
//   40   4  modification date              72  4  next record list ID (0 in files)
//   44   4  last backup date               76  2  number of entries
//   48   4  modification number            78     entry list, then two gap bytes, then the
//                                                 application info, sort info and data blocks
//
// A record entry is 8 bytes (data offset 4, attributes 1, unique ID 3); a resource entry is 10
// (type 4, ID 2, data offset 4). A block runs to the next block's offset, the last to the end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx {

inline constexpr std::size_t kPdbHeaderSize = 78;
inline constexpr std::size_t kPdbRecordEntrySize = 8;
inline constexpr std::size_t kPrcResourceEntrySize = 10;
inline constexpr std::size_t kPdbGapSize = 2;
inline constexpr std::size_t kMaxPalmEntries = 0xFFFF;
inline constexpr uint32_t kMaxUniqueId = 0xFFFFFF;

// Header field offsets, for messages that say where a bad value sits.
inline constexpr std::size_t kPdbAppInfoOffsetField = 52;
inline constexpr std::size_t kPdbSortInfoOffsetField = 56;
inline constexpr std::size_t kPdbEntryCountField = 76;

// Database attributes.
inline constexpr uint16_t kDbAttrResource = 0x0001;
inline constexpr uint16_t kDbAttrReadOnly = 0x0002;
inline constexpr uint16_t kDbAttrAppInfoDirty = 0x0004;
inline constexpr uint16_t kDbAttrBackupFlag = 0x0008;
inline constexpr uint16_t kDbAttrOkToInstallNewer = 0x0010;
inline constexpr uint16_t kDbAttrResetAfterInstall = 0x0020;
inline constexpr uint16_t kDbAttrCopyPrevention = 0x0040;
inline constexpr uint16_t kDbAttrStream = 0x0080;
inline constexpr uint16_t kDbAttrHidden = 0x0100;
inline constexpr uint16_t kDbAttrLaunchableData = 0x0200;
inline constexpr uint16_t kDbAttrRecyclable = 0x0400;
inline constexpr uint16_t kDbAttrBundle = 0x0800;
inline constexpr uint16_t kDbAttrOpen = 0x8000;

// Record attribute byte in a file: flags in the high nibble, category in the low one. A deleted
// record's category means nothing, so its 0x08 bit marks it archived (deleted, data kept).
inline constexpr uint8_t kFileRecDeleted = 0x80;
inline constexpr uint8_t kFileRecDirty = 0x40;
inline constexpr uint8_t kFileRecBusy = 0x20;
inline constexpr uint8_t kFileRecSecret = 0x10;
inline constexpr uint8_t kFileRecCategoryMask = 0x0F;
inline constexpr uint8_t kFileRecArchived = 0x08;  // only together with kFileRecDeleted

struct PalmDbHeader {
    std::string name;  // at most 31 characters
    uint16_t attributes = 0;
    uint16_t version = 0;
    uint32_t creation_date = 0;
    uint32_t modification_date = 0;
    uint32_t backup_date = 0;
    uint32_t modification_number = 0;
    uint32_t type = 0;
    uint32_t creator = 0;
    uint32_t unique_id_seed = 0;
    uint32_t next_record_list_id = 0;
};

struct PalmRecord {
    uint8_t attributes = 0;  // file form: flags | category
    uint32_t unique_id = 0;  // 24 bits
    std::vector<uint8_t> data;
};

struct PalmResource {
    uint32_t type = 0;
    uint16_t id = 0;
    std::vector<uint8_t> data;
};

struct PalmDatabase {
    PalmDbHeader header;
    // Absent and empty differ: an empty block is present with no bytes.
    std::optional<std::vector<uint8_t>> app_info;
    std::optional<std::vector<uint8_t>> sort_info;
    std::vector<PalmRecord> records;      // when not a resource database
    std::vector<PalmResource> resources;  // when a resource database

    bool is_resource() const { return (header.attributes & kDbAttrResource) != 0; }
};

// Where the blocks of a file were found; the reader fills it for dumps.
struct PalmDbLayout {
    uint32_t app_info_offset = 0;
    uint32_t sort_info_offset = 0;
    std::vector<uint32_t> data_offsets;  // one per entry
};

}  // namespace qx

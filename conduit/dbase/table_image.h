#pragma once
// A dBase table file (.DBF) loaded whole into memory, and the reading of its layout.
//
// Layout (little-endian): a 32-byte header (version at 0, record count at 4, header length at 8,
// record length at 10), 32-byte field descriptors from offset 32 ended by a byte 0x0D, the
// records from the header length on, and an end-of-file byte 0x1A.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/error_sink.h"
#include "conduit/dbase/record_limits.h"
#include "conduit/dbase/table_column.h"

namespace qx::dbase {

// Longest record accepted, deletion flag included.
inline constexpr uint32_t kMaxRecordLength = kRecordBufferSize;

inline constexpr uint8_t kDeletedFlag = '*';
inline constexpr uint8_t kDescriptorEnd = 0x0D;
inline constexpr uint8_t kEndOfFile = 0x1A;
inline constexpr std::size_t kTableHeaderSize = 32;
inline constexpr std::size_t kDescriptorSize = 32;

class TableImage {
  public:
    bool loaded() const { return !bytes_.empty(); }
    // Frees the image; the table command does this when it ends.
    void Release();

    uint8_t version() const { return version_; }
    // Bit 3 of the version: memos in the memo file start with an 8-byte block header.
    bool memos_have_block_header() const { return (version_ & 0x08) != 0; }
    uint32_t record_count() const { return record_count_; }
    uint16_t header_length() const { return header_length_; }
    uint16_t record_length() const { return record_length_; }

    // Record i, record-length bytes whose first is the deletion flag; empty when i is out of
    // range.
    std::span<const uint8_t> Record(uint32_t index) const;
    bool IsDeleted(uint32_t index) const;

    // Every byte held: header length + record count x record length + 1, or one less when the
    // file lacks its end-of-file byte.
    std::span<const uint8_t> bytes() const { return bytes_; }

  private:
    friend bool LoadTable(DesktopFile&, std::string_view, ErrorSink&, TableImage&);

    std::vector<uint8_t> bytes_;
    uint8_t version_ = 0;
    uint32_t record_count_ = 0;
    uint16_t header_length_ = 0;
    uint16_t record_length_ = 0;
};

// Reads the open table file, from its current position at offset 0, into `image`. Reports 1230
// for a record length above kMaxRecordLength and 1180 when memory runs out. A file whose header,
// descriptors or records are cut short, or whose fields do not fit its record length, is refused
// with kMsgTableDamaged naming the field and offset, so no later read can run past the image.
// The path is used only in messages.
[[nodiscard]] bool LoadTable(DesktopFile& file, std::string_view path, ErrorSink& errors,
                             TableImage& image);

// The columns of a loaded image in descriptor order, with their offsets. The walk stops at the
// first slot starting with 0x0D, or at the header length when there is no terminator; a slot that
// does not end before the header length is not a field. May be empty.
std::vector<TableColumn> ReadColumns(const TableImage& image);

}  // namespace qx::dbase

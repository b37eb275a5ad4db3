#include "conduit/dbase/table_image.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <new>
#include <optional>

#include "common/byte_io.h"
#include "common/large_pages.h"
#include "conduit/dbase/dbase_messages.h"

namespace qx::dbase {
namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

std::string Describe(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

void ReportDamaged(ErrorSink& errors, std::string_view path, std::string_view why) {
    std::string detail(path);
    detail += ": ";
    detail += why;
    errors.ReportError(kMsgTableDamaged, detail);
}

// Walks the descriptor slots; `visit` gets each slot's 32 bytes and its file offset.
template <typename Visit>
void WalkDescriptors(std::span<const uint8_t> image, uint16_t header_length, Visit visit) {
    const std::size_t limit = std::min<std::size_t>(header_length, image.size());
    for (std::size_t at = kTableHeaderSize; at < limit && image[at] != kDescriptorEnd;
         at += kDescriptorSize) {
        if (at + kDescriptorSize > limit) {
            break;  // a partial slot before the records: not a field
        }
        visit(image.subspan(at, kDescriptorSize), at);
    }
}

}  // namespace

void TableImage::Release() {
    std::vector<uint8_t>().swap(bytes_);
    version_ = 0;
    record_count_ = 0;
    header_length_ = 0;
    record_length_ = 0;
}

std::span<const uint8_t> TableImage::Record(uint32_t index) const {
    if (index >= record_count_) {
        return {};
    }
    const uint64_t start = header_length_ + uint64_t{index} * record_length_;
    if (start + record_length_ > bytes_.size()) {
        return {};  // LoadTable refuses such images; kept for safety
    }
    return std::span(bytes_).subspan(static_cast<std::size_t>(start), record_length_);
}

bool TableImage::IsDeleted(uint32_t index) const {
    const auto record = Record(index);
    return !record.empty() && record[0] == kDeletedFlag;
}

bool LoadTable(DesktopFile& file, std::string_view path, ErrorSink& errors, TableImage& image) {
    image.Release();
    std::vector<uint8_t> bytes;
    try {
        std::array<uint8_t, kTableHeaderSize> header{};
        const std::size_t got = ReadFully(file, header);
        const std::span<const uint8_t> held = std::span(header).first(got);
        ByteReader reader(held, ByteOrder::kLittle);
        uint8_t version = 0;
        uint32_t count = 0;
        uint16_t header_length = 0, record_length = 0;
        if (!reader.U8(version, "version") || !reader.Skip(3, "date") ||
            !reader.U32(count, "record count") || !reader.U16(header_length, "header length") ||
            !reader.U16(record_length, "record length") || !reader.Skip(20, "header")) {
            ReportDamaged(errors, path, reader.error());
            return false;
        }
        // Checked before anything is allocated for the records: no point reading a table that
        // cannot be used.
        if (record_length > kMaxRecordLength) {
            errors.ReportError(kMsgRowTooLong, path);
            return false;
        }
        if (header_length < kTableHeaderSize) {
            ReportDamaged(errors, path,
                          Describe("header length %u at offset 0x8 is shorter than the %zu-byte "
                                   "header",
                                   unsigned{header_length}, kTableHeaderSize));
            return false;
        }
        const uint64_t size = uint64_t{record_length} * count + header_length + 1;

        // Grown as bytes arrive, so a header claiming more records than the file holds costs
        // no more memory than the file itself.
        // A file that tells its length gets its buffer at once, as large as the image or the
        // file, whichever is smaller: growing it piece by piece copies the table again and
        // again, and each larger copy costs fresh memory (page faults are most of the load).
        if (const std::optional<uint64_t> length = file.SizeHint()) {
            bytes.reserve(static_cast<std::size_t>(std::min(size, *length)));
        }
        bytes.assign(header.begin(), header.end());
        AdviseLargePages(bytes.data(), bytes.capacity());
        while (bytes.size() < size) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<uint64_t>(kReadPiece, size - bytes.size()));
            const std::size_t old = bytes.size();
            bytes.resize(old + want);
            const std::size_t got_now = ReadFully(file, std::span(bytes).subspan(old, want));
            bytes.resize(old + got_now);
            if (got_now < want) {
                break;
            }
        }
        // The end-of-file byte is never interpreted, so a file without it is whole.
        if (bytes.size() + 1 < size) {
            ReportDamaged(
                errors, path,
                Describe("%" PRIu32 " records of %u bytes (counts at offsets 0x4 and 0xA) from "
                         "offset 0x%x need 0x%" PRIx64 " bytes, the file ends at 0x%zx",
                         count, unsigned{record_length}, unsigned{header_length}, size - 1,
                         bytes.size()));
            return false;
        }

        uint64_t field_bytes = 0;
        WalkDescriptors(bytes, header_length, [&](std::span<const uint8_t> slot, std::size_t) {
            field_bytes += slot[16];
        });
        if (count > 0 && field_bytes + 1 > record_length) {
            ReportDamaged(errors, path,
                          Describe("fields need %" PRIu64 " bytes per record with the deletion "
                                   "flag, the record length at offset 0xA is %u",
                                   field_bytes + 1, unsigned{record_length}));
            return false;
        }

        image.bytes_ = std::move(bytes);
        image.version_ = version;
        image.record_count_ = count;
        image.header_length_ = header_length;
        image.record_length_ = record_length;
        return true;
    } catch (const std::bad_alloc&) {
        std::vector<uint8_t>().swap(bytes);
        errors.ReportError(kMsgTableOutOfMemory, path);
        return false;
    }
}

std::vector<TableColumn> ReadColumns(const TableImage& image) {
    std::vector<TableColumn> columns;
    uint32_t offset = 0;
    WalkDescriptors(image.bytes(), image.header_length(),
                    [&](std::span<const uint8_t> slot, std::size_t) {
                        TableColumn column;
                        const auto name = slot.first(11);
                        const auto end = std::find(name.begin(), name.end(), uint8_t{0});
                        column.name.assign(name.begin(), end);
                        column.type = static_cast<DbaseType>(slot[11]);
                        if (std::equal(slot.begin() + 13, slot.begin() + 16, kMetaMarker)) {
                            column.meta = slot[12];
                        }
                        column.length = slot[16];
                        column.decimals = slot[17];
                        column.offset = offset;
                        offset += column.length;
                        columns.push_back(std::move(column));
                    });
    return columns;
}

}  // namespace qx::dbase

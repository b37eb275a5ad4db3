#include "conduit/pdb/pdb_file_ops.h"

#include <algorithm>
#include <new>

#include "common/byte_io.h"
#include "common/large_pages.h"
#include "common/windows_path.h"
#include "conduit/pdb/palm_database.h"

namespace qx {

namespace {

constexpr uint8_t kGapByte = 0xFF;
constexpr std::size_t kRecordBlockSize = std::size_t{4} << 20;

void Wipe(std::vector<uint8_t>& bytes) {
    std::fill(bytes.begin(), bytes.end(), uint8_t{0});
    bytes.clear();
    bytes.shrink_to_fit();
}

}  // namespace

PdbFileOps::PdbFileOps(FileSystem& files, const PalmClock& clock, LogChannel& log,
                       std::function<std::string()> current_command_file)
    : files_(files),
      clock_(clock),
      log_(log),
      current_command_file_(std::move(current_command_file)) {}

PdbFileOps::~PdbFileOps() {
    Discard();
}

SyncResult PdbFileOps::NotImplemented(std::string_view slot) {
    std::string line = "PDB FILE: ";
    line += slot;
    line += " - function not implemented";
    log_.Add(line, kLogActivityText, 0);
    return kSyncErrNotImplemented;
}

void PdbFileOps::Discard() {
    for (auto& block : record_blocks_) {
        Wipe(block);
    }
    record_blocks_.clear();
    record_sizes_.clear();
    Wipe(app_info_);
    name_ = {};
    attributes_ = version_ = 0;
    date_ = type_ = creator_ = 0;
}

SyncResult PdbFileOps::OpenDB(std::string_view, uint8_t, uint8_t&, uint8_t) {
    return kSyncErrNotFound;  // a file-mode database never exists before it is created
}

SyncResult PdbFileOps::DeleteDB(std::string_view, uint8_t) {
    return kSyncErrNotFound;
}

SyncResult PdbFileOps::CreateDB(CreateDbRequest& request) {
    // A database left unclosed by an earlier failure must not leak its records into this one.
    Discard();
    name_ = request.name;
    name_.back() = '\0';
    attributes_ = static_cast<uint16_t>(request.flags);
    version_ = request.version;
    type_ = request.type;
    creator_ = request.creator;
    date_ = PalmSecondsFrom(clock_.Now());
    request.handle = kPdbFileHandle;
    return kSyncOk;
}

std::vector<uint8_t> PdbFileOps::BuildHead() const {
    const auto count = static_cast<uint32_t>(record_sizes_.size());
    const uint32_t app_info_offset =
        static_cast<uint32_t>(kPdbHeaderSize + kPdbRecordEntrySize * count + kPdbGapSize);
    ByteWriter w(ByteOrder::kBig);
    w.Reserve(app_info_offset);
    for (char c : name_) {
        w.U8(static_cast<uint8_t>(c));
    }
    w.U16(attributes_);
    w.U16(version_);
    w.U32(date_);  // creation
    w.U32(date_);  // modification
    w.U32(date_);  // last backup
    w.U32(0);      // modification number
    w.U32(app_info_offset);
    w.U32(0);  // sort info offset
    w.U32(type_);
    w.U32(creator_);
    w.U32(0);  // unique ID seed
    w.U32(0);  // next record list ID
    w.U16(static_cast<uint16_t>(count));
    uint32_t data_offset = app_info_offset + static_cast<uint32_t>(app_info_.size());
    for (uint32_t i = 0; i < count; ++i) {
        w.U32(data_offset);
        w.U8(0);                              // attributes
        w.U8(0);                              // unique ID, high byte
        w.U16(static_cast<uint16_t>(i + 1));  // unique ID, the record's position + 1
        data_offset += record_sizes_[i];
    }
    w.U8(kGapByte);
    w.U8(kGapByte);
    return w.Take();
}

std::vector<uint8_t> PdbFileOps::BuildImage() const {
    std::vector<uint8_t> image = BuildHead();
    std::size_t total = image.size() + app_info_.size();
    for (const auto& block : record_blocks_) {
        total += block.size();
    }
    image.reserve(total);
    image.insert(image.end(), app_info_.begin(), app_info_.end());
    for (const auto& block : record_blocks_) {
        image.insert(image.end(), block.begin(), block.end());
    }
    return image;
}

std::string PdbFileOps::OutputPath() const {
    const SplitPath parts = SplitWindowsPath(current_command_file_());
    return parts.drive + parts.directory + std::string(FieldName(name_)) + ".pdb";
}

SyncResult PdbFileOps::CloseDB(uint8_t handle) {
    if (handle != kPdbFileHandle) {
        return kSyncErrFileWrite;
    }
    std::string error;
    bool written = false;
    try {
        // Written through a temporary file and renamed, so a failed write leaves any earlier
        // file of that name as it was instead of a torn one.
        const std::vector<uint8_t> head = BuildHead();
        std::vector<std::span<const uint8_t>> pieces = {head, app_info_};
        pieces.insert(pieces.end(), record_blocks_.begin(), record_blocks_.end());
        written = files_.WriteFileAtomic(OutputPath(), pieces, error);
    } catch (const std::bad_alloc&) {
        written = false;
    }
    Discard();
    return written ? kSyncOk : kSyncErrFileWrite;
}

SyncResult PdbFileOps::WriteRec(RecordDescriptor& desc) {
    if (record_sizes_.size() >= kMaxPalmEntries) {
        return kSyncErrTooManyRecords;  // the count field holds 16 bits
    }
    // Never read past the caller's buffer, whatever the size field says.
    if (desc.record_size > desc.capacity || (desc.record_size > 0 && desc.bytes == nullptr)) {
        return kSyncErrBadArgument;
    }
    try {
        if (record_blocks_.empty() ||
            record_blocks_.back().capacity() - record_blocks_.back().size() < desc.record_size) {
            std::vector<uint8_t>& block = record_blocks_.emplace_back();
            block.reserve(std::max<std::size_t>(kRecordBlockSize, desc.record_size));
            AdviseLargePages(block.data(), block.capacity());
        }
        record_sizes_.push_back(desc.record_size);
        record_blocks_.back().insert(record_blocks_.back().end(), desc.bytes,
                                     desc.bytes + desc.record_size);
    } catch (const std::bad_alloc&) {
        return kSyncErrOutOfMemory;
    }
    return kSyncOk;
}

SyncResult PdbFileOps::WriteDBAppInfoBlock(uint8_t /*handle*/, BlockDescriptor& block) {
    if (block.byte_count > 0 && block.bytes == nullptr) {
        return kSyncErrBadArgument;
    }
    try {
        std::vector<uint8_t> copy(block.bytes, block.bytes + block.byte_count);
        Wipe(app_info_);
        app_info_ = std::move(copy);
    } catch (const std::bad_alloc&) {
        return kSyncErrOutOfMemory;
    }
    return kSyncOk;
}

SyncResult PdbFileOps::ReadUserID(HandheldUserRecord&) {
    return NotImplemented("ReadUserID");
}

SyncResult PdbFileOps::ResetSyncFlags(uint8_t) {
    return kSyncOk;
}

SyncResult PdbFileOps::GetDBRecordCount(uint8_t, uint16_t&) {
    return NotImplemented("GetDBRecordCount");
}

SyncResult PdbFileOps::PurgeDeletedRecs(uint8_t) {
    return NotImplemented("PurgeDeletedRecs");
}

SyncResult PdbFileOps::ReadDBAppInfoBlock(uint8_t, BlockDescriptor&) {
    return NotImplemented("ReadDBAppInfoBlock");
}

SyncResult PdbFileOps::ReadRecordByIndex(RecordDescriptor&) {
    return NotImplemented("ReadRecordByIndex");
}

SyncResult PdbFileOps::YieldCycles(uint16_t) {
    return NotImplemented("YieldCycles");
}

}  // namespace qx

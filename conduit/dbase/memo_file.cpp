#include "conduit/dbase/memo_file.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "common/byte_io.h"
#include "common/windows_path.h"
#include "conduit/dbase/dbase_messages.h"

namespace qx::dbase {
namespace {

constexpr uint8_t kMemoSignature[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr std::size_t kMemoBlockHeaderSize = 8;
constexpr uint8_t kEndOfMemo = 0x1A;
constexpr std::size_t kNextFreeAt = 0;
constexpr std::size_t kBaseNameAt = 8;
constexpr std::size_t kMarkAt = 18;
constexpr std::size_t kBlockSizeAt = 20;

std::string Describe(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace

std::string MemoPathFor(std::string_view table_path) {
    const SplitPath parts = SplitWindowsPath(table_path);
    return parts.drive + parts.directory + parts.name + ".dbt";
}

std::string TableBaseName(std::string_view table_path) {
    return SplitWindowsPath(table_path).name;
}

MemoFile::~MemoFile() {
    if (file_ != nullptr) {
        file_->Close();  // the command closes it itself; this only keeps a slip from leaking
    }
}

void MemoFile::SetMemoPath(std::string_view table_path) {
    path_ = MemoPathFor(table_path);
    base_name_ = TableBaseName(table_path).substr(0, 8);
}

uint32_t MemoFile::block_size() const {
    const uint32_t size =
        LoadU32(std::span(header_).subspan(kBlockSizeAt).first<4>(), ByteOrder::kLittle);
    // A header without a block size still needs one to find any memo: use the size written here.
    return size == 0 ? kMemoBlockSize : size;
}

uint32_t MemoFile::next_free_block() const {
    return LoadU32(std::span(header_).subspan(kNextFreeAt).first<4>(), ByteOrder::kLittle);
}

void MemoFile::SetNextFreeBlock(uint32_t block) {
    StoreU32(std::span(header_).subspan(kNextFreeAt).first<4>(), block, ByteOrder::kLittle);
}

void MemoFile::AdvanceNextFreeBlock(uint32_t blocks) {
    SetNextFreeBlock(next_free_block() + blocks);
}

bool MemoFile::OpenForReading() {
    file_ = files_->Open(path_, OpenMode::kRead);
    if (file_ == nullptr) {
        errors_->ReportError(kMsgMemoOpenFailed, path_);
        return false;
    }
    writing_ = false;
    header_.fill(0);
    ReadFully(*file_, header_);  // a shorter header leaves zeros: block size 0 reads as 512
    return true;
}

bool MemoFile::ReadMemo(uint32_t block, bool with_block_header, std::string& out) {
    out.clear();
    last_error_.clear();
    if (file_ == nullptr && !OpenForReading()) {
        last_error_ = "memo file could not be opened";
        return false;
    }
    const uint64_t start = uint64_t{block} * block_size();
    if (!file_->Seek(start)) {
        last_error_ = Describe("memo block %" PRIu32 " at offset 0x%" PRIx64 " cannot be reached",
                               block, start);
        return false;
    }

    if (with_block_header) {
        std::array<uint8_t, kMemoBlockHeaderSize> head{};
        const std::size_t got = ReadFully(*file_, head);
        const std::span<const uint8_t> held = std::span(head).first(got);
        ByteReader reader(held, ByteOrder::kLittle);
        std::array<uint8_t, 4> signature{};
        uint32_t length = 0;
        if (!reader.Bytes(signature, "memo signature") || !reader.U32(length, "memo length")) {
            last_error_ = Describe("memo block %" PRIu32 " at offset 0x%" PRIx64 ": %s", block,
                                   start, reader.error().c_str());
            return false;
        }
        if (!std::equal(signature.begin(), signature.end(), kMemoSignature)) {
            last_error_ = Describe("memo block %" PRIu32 " at offset 0x%" PRIx64
                                   " has no FF FF 08 00 signature",
                                   block, start);
            return false;
        }
        // The length counts the 8 header bytes; less than that cannot be a memo.
        if (length < kMemoBlockHeaderSize) {
            last_error_ = Describe("memo length %" PRIu32 " at offset 0x%" PRIx64
                                   " is shorter than its own header",
                                   length, start + 4);
            return false;
        }
        const std::size_t wanted =
            std::min<std::size_t>(length - kMemoBlockHeaderSize, kMaxMemoText);
        out.resize(wanted);
        const std::size_t data_got =
            ReadFully(*file_, std::span(reinterpret_cast<uint8_t*>(out.data()), wanted));
        if (data_got < wanted) {
            last_error_ =
                Describe("memo at offset 0x%" PRIx64 " claims %" PRIu32
                         " bytes (length at offset 0x%" PRIx64 "), the file ends after %zu",
                         start, length, start + 4, data_got);
            out.clear();
            return false;
        }
        return true;
    }

    // Without block header the memo ends at 0x1A 0x1A or at the end of the file. One byte more
    // than the longest text is enough to see whether a 0x1A at the limit ends the memo.
    std::string raw(kMaxMemoText + 1, '\0');
    const std::size_t got =
        ReadFully(*file_, std::span(reinterpret_cast<uint8_t*>(raw.data()), raw.size()));
    raw.resize(got);
    for (std::size_t i = 0; i < got && out.size() < kMaxMemoText; ++i) {
        const char byte = raw[i];
        if (byte == static_cast<char>(kEndOfMemo)) {
            if (i + 1 >= got || raw[i + 1] == static_cast<char>(kEndOfMemo)) {
                break;  // a pair, or a lone 0x1A at the end of the file
            }
        }
        out.push_back(byte);
    }
    return true;
}

bool MemoFile::WriteFailed(const char* step) {
    std::string detail = path_;
    detail += ": ";
    detail += step;
    errors_->ReportError(kMsgWriteFailed, detail);
    return false;
}

bool MemoFile::Create() {
    file_ = files_->Open(path_, OpenMode::kCreate);
    if (file_ == nullptr) {
        errors_->ReportError(kMsgMemoOpenFailed, path_);
        return false;
    }
    writing_ = true;
    header_.fill(0);
    std::copy(base_name_.begin(), base_name_.end(), header_.begin() + kBaseNameAt);
    header_[kMarkAt] = 0x02;
    header_[kMarkAt + 1] = 0x01;
    StoreU32(std::span(header_).subspan(kBlockSizeAt).first<4>(), kMemoBlockSize,
             ByteOrder::kLittle);
    SetNextFreeBlock(0);
    // The header is stored like a memo without block header: it fills block 0 and the first
    // memo starts at block 1. Its final next free block is written by FinishMemoFile.
    const std::array<uint8_t, kMemoHeaderSize> image = header_;
    if (AppendMemo(image, false) != 0 || next_free_block() != 1) {
        // Without its header block the file must not take memos: the next one would land in
        // block 0. Closed, the next memo tries to create it again.
        file_->Close();
        file_.reset();
        writing_ = false;
        return false;
    }
    return true;
}

uint32_t MemoFile::AppendMemo(std::span<const uint8_t> data, bool with_block_header) {
    if (file_ == nullptr && !Create()) {
        return 0;
    }
    const uint64_t size = data.size() + (with_block_header ? kMemoBlockHeaderSize : 0);
    const uint32_t size_in_block = block_size();
    const uint64_t blocks = (size_in_block + size - 1) / size_in_block;
    const uint32_t start = next_free_block();
    // The memo's size goes into a 32-bit count and its blocks into a 32-bit block number.
    if (size > UINT32_MAX || start + blocks > UINT32_MAX) {
        WriteFailed("memo too large for the memo file");
        return 0;
    }
    const uint64_t at = uint64_t{start} * size_in_block;

    if (!file_->Seek(at)) {
        WriteFailed("seek to the next free block");
        return 0;
    }
    if (with_block_header) {
        std::array<uint8_t, kMemoBlockHeaderSize> head{};
        std::copy(std::begin(kMemoSignature), std::end(kMemoSignature), head.begin());
        StoreU32(std::span(head).subspan(4).first<4>(), static_cast<uint32_t>(size),
                 ByteOrder::kLittle);
        if (!file_->Write(head)) {
            WriteFailed("memo block header");
            return 0;
        }
    }
    if (!file_->Write(data)) {
        WriteFailed("memo data");
        return 0;
    }
    // The rest of the memo's last block is zero. Written after the memo rather than cleared
    // before it: the bytes are the same, without a seek back that costs a flush per memo.
    static constexpr std::array<uint8_t, 4096> kZeros{};
    for (uint64_t left = blocks * size_in_block - size; left > 0;) {
        const std::size_t piece = static_cast<std::size_t>(std::min<uint64_t>(left, kZeros.size()));
        if (!file_->Write(std::span(kZeros).first(piece))) {
            WriteFailed("clearing the rest of the memo's last block");
            return 0;
        }
        left -= piece;
    }
    SetNextFreeBlock(static_cast<uint32_t>(start + blocks));
    return start;
}

bool MemoFile::FinishMemoFile() {
    if (file_ == nullptr) {
        return true;
    }
    bool ok = true;
    if (writing_ && (!file_->Seek(0) || !file_->Write(header_))) {
        ok = WriteFailed("memo file header");
    }
    return Close() && ok;
}

bool MemoFile::Close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool closed = file_->Close();
    file_.reset();
    writing_ = false;
    if (!closed) {
        errors_->ReportError(kMsgCloseFailed, path_);
    }
    return closed;
}

}  // namespace qx::dbase

#pragma once
// The memo file (.DBT) of the current table command: memo and picture data kept apart from the
// fixed-width records, which hold only the number of the memo's first block.
//
// The file is divided into blocks (512 bytes when written here); block 0 holds the header, every
// memo starts at a block boundary and takes whole blocks. Header as written, 152 bytes
// (little-endian): next free block at 0, the table's base name (8 bytes, NUL-padded) at 8, 0x0102
// at 18, the block size at 20, zeros elsewhere. When read, only the block size is used.
//
// A memo with block header (always written so; read so when the table's version has bit 3):
// FF FF 08 00, the length of data + 8 as a 32-bit count, then the data. Without block header (read
// only): the data runs from the block start to the first pair 0x1A 0x1A or the end of the file.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "conduit/dbase/desktop_file.h"
#include "conduit/dbase/error_sink.h"
#include "conduit/dbase/record_limits.h"

namespace qx::dbase {

inline constexpr std::size_t kMemoHeaderSize = 152;
inline constexpr uint32_t kMemoBlockSize = 512;
// Memo text read from the file is cut to this, so that it fits the record buffer with its NUL.
inline constexpr std::size_t kMaxMemoText = kRecordBufferSize - 1;

// The memo path for a table path: its drive, folder and base name followed by ".dbt".
std::string MemoPathFor(std::string_view table_path);
// The table's base name: the file name without folder, drive or extension.
std::string TableBaseName(std::string_view table_path);

class MemoFile {
  public:
    MemoFile(DesktopFileSystem& files, ErrorSink& errors) : files_(&files), errors_(&errors) {}
    ~MemoFile();
    MemoFile(const MemoFile&) = delete;
    MemoFile& operator=(const MemoFile&) = delete;

    // Takes the memo path and base name from the table path; opens and closes nothing.
    void SetMemoPath(std::string_view table_path);
    const std::string& path() const { return path_; }
    bool is_open() const { return file_ != nullptr; }

    // Reads the memo starting at `block` into `out` (at most kMaxMemoText bytes). Opens the file
    // for reading on first use; a failed open reports 1330 and fails, and the next call tries
    // again. A block without the FF FF 08 00 signature, a length below 8, a memo running past
    // the end of the file or a block beyond it fails without a report; last_error() says why.
    [[nodiscard]] bool ReadMemo(uint32_t block, bool with_block_header, std::string& out);

    // Stores a memo and answers the block it starts at, or 0 when the memo file could not be
    // created (1330 reported) or written (reported with kMsgWriteFailed). Creates the file on
    // first use with its header in block 0, so the first memo starts at block 1.
    uint32_t AppendMemo(std::span<const uint8_t> data, bool with_block_header);

    // When the file is open: writes the header (with the final next free block) at offset 0 and
    // closes the file. False when that write or the close failed (each reported).
    bool FinishMemoFile();
    // Closes a file opened for reading; a failed close reports 1300 with the memo path.
    bool Close();

    // For the picture conversion, which writes its record into a block it reserved.
    DesktopFile* file() { return file_.get(); }
    uint32_t block_size() const;
    uint32_t next_free_block() const;
    void AdvanceNextFreeBlock(uint32_t blocks);

    const std::string& last_error() const { return last_error_; }

  private:
    bool OpenForReading();
    bool Create();
    bool WriteFailed(const char* step);
    void SetNextFreeBlock(uint32_t block);

    DesktopFileSystem* files_;
    ErrorSink* errors_;
    std::string path_;
    std::string base_name_;  // first 8 characters of the table's base name
    std::array<uint8_t, kMemoHeaderSize> header_{};
    std::unique_ptr<DesktopFile> file_;
    bool writing_ = false;
    std::string last_error_;
};

}  // namespace qx::dbase

#pragma once
// The seam between the dBase code and the files it reads and writes. The conduit opens desktop
// files through a DesktopFileSystem (stdio on every platform, memory in tests and fuzzing); every
// mode lets other programs read and write the file at the same time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace qx::dbase {

class DesktopFile {
  public:
    virtual ~DesktopFile() = default;
    // Reads up to out.size() bytes at the current position; fewer may arrive before the end, and
    // 0 means the end of the file (or a read error).
    virtual std::size_t Read(std::span<uint8_t> out) = 0;
    virtual bool Write(std::span<const uint8_t> bytes) = 0;
    // Positions past the end are allowed; a later write fills the gap with zeros.
    virtual bool Seek(uint64_t offset) = 0;
    virtual uint64_t Position() const = 0;
    // The file's length when the source knows it, to size a buffer before reading the whole
    // file. Only a hint: the file may change meanwhile, so readers never rely on it.
    virtual std::optional<uint64_t> SizeHint() const { return std::nullopt; }
    virtual bool Flush() = 0;
    // After Close the object is inert; a second Close answers true.
    virtual bool Close() = 0;
};

enum class OpenMode {
    kRead,    // reading only
    kCreate,  // created, or emptied if it exists; reading and writing
};

class DesktopFileSystem {
  public:
    virtual ~DesktopFileSystem() = default;
    // Null when the file cannot be opened.
    virtual std::unique_ptr<DesktopFile> Open(std::string_view path, OpenMode mode) = 0;
    // Puts the closed file `from` in the place of `to` in one step, replacing any file there, so
    // a new table can be written beside the old one and swapped in only when it is whole.
    virtual bool Replace(std::string_view from, std::string_view to) = 0;
    // Removes a closed file; true when it is gone (also when it never existed).
    virtual bool Remove(std::string_view path) = 0;
};

// Reads until `out` is full or the file ends; answers the bytes read. Sources may deliver data in
// pieces of any size, so a short Read is not yet the end.
std::size_t ReadFully(DesktopFile& file, std::span<uint8_t> out);

}  // namespace qx::dbase

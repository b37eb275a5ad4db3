#pragma once
// The one door to the file system for everything that stores user data (.pdb output, the emulated
// handheld's databases). Writes replace a file as a whole and atomically: the new content goes to
// a temporary file beside the target, which is then renamed over it, so a failure at any step
// leaves either the old file or the new one, never a torn mix.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace qx {

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The whole file; false with a reason when it cannot be read.
    virtual bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                          std::string& error) = 0;
    // Replaces (or creates) the file with the pieces' bytes one after another, so a writer whose
    // data lies in several buffers need not copy it into one first; false with a reason, the
    // old file intact.
    virtual bool WriteFileAtomic(const std::filesystem::path& path,
                                 std::span<const std::span<const uint8_t>> pieces,
                                 std::string& error) = 0;
    // The same for one piece.
    bool WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string& error) {
        const std::span<const uint8_t> one[] = {bytes};
        return WriteFileAtomic(path, one, error);
    }
    virtual bool RemoveFile(const std::filesystem::path& path, std::string& error) = 0;
    virtual bool Exists(const std::filesystem::path& path) = 0;
    virtual bool IsDirectory(const std::filesystem::path& path) = 0;
    virtual bool CreateDirectories(const std::filesystem::path& path, std::string& error) = 0;
    // Names (not paths) of the regular files in a folder.
    virtual bool ListFiles(const std::filesystem::path& folder, std::vector<std::string>& names,
                           std::string& error) = 0;
};

}  // namespace qx

#pragma once
// FileSystem over the C++ standard library. Every step that changes the disk during a write
// (create the temporary file, each chunk written, flush and close, rename) goes through one
// wrapper, which is also where a FaultCountdown makes a step fail.

#include "conduit/storage/fault_countdown.h"
#include "conduit/storage/file_system.h"

namespace qx {

class NativeFileSystem final : public FileSystem {
  public:
    // Bytes per write call; small values make a fault sweep reach the middle of a file.
    explicit NativeFileSystem(std::size_t chunk_size = 64 * 1024) : chunk_size_(chunk_size) {}

    FaultCountdown& faults() { return faults_; }

    bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                  std::string& error) override;
    using FileSystem::WriteFileAtomic;
    bool WriteFileAtomic(const std::filesystem::path& path,
                         std::span<const std::span<const uint8_t>> pieces,
                         std::string& error) override;
    bool RemoveFile(const std::filesystem::path& path, std::string& error) override;
    bool Exists(const std::filesystem::path& path) override;
    bool IsDirectory(const std::filesystem::path& path) override;
    bool CreateDirectories(const std::filesystem::path& path, std::string& error) override;
    bool ListFiles(const std::filesystem::path& folder, std::vector<std::string>& names,
                   std::string& error) override;

  private:
    std::size_t chunk_size_;
    FaultCountdown faults_;
};

// The temporary file a write goes through; never a name the stores use for their own files.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target);

}  // namespace qx

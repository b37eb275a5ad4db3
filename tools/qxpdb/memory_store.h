#pragma once
// A FileSystem held in memory: read-table loads a .pdb into an emulated handheld that lives only
// here, so the retrieval can purge and reset the database without touching the user's file.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "conduit/storage/file_system.h"

namespace qx {

class MemoryStore final : public FileSystem {
  public:
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
    static std::string Key(const std::filesystem::path& path);

    std::map<std::string, std::vector<uint8_t>> files_;
    std::set<std::string> folders_;
};

}  // namespace qx

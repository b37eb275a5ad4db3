#include "tools/qxpdb/memory_store.h"

namespace qx {

std::string MemoryStore::Key(const std::filesystem::path& path) {
    std::string key = path.lexically_normal().generic_string();
    while (key.size() > 1 && key.back() == '/') {
        key.pop_back();
    }
    return key;
}

bool MemoryStore::ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                           std::string& error) {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) {
        error = "cannot open " + path.string() + " for reading";
        return false;
    }
    out = it->second;
    return true;
}

bool MemoryStore::WriteFileAtomic(const std::filesystem::path& path,
                                  std::span<const std::span<const uint8_t>> pieces,
                                  std::string& error) {
    if (!IsDirectory(path.parent_path())) {
        error = "no folder " + path.parent_path().string();
        return false;
    }
    std::vector<uint8_t>& file = files_[Key(path)];
    file.clear();
    for (const auto& piece : pieces) {
        file.insert(file.end(), piece.begin(), piece.end());
    }
    return true;
}

bool MemoryStore::RemoveFile(const std::filesystem::path& path, std::string&) {
    files_.erase(Key(path));
    return true;
}

bool MemoryStore::Exists(const std::filesystem::path& path) {
    const std::string key = Key(path);
    return files_.contains(key) || folders_.contains(key);
}

bool MemoryStore::IsDirectory(const std::filesystem::path& path) {
    return path.empty() || folders_.contains(Key(path));
}

bool MemoryStore::CreateDirectories(const std::filesystem::path& path, std::string& error) {
    std::filesystem::path at;
    for (const auto& part : path.lexically_normal()) {
        at /= part;
        if (files_.contains(Key(at))) {
            error = at.string() + " is a file";
            return false;
        }
        folders_.insert(Key(at));
    }
    return true;
}

bool MemoryStore::ListFiles(const std::filesystem::path& folder, std::vector<std::string>& names,
                            std::string& error) {
    if (!IsDirectory(folder)) {
        error = "no folder " + folder.string();
        return false;
    }
    names.clear();
    const std::string key = Key(folder);
    for (const auto& [path, bytes] : files_) {
        const std::filesystem::path file(path);
        if (Key(file.parent_path()) == key) {
            names.push_back(file.filename().string());
        }
    }
    return true;
}

}  // namespace qx

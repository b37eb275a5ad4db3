#pragma once
// The HotSync user list that the Palm Desktop user manager keeps: each user has a HotSync ID, a
// name, a folder of its own under the HotSync folder, and one more value the manager keeps for
// it. The list lives in "Users.txt" in the HotSync folder, one user per line:
//
//   <ID>\t<name>\t<folder name>\t<extra value>
//
// Lines starting with '#' are comments. Changes are made to a copy in memory and reach the file
// only when saved, so abandoning them is simply not saving.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "conduit/storage/file_system.h"

namespace qx {

struct HotSyncUser {
    uint32_t id = 0;
    std::string name;       // at most 31 characters
    std::string directory;  // at most 259 characters
    uint16_t extra = 0;
};

inline constexpr char kUserListFileName[] = "Users.txt";
inline constexpr std::size_t kMaxUserNameLength = 31;

class UserList {
  public:
    // Reads the list of a HotSync folder; a folder without a list has no users yet. False with a
    // reason when the folder is missing or the list cannot be read.
    bool Load(FileSystem& files, const std::filesystem::path& hotsync_dir, std::string& error);
    // Writes the list and makes each user's folder.
    bool Save(FileSystem& files, std::string& error) const;

    const std::vector<HotSyncUser>& users() const { return users_; }
    const HotSyncUser* Find(uint32_t id) const;

    // Adds a user named `name` (cut to 31 characters) with the given ID, or the next free one from
    // 1001 when `id` is 0; the folder name is made from the name. Nothing when the name is empty or
    // already taken, or the ID is in use.
    std::optional<HotSyncUser> Add(const std::string& name, uint32_t id = 0);
    bool Remove(uint32_t id);
    bool Rename(uint32_t id, const std::string& name);

  private:
    std::string UniqueDirectory(const std::string& name) const;

    std::filesystem::path hotsync_dir_;
    std::vector<HotSyncUser> users_;
};

// "Users.txt" text for a list, and back. Parse errors name the line.
std::string FormatUserList(const std::vector<HotSyncUser>& users);
bool ParseUserList(const std::string& text, std::vector<HotSyncUser>& users, std::string& error);

}  // namespace qx

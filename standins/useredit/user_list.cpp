#include "standins/useredit/user_list.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

namespace qx {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc() && end == text.data() + text.size();
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string FormatUserList(const std::vector<HotSyncUser>& users) {
    std::string text = "# HotSync users: ID, name, folder, extra value (tab-separated)\n";
    for (const HotSyncUser& u : users) {
        text += std::to_string(u.id) + "\t" + u.name + "\t" + u.directory + "\t" +
                std::to_string(u.extra) + "\n";
    }
    return text;
}

bool ParseUserList(const std::string& text, std::vector<HotSyncUser>& users, std::string& error) {
    users.clear();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> fields = SplitTabs(line);
        HotSyncUser user;
        if (fields.size() != 4 || !ParseNumber(fields[0], user.id) || user.id == 0 ||
            fields[1].empty() || fields[1].size() > kMaxUserNameLength || fields[2].empty() ||
            fields[2].size() > 259 || !ParseNumber(fields[3], user.extra)) {
            error = "line " + std::to_string(number) +
                    ": expected ID, name (1-31 characters), folder and extra value";
            return false;
        }
        user.name = fields[1];
        user.directory = fields[2];
        users.push_back(std::move(user));
    }
    return true;
}

bool UserList::Load(FileSystem& files, const std::filesystem::path& hotsync_dir,
                    std::string& error) {
    hotsync_dir_ = hotsync_dir;
    users_.clear();
    if (!files.IsDirectory(hotsync_dir)) {
        error = "no HotSync folder at " + hotsync_dir.string();
        return false;
    }
    const std::filesystem::path list = hotsync_dir / kUserListFileName;
    if (!files.Exists(list)) {
        return true;
    }
    std::vector<uint8_t> bytes;
    if (!files.ReadFile(list, bytes, error)) {
        return false;
    }
    if (!ParseUserList(std::string(bytes.begin(), bytes.end()), users_, error)) {
        error = list.string() + ", " + error;
        return false;
    }
    return true;
}

bool UserList::Save(FileSystem& files, std::string& error) const {
    for (const HotSyncUser& u : users_) {
        if (!files.CreateDirectories(hotsync_dir_ / u.directory, error)) {
            return false;
        }
    }
    const std::string text = FormatUserList(users_);
    return files.WriteFileAtomic(hotsync_dir_ / kUserListFileName,
                                 {reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                                 error);
}

const HotSyncUser* UserList::Find(uint32_t id) const {
    const auto it =
        std::find_if(users_.begin(), users_.end(), [id](const auto& u) { return u.id == id; });
    return it == users_.end() ? nullptr : &*it;
}

// The folder name HotSync gives a user: the letters and digits of the name, at most 20, made
// unique with a number when another user has it already.
std::string UserList::UniqueDirectory(const std::string& name) const {
    std::string base;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) && base.size() < 20) {
            base.push_back(c);
        }
    }
    if (base.empty()) {
        base = "User";
    }
    std::string candidate = base;
    for (int n = 2; std::any_of(users_.begin(), users_.end(),
                                [&](const auto& u) { return SameName(u.directory, candidate); });
         ++n) {
        candidate = base + std::to_string(n);
    }
    return candidate;
}

std::optional<HotSyncUser> UserList::Add(const std::string& name, uint32_t id) {
    const std::string cut = name.substr(0, kMaxUserNameLength);
    if (cut.empty() || cut.find_first_of("\t\r\n") != std::string::npos ||
        std::any_of(users_.begin(), users_.end(),
                    [&](const auto& u) { return SameName(u.name, cut); })) {
        return std::nullopt;
    }
    if (id == 0) {
        id = 1001;
        for (const HotSyncUser& u : users_) {
            id = std::max(id, u.id + 1);
        }
    } else if (Find(id) != nullptr) {
        return std::nullopt;
    }
    HotSyncUser user{id, cut, UniqueDirectory(cut), 0};
    users_.push_back(user);
    return user;
}

bool UserList::Remove(uint32_t id) {
    const auto it =
        std::find_if(users_.begin(), users_.end(), [id](const auto& u) { return u.id == id; });
    if (it == users_.end()) {
        return false;
    }
    users_.erase(it);
    return true;
}

bool UserList::Rename(uint32_t id, const std::string& name) {
    const std::string cut = name.substr(0, kMaxUserNameLength);
    const auto it =
        std::find_if(users_.begin(), users_.end(), [id](const auto& u) { return u.id == id; });
    if (it == users_.end() || cut.empty() || cut.find_first_of("\t\r\n") != std::string::npos) {
        return false;
    }
    it->name = cut;
    return true;
}

}  // namespace qx

#include "standins/handheld/handheld_device.h"

#include <algorithm>
#include <charconv>

#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/palm_database_writer.h"
#include "conduit/sync/sync_records.h"
#include "standins/handheld/db_file_name.h"

namespace qx {

namespace {

constexpr uint8_t kFirstHandle = 1;
constexpr uint8_t kLastHandle = 254;  // 255 means "no handle"

std::string UserFileText(std::string_view name, uint32_t id) {
    return "name=" + std::string(name) + "\nid=" + std::to_string(id) + "\n";
}

bool ParseUserFile(std::string_view text, std::string& name, uint32_t& id, std::string& error) {
    bool have_name = false, have_id = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.starts_with("name=")) {
            name = std::string(line.substr(5));
            have_name = true;
        } else if (line.starts_with("id=")) {
            const std::string_view digits = line.substr(3);
            const auto [ptr, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), id);
            if (ec != std::errc() || ptr != digits.data() + digits.size()) {
                error = "user ID in " + std::string(kDeviceUserFile) + " is not a number";
                return false;
            }
            have_id = true;
        }
    }
    if (!have_name || !have_id) {
        error = std::string(kDeviceUserFile) + " lacks the user's name or ID";
        return false;
    }
    return true;
}

}  // namespace

HandheldRecord RecordFromFile(const PalmRecord& record) {
    HandheldRecord out;
    out.id = record.unique_id;
    out.data = record.data;
    out.attributes = record.attributes & 0xF0;
    if (record.attributes & kFileRecDeleted) {
        if (record.attributes & kFileRecArchived) {
            out.attributes |= kRecAttrArchived;
        }
    } else {
        out.category = record.attributes & kFileRecCategoryMask;
    }
    return out;
}

uint8_t FileAttributesFrom(uint8_t sync_attributes, uint8_t category) {
    uint8_t file = sync_attributes & 0xF0;
    if (sync_attributes & kRecAttrArchived) {
        // An archived record is a deleted one whose data is kept for the desktop.
        file |= kFileRecDeleted | kFileRecArchived;
    } else if (!(file & kFileRecDeleted)) {
        file |= category & kFileRecCategoryMask;
    }
    return file;
}

SyncResult HandheldDevice::Create(FileSystem& files, const std::filesystem::path& folder,
                                  std::string_view user_name, uint32_t user_id,
                                  std::string& error) {
    if (user_name.find_first_of("\r\n") != std::string_view::npos) {
        error = "a user name cannot hold a line break";
        return kSyncErrBadArgument;
    }
    if (files.Exists(folder / kDeviceUserFile)) {
        error = "a device already exists in " + folder.string();
        return kSyncErrAlreadyExists;
    }
    if (!files.CreateDirectories(folder, error)) {
        return kSyncErrStorage;
    }
    const std::string text = UserFileText(user_name, user_id);
    if (!files.WriteFileAtomic(
            folder / kDeviceUserFile,
            std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error)) {
        return kSyncErrStorage;
    }
    return kSyncOk;
}

std::unique_ptr<HandheldDevice> HandheldDevice::Open(FileSystem& files, const PalmClock& clock,
                                                     const std::filesystem::path& folder,
                                                     std::string& error) {
    std::vector<uint8_t> bytes;
    if (!files.ReadFile(folder / kDeviceUserFile, bytes, error)) {
        error = "no device in " + folder.string() + ": " + error;
        return nullptr;
    }
    std::unique_ptr<HandheldDevice> device(new HandheldDevice(files, clock, folder));
    if (!ParseUserFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                       device->user_name_, device->user_id_, error)) {
        return nullptr;
    }
    return device;
}

std::vector<std::string> HandheldDevice::ListDatabases() const {
    std::vector<std::string> files;
    std::string error;
    std::vector<std::string> names;
    if (!files_.ListFiles(folder_, files, error)) {
        return names;
    }
    for (const auto& file : files) {
        if (auto decoded = DecodeDbFileName(file)) {
            names.push_back(decoded->db_name);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::optional<std::filesystem::path> HandheldDevice::StoredPath(std::string_view name) const {
    for (bool resource : {false, true}) {
        const std::filesystem::path path = folder_ / DbFileName(name, resource);
        if (files_.Exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

bool HandheldDevice::Exists(std::string_view name) const {
    return StoredPath(name).has_value();
}

SyncResult HandheldDevice::LoadDatabase(std::string_view name, PalmDatabase& db,
                                        std::string& error) const {
    const auto path = StoredPath(name);
    if (!path) {
        error = "no database named \"" + std::string(name) + "\"";
        return kSyncErrNotFound;
    }
    std::vector<uint8_t> bytes;
    if (!files_.ReadFile(*path, bytes, error)) {
        return kSyncErrStorage;
    }
    PalmDbReadResult read = ReadPalmDatabase(bytes);
    if (!read.ok) {
        error = path->filename().string() + ": " + read.error;
        return kSyncErrCorrupt;
    }
    if (read.db.header.name != name) {
        error = path->filename().string() + " holds database \"" + read.db.header.name + "\"";
        return kSyncErrCorrupt;
    }
    db = std::move(read.db);
    return kSyncOk;
}

SyncResult HandheldDevice::Store(const PalmDatabase& db) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!EncodePalmDatabase(db, bytes, error)) {
        return kSyncErrBadArgument;
    }
    const std::filesystem::path path = folder_ / DbFileName(db.header.name, db.is_resource());
    if (!files_.WriteFileAtomic(path, bytes, error)) {
        return kSyncErrStorage;
    }
    // A database changing kind leaves its old file behind; remove it so one name is one file.
    const std::filesystem::path other = folder_ / DbFileName(db.header.name, !db.is_resource());
    if (files_.Exists(other) && !files_.RemoveFile(other, error)) {
        return kSyncErrStorage;
    }
    return kSyncOk;
}

HandheldDevice::OpenDb* HandheldDevice::Find(uint8_t handle) {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &it->second;
}

const HandheldDevice::OpenDb* HandheldDevice::Find(uint8_t handle) const {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &it->second;
}

bool HandheldDevice::IsOpen(std::string_view name) const {
    return std::any_of(open_.begin(), open_.end(),
                       [&](const auto& entry) { return entry.second.db.header.name == name; });
}

SyncResult HandheldDevice::Adopt(PalmDatabase db, bool modified, uint8_t& handle) {
    for (uint8_t h = kFirstHandle; h <= kLastHandle; ++h) {
        if (!open_.contains(h)) {
            OpenDb& open = open_[h];
            for (const auto& record : db.records) {
                open.ids.insert(record.unique_id);
            }
            open.db = std::move(db);
            open.modified = modified;
            handle = h;
            return kSyncOk;
        }
    }
    return kSyncErrBadHandle;  // every handle in use
}

SyncResult HandheldDevice::OpenDatabase(std::string_view name, uint8_t& handle) {
    if (IsOpen(name)) {
        return kSyncErrAlreadyOpen;
    }
    PalmDatabase db;
    std::string error;
    const SyncResult loaded = LoadDatabase(name, db, error);
    if (loaded != kSyncOk) {
        return loaded;
    }
    return Adopt(std::move(db), false, handle);
}

SyncResult HandheldDevice::CreateDatabase(const DatabaseSpec& wanted, uint8_t& handle) {
    if (wanted.name.empty() || wanted.name.size() > kMaxDbNameLength ||
        wanted.name.find('\0') != std::string::npos) {
        return kSyncErrBadArgument;
    }
    if (IsOpen(wanted.name) || Exists(wanted.name)) {
        return kSyncErrAlreadyExists;
    }
    PalmDatabase db;
    db.header.name = wanted.name;
    db.header.creator = wanted.creator;
    db.header.type = wanted.type;
    db.header.attributes = wanted.attributes & ~kDbAttrOpen;
    db.header.version = wanted.version;
    const uint32_t now = PalmSecondsFrom(clock_.Now());
    db.header.creation_date = db.header.modification_date = now;
    return Adopt(std::move(db), true, handle);  // stored when closed
}

SyncResult HandheldDevice::DeleteDatabase(std::string_view name) {
    if (IsOpen(name)) {
        return kSyncErrAlreadyOpen;
    }
    const auto path = StoredPath(name);
    if (!path) {
        return kSyncErrNotFound;
    }
    std::string error;
    return files_.RemoveFile(*path, error) ? kSyncOk : kSyncErrStorage;
}

SyncResult HandheldDevice::CloseDatabase(uint8_t handle) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return kSyncErrBadHandle;
    }
    SyncResult result = kSyncOk;
    if (it->second.modified) {
        PalmDbHeader& h = it->second.db.header;
        h.modification_date = PalmSecondsFrom(clock_.Now());
        ++h.modification_number;
        result = Store(it->second.db);
    }
    open_.erase(it);
    return result;
}

SyncResult HandheldDevice::CloseAll() {
    SyncResult result = kSyncOk;
    while (!open_.empty()) {
        const SyncResult closed = CloseDatabase(open_.begin()->first);
        if (result == kSyncOk) {
            result = closed;
        }
    }
    return result;
}

SyncResult HandheldDevice::ImportDatabase(const PalmDatabase& db) {
    if (db.header.name.empty() || IsOpen(db.header.name)) {
        return db.header.name.empty() ? kSyncErrBadArgument : kSyncErrAlreadyOpen;
    }
    std::unordered_set<uint32_t> ids;
    for (const auto& record : db.records) {
        if (record.unique_id == 0 || record.unique_id > kMaxUniqueId ||
            !ids.insert(record.unique_id).second) {
            return kSyncErrCorrupt;  // the device relies on every record having its own ID
        }
    }
    PalmDatabase stored = db;
    stored.header.attributes &= ~kDbAttrOpen;
    return Store(stored);
}

SyncResult HandheldDevice::RecordCount(uint8_t handle, uint16_t& count) const {
    const OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    count = static_cast<uint16_t>(open->db.is_resource() ? open->db.resources.size()
                                                         : open->db.records.size());
    return kSyncOk;
}

SyncResult HandheldDevice::ReadRecordByIndex(uint8_t handle, uint16_t index,
                                             HandheldRecord& out) const {
    const OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    if (index >= open->db.records.size()) {
        return kSyncErrNotFound;
    }
    out = RecordFromFile(open->db.records[index]);
    return kSyncOk;
}

SyncResult HandheldDevice::ReadRecordById(uint8_t handle, uint32_t id, HandheldRecord& out,
                                          uint16_t& index) const {
    const OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    const auto& records = open->db.records;
    const auto it = std::find_if(records.begin(), records.end(),
                                 [&](const PalmRecord& r) { return r.unique_id == id; });
    if (it == records.end()) {
        return kSyncErrNotFound;
    }
    out = RecordFromFile(*it);
    index = static_cast<uint16_t>(it - records.begin());
    return kSyncOk;
}

uint32_t HandheldDevice::NextUniqueId(OpenDb& open) {
    uint32_t candidate = open.db.header.unique_id_seed;
    for (;;) {
        candidate = candidate >= kMaxUniqueId ? 1 : candidate + 1;
        if (!open.ids.contains(candidate)) {
            open.db.header.unique_id_seed = candidate;
            return candidate;  // at most 65,535 IDs are taken, so one of 2^24 - 1 is free
        }
    }
}

SyncResult HandheldDevice::WriteRecord(uint8_t handle, uint32_t& id, uint8_t attributes,
                                       uint8_t category, std::span<const uint8_t> data) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    if (open->db.is_resource() || id > kMaxUniqueId) {
        return kSyncErrBadArgument;
    }
    auto& records = open->db.records;
    auto it = id == 0 ? records.end()
                      : std::find_if(records.begin(), records.end(),
                                     [&](const PalmRecord& r) { return r.unique_id == id; });
    if (it == records.end() && records.size() >= kMaxPalmEntries) {
        return kSyncErrTooManyRecords;
    }
    PalmRecord record;
    record.attributes = FileAttributesFrom(
        static_cast<uint8_t>((attributes | kRecAttrDirty) & ~kRecAttrBusy), category);
    record.data.assign(data.begin(), data.end());
    if (it != records.end()) {
        record.unique_id = id;
        *it = std::move(record);
    } else {
        record.unique_id = id != 0 ? id : NextUniqueId(*open);
        open->ids.insert(record.unique_id);
        id = record.unique_id;
        records.push_back(std::move(record));
    }
    open->modified = true;
    return kSyncOk;
}

SyncResult HandheldDevice::DeleteRecord(uint8_t handle, uint32_t id) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    auto& records = open->db.records;
    const auto it = std::find_if(records.begin(), records.end(),
                                 [&](const PalmRecord& r) { return r.unique_id == id; });
    if (it == records.end()) {
        return kSyncErrNotFound;
    }
    open->ids.erase(id);
    records.erase(it);
    open->modified = true;
    return kSyncOk;
}

SyncResult HandheldDevice::SetRecordAttributes(uint8_t handle, uint16_t index, uint8_t attributes,
                                               uint8_t category) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    if (index >= open->db.records.size()) {
        return kSyncErrNotFound;
    }
    open->db.records[index].attributes = FileAttributesFrom(attributes, category);
    open->modified = true;
    return kSyncOk;
}

SyncResult HandheldDevice::ReadAppInfo(uint8_t handle,
                                       std::optional<std::vector<uint8_t>>& out) const {
    const OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    out = open->db.app_info;
    return kSyncOk;
}

SyncResult HandheldDevice::WriteAppInfo(uint8_t handle, std::span<const uint8_t> bytes) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    open->db.app_info = std::vector<uint8_t>(bytes.begin(), bytes.end());
    open->db.header.attributes |= kDbAttrAppInfoDirty;
    open->modified = true;
    return kSyncOk;
}

SyncResult HandheldDevice::PurgeDeleted(uint8_t handle) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    auto& records = open->db.records;
    const auto kept = std::remove_if(records.begin(), records.end(), [&](const PalmRecord& r) {
        if (r.attributes & kFileRecDeleted) {  // archived records are deleted ones too
            open->ids.erase(r.unique_id);
            return true;
        }
        return false;
    });
    if (kept != records.end()) {
        records.erase(kept, records.end());
        open->modified = true;
    }
    return kSyncOk;
}

SyncResult HandheldDevice::ResetSyncFlags(uint8_t handle) {
    OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    for (auto& record : open->db.records) {
        record.attributes &= static_cast<uint8_t>(~kFileRecDirty);
    }
    open->db.header.attributes &= static_cast<uint16_t>(~kDbAttrAppInfoDirty);
    open->db.header.backup_date = PalmSecondsFrom(clock_.Now());
    open->modified = true;
    return kSyncOk;
}

SyncResult HandheldDevice::DatabaseInfo(uint8_t handle, PalmDbHeader& header) const {
    const OpenDb* open = Find(handle);
    if (!open) {
        return kSyncErrBadHandle;
    }
    header = open->db.header;
    return kSyncOk;
}

}  // namespace qx

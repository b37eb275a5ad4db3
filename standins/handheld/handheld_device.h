#pragma once
// The emulated handheld: a folder holding the device's databases as standard .pdb/.prc files and
// its user data (user.txt: name and user ID). It keeps what a real handheld keeps: database
// attributes and dates, an application info block that may be absent or empty, record attributes
// and categories, 24-bit unique IDs that the device assigns when a record is written with ID 0,
// at most 65,535 records per database.
//
// An open database lives in memory and is written back when it is closed, through the file
// system's atomic write, so a failure at any moment leaves every database file whole: either as
// it was before or as it is after. Opening is exclusive. Results are SyncResult codes (0 = done).

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "conduit/pdb/palm_database.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/storage/file_system.h"
#include "conduit/sync/sync_result.h"

namespace qx {

inline constexpr std::string_view kDeviceUserFile = "user.txt";

// A record as the Sync Manager sees it: attribute flags (kRecAttr*) apart from the category.
struct HandheldRecord {
    uint32_t id = 0;
    uint8_t attributes = 0;
    uint8_t category = 0;
    std::vector<uint8_t> data;
};

// File form (flags | category, archived in a deleted record's category bits) <-> Sync form.
HandheldRecord RecordFromFile(const PalmRecord& record);
uint8_t FileAttributesFrom(uint8_t sync_attributes, uint8_t category);

struct DatabaseSpec {
    std::string name;
    uint32_t creator = 0;
    uint32_t type = 0;
    uint16_t attributes = 0;
    uint16_t version = 0;
};

class HandheldDevice {
  public:
    // Makes the folder (which must not hold a device yet) and writes the user data.
    static SyncResult Create(FileSystem& files, const std::filesystem::path& folder,
                             std::string_view user_name, uint32_t user_id, std::string& error);
    static std::unique_ptr<HandheldDevice> Open(FileSystem& files, const PalmClock& clock,
                                                const std::filesystem::path& folder,
                                                std::string& error);

    const std::string& user_name() const { return user_name_; }
    uint32_t user_id() const { return user_id_; }
    const std::filesystem::path& folder() const { return folder_; }

    // Names of the databases stored on the device, sorted; files that are not databases of this
    // device are skipped.
    std::vector<std::string> ListDatabases() const;
    bool Exists(std::string_view name) const;
    // A stored database as it is on disk (not as an open one holds it); for listings and dumps.
    SyncResult LoadDatabase(std::string_view name, PalmDatabase& db, std::string& error) const;

    SyncResult OpenDatabase(std::string_view name, uint8_t& handle);
    SyncResult CreateDatabase(const DatabaseSpec& wanted, uint8_t& handle);
    SyncResult DeleteDatabase(std::string_view name);
    // Writes the database back if it changed; the handle is released even when writing fails.
    SyncResult CloseDatabase(uint8_t handle);
    SyncResult CloseAll();
    // Stores a whole database read from a .pdb/.prc file, replacing one of the same name.
    SyncResult ImportDatabase(const PalmDatabase& db);

    SyncResult RecordCount(uint8_t handle, uint16_t& count) const;
    SyncResult ReadRecordByIndex(uint8_t handle, uint16_t index, HandheldRecord& out) const;
    SyncResult ReadRecordById(uint8_t handle, uint32_t id, HandheldRecord& out,
                              uint16_t& index) const;
    // ID 0 adds a record with an ID the device assigns; a known ID replaces that record; an unknown
    // one adds a record with that ID. The written record is dirty. `id` holds the record's ID
    // after.
    SyncResult WriteRecord(uint8_t handle, uint32_t& id, uint8_t attributes, uint8_t category,
                           std::span<const uint8_t> data);
    SyncResult DeleteRecord(uint8_t handle, uint32_t id);
    // Sets a record's attributes and category as they are (no dirty bit added): the person
    // holding the device marking records.
    SyncResult SetRecordAttributes(uint8_t handle, uint16_t index, uint8_t attributes,
                                   uint8_t category);
    // Nothing when the database has no block (an empty block is present and empty).
    SyncResult ReadAppInfo(uint8_t handle, std::optional<std::vector<uint8_t>>& out) const;
    SyncResult WriteAppInfo(uint8_t handle, std::span<const uint8_t> bytes);
    // Removes records marked deleted or archived.
    SyncResult PurgeDeleted(uint8_t handle);
    // Clears every record's dirty bit and the database's app-info-dirty attribute.
    SyncResult ResetSyncFlags(uint8_t handle);
    SyncResult DatabaseInfo(uint8_t handle, PalmDbHeader& header) const;

  private:
    struct OpenDb {
        PalmDatabase db;
        std::unordered_set<uint32_t> ids;
        bool modified = false;
    };

    HandheldDevice(FileSystem& files, const PalmClock& clock, std::filesystem::path folder)
        : files_(files), clock_(clock), folder_(std::move(folder)) {}

    std::optional<std::filesystem::path> StoredPath(std::string_view name) const;
    SyncResult Store(const PalmDatabase& db);
    OpenDb* Find(uint8_t handle);
    const OpenDb* Find(uint8_t handle) const;
    bool IsOpen(std::string_view name) const;
    SyncResult Adopt(PalmDatabase db, bool modified, uint8_t& handle);
    uint32_t NextUniqueId(OpenDb& open);

    FileSystem& files_;
    const PalmClock& clock_;
    std::filesystem::path folder_;
    std::string user_name_;
    uint32_t user_id_ = 0;
    std::map<uint8_t, OpenDb> open_;
};

}  // namespace qx

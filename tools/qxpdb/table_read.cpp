#include "tools/qxpdb/table_read.h"

#include <cstdio>
#include <memory>

#include "common/creator_id.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/tables/table_retrieval.h"
#include "conduit/tables/table_transfer.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"
#include "tools/qxpdb/memory_store.h"
#include "tools/qxpdb/terminal_errors.h"

namespace qx {
namespace {

// The retrieval's log lines (only its FAILED line, as it stands) go where a person sees them.
class TerminalLog final : public LogChannel {
  public:
    void Add(std::string_view text, int32_t, int32_t) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

int Refuse(const std::string& text) {
    std::fprintf(stderr, "qxpdb: %s\n", text.c_str());
    return 1;
}

// Only a record database of type 'TABL' is a table; anything else would fail inside the
// retrieval with a less helpful message.
bool IsTable(const PalmDatabase& db, const std::string& where, std::string& why) {
    if (db.is_resource() || db.header.type != tables::kTableDbType) {
        why = where + ": \"" + db.header.name + "\" is not a table database (type '" +
              FourCcText(db.header.type) + "'" + (db.is_resource() ? ", resources" : "") + ")";
        return false;
    }
    return true;
}

std::size_t LiveRecords(const PalmDatabase& db) {
    std::size_t live = 0;
    for (const PalmRecord& record : db.records) {
        live += (record.attributes & kFileRecDeleted) == 0 ? 1 : 0;
    }
    return live;
}

int Retrieve(HandheldDevice& device, const std::string& table, const std::string& db_name,
             std::size_t rows) {
    HandheldSyncOps ops(device);
    TerminalLog log;
    TerminalErrors errors;
    static RecordBuffer buffer;  // 64 KB: kept off the stack
    dbase::StdioFileSystem table_files;
    // Pictures are not converted yet, as in the conduit's command 4: they come back as ten spaces.
    if (tables::GetTableFromHandheld({ops, log, errors, buffer, table_files, nullptr}, table) !=
        1) {
        return 1;
    }
    std::printf("%s: %zu rows from \"%s\"\n", table.c_str(), rows, db_name.c_str());
    return 0;
}

}  // namespace

int ReadTable(const std::string& source, const std::string& table) {
    NativeFileSystem disk;
    SystemPalmClock clock;
    const std::string db_name = MakeHandheldDbName(table, HandheldDbKind::kTable);
    std::string error;
    if (!disk.Exists(source)) {
        return Refuse(source + ": no such file or folder");
    }
    if (disk.IsDirectory(source)) {
        const std::unique_ptr<HandheldDevice> device =
            HandheldDevice::Open(disk, clock, source, error);
        if (device == nullptr) {
            return Refuse(error);
        }
        PalmDatabase db;
        if (!device->Exists(db_name)) {
            return Refuse("the handheld in " + source + " holds no database \"" + db_name + "\"");
        }
        if (device->LoadDatabase(db_name, db, error) != kSyncOk) {
            return Refuse(source + ": " + error);
        }
        if (!IsTable(db, source, error)) {
            return Refuse(error);
        }
        return Retrieve(*device, table, db_name, LiveRecords(db));
    }

    std::vector<uint8_t> bytes;
    if (!disk.ReadFile(source, bytes, error)) {
        return Refuse(error);
    }
    PalmDbReadResult read = ReadPalmDatabase(bytes);
    bytes = {};
    if (!read.ok) {
        return Refuse(source + ": malformed: " + read.error);
    }
    if (!IsTable(read.db, source, error)) {
        return Refuse(error);
    }
    // The retrieval finds the database by the table's name, whatever the file called it.
    read.db.header.name = db_name;
    const std::size_t rows = LiveRecords(read.db);
    MemoryStore memory;
    const std::filesystem::path folder = "handheld";
    std::unique_ptr<HandheldDevice> device;
    if (HandheldDevice::Create(memory, folder, "qxpdb", 0, error) == kSyncOk) {
        device = HandheldDevice::Open(memory, clock, folder, error);
    }
    if (device == nullptr) {
        return Refuse("cannot make an emulated handheld in memory: " + error);
    }
    if (const SyncResult imported = device->ImportDatabase(read.db); imported != kSyncOk) {
        return Refuse(source + (imported == kSyncErrCorrupt
                                    ? ": its record IDs are not all non-zero and unique"
                                    : ": cannot be loaded into an emulated handheld"));
    }
    read.db = {};
    return Retrieve(*device, table, db_name, rows);
}

}  // namespace qx

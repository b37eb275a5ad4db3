// qxhandheld: inspect and edit an emulated handheld, acting as the person holding the device.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/printable_text.h"
#include "conduit/pdb/palm_database_dump.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/sync_records.h"
#include "standins/handheld/app_directory.h"
#include "standins/handheld/handheld_device.h"
#include "tools/qxhandheld/table_record.h"

namespace {

constexpr const char* kUsage =
    "usage: qxhandheld COMMAND DEVICE-FOLDER [ARGUMENTS]\n"
    "\n"
    "  create DEVICE --user NAME --user-id N\n"
    "        make a device with that HotSync user and the engine's \"QX-SE_SysHeap\"\n"
    "        directory database\n"
    "  list DEVICE                   databases with type, creator, attributes, record count\n"
    "  dump DEVICE NAME [--no-data]  a database's header, blocks and records\n"
    "  show DEVICE NAME INDEX        one record: ID, attributes, category, bytes\n"
    "  mark DEVICE NAME INDEX FLAG...\n"
    "        change a record's attributes; FLAG is one of deleted, undeleted, archived,\n"
    "        dirty, clean, secret, public, category=N (0-15)\n"
    "  db-attr DEVICE NAME +FLAG|-FLAG...\n"
    "        change database attributes (backup, read-only, hidden, app-info-dirty, ...)\n"
    "  fields DEVICE NAME INDEX      a table database's record, field by field\n"
    "  set-field DEVICE NAME INDEX COLUMN TEXT\n"
    "        type TEXT into one field of a table database's record, as the person holding\n"
    "        the device does; the record becomes dirty\n"
    "  purge DEVICE NAME             remove records marked deleted or archived\n"
    "  reset-flags DEVICE NAME       clear every dirty bit\n"
    "  delete DEVICE NAME            remove a database\n"
    "  import DEVICE FILE...         store .pdb/.prc files, replacing databases of the same name\n"
    "  --help                        this text\n"
    "\n"
    "Exit status: 0 on success, 1 when the operation failed, 2 for a usage error.\n";

qx::NativeFileSystem g_files;
const qx::SystemPalmClock g_clock;

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "qxhandheld: %s\n", message.c_str());
    return 1;
}

std::string Code(qx::SyncResult r) {
    char text[32];
    std::snprintf(text, sizeof text, "error 0x%X", static_cast<unsigned>(r));
    return text;
}

bool ParseNumber(const char* text, unsigned long max, unsigned long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoul(text, &end, 0);
    return *text != '\0' && *end == '\0' && errno == 0 && out <= max && text[0] != '-';
}

std::unique_ptr<qx::HandheldDevice> OpenDevice(const char* folder) {
    std::string error;
    auto device = qx::HandheldDevice::Open(g_files, g_clock, folder, error);
    if (!device) {
        Fail(error);
    }
    return device;
}

int Create(int argc, char** argv) {
    std::string user;
    unsigned long id = 0;
    bool have_user = false, have_id = false;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--user") == 0) {
            user = argv[i + 1];
            have_user = true;
        } else if (std::strcmp(argv[i], "--user-id") == 0 &&
                   ParseNumber(argv[i + 1], 0xFFFFFFFF, id)) {
            have_id = true;
        } else {
            return Usage();
        }
    }
    if (!have_user || !have_id || argc % 2 == 0) {
        return Usage();
    }
    std::string error;
    if (qx::HandheldDevice::Create(g_files, argv[2], user, static_cast<uint32_t>(id), error) !=
        qx::kSyncOk) {
        return Fail(error);
    }
    auto device = OpenDevice(argv[2]);
    if (!device) {
        return 1;
    }
    const qx::SyncResult r = device->ImportDatabase(qx::MakeAppDirectoryDatabase(
        static_cast<uint32_t>(id), qx::PalmSecondsFrom(g_clock.Now())));
    if (r != qx::kSyncOk) {
        return Fail("cannot store the directory database: " + Code(r));
    }
    std::printf("created device in %s for user \"%s\" (ID %lu)\n", argv[2], user.c_str(), id);
    return 0;
}

int List(qx::HandheldDevice& device) {
    for (const auto& name : device.ListDatabases()) {
        qx::PalmDatabase db;
        std::string error;
        if (device.LoadDatabase(name, db, error) != qx::kSyncOk) {
            std::printf("%-31s  unreadable: %s\n", name.c_str(), error.c_str());
            continue;
        }
        std::printf("%-31s  %s '%s' '%s'  %5zu %s  attributes 0x%04X (%s)\n", name.c_str(),
                    db.is_resource() ? "prc" : "pdb", qx::FourCcText(db.header.type).c_str(),
                    qx::FourCcText(db.header.creator).c_str(),
                    db.is_resource() ? db.resources.size() : db.records.size(),
                    db.is_resource() ? "resources" : "records  ", db.header.attributes,
                    qx::DatabaseAttributeNames(db.header.attributes).c_str());
    }
    return 0;
}

int WithOpen(qx::HandheldDevice& device, const char* name,
             const std::function<qx::SyncResult(uint8_t)>& action) {
    uint8_t handle = 0;
    qx::SyncResult r = device.OpenDatabase(name, handle);
    if (r != qx::kSyncOk) {
        std::string error;
        qx::PalmDatabase ignored;
        device.LoadDatabase(name, ignored, error);
        return Fail(std::string("cannot open \"") + name +
                    "\": " + (error.empty() ? Code(r) : error));
    }
    r = action(handle);
    const qx::SyncResult closed = device.CloseDatabase(handle);
    if (r != qx::kSyncOk) {
        return Fail(std::string("\"") + name + "\": " + Code(r));
    }
    if (closed != qx::kSyncOk) {
        return Fail(std::string("cannot store \"") + name + "\": " + Code(closed));
    }
    return 0;
}

int Mark(qx::HandheldDevice& device, int argc, char** argv) {
    unsigned long index = 0;
    if (argc < 6 || !ParseNumber(argv[4], 0xFFFF, index)) {
        return Usage();
    }
    qx::HandheldRecord record;
    return WithOpen(device, argv[3], [&](uint8_t h) {
        qx::SyncResult r = device.ReadRecordByIndex(h, static_cast<uint16_t>(index), record);
        if (r != qx::kSyncOk) {
            return r;
        }
        uint8_t attributes = record.attributes;
        uint8_t category = record.category;
        for (int i = 5; i < argc; ++i) {
            const std::string flag = argv[i];
            unsigned long value = 0;
            if (flag == "deleted") {
                attributes |= qx::kRecAttrDeleted;
            } else if (flag == "undeleted") {
                attributes &= static_cast<uint8_t>(~(qx::kRecAttrDeleted | qx::kRecAttrArchived));
            } else if (flag == "archived") {
                attributes |= qx::kRecAttrDeleted | qx::kRecAttrArchived;
            } else if (flag == "dirty") {
                attributes |= qx::kRecAttrDirty;
            } else if (flag == "clean") {
                attributes &= static_cast<uint8_t>(~qx::kRecAttrDirty);
            } else if (flag == "secret") {
                attributes |= qx::kRecAttrSecret;
            } else if (flag == "public") {
                attributes &= static_cast<uint8_t>(~qx::kRecAttrSecret);
            } else if (flag.starts_with("category=") && ParseNumber(flag.c_str() + 9, 15, value)) {
                category = static_cast<uint8_t>(value);
            } else {
                std::fprintf(stderr, "qxhandheld: unknown flag \"%s\"\n", flag.c_str());
                return qx::kSyncErrBadArgument;
            }
        }
        return device.SetRecordAttributes(h, static_cast<uint16_t>(index), attributes, category);
    });
}

// Reads record `index` of a table database with its TableInfoBlock, and lets `use` look at them.
int WithTableRecord(qx::HandheldDevice& device, const char* name, const char* index_text,
                    const std::function<qx::SyncResult(uint8_t, const std::vector<uint8_t>&,
                                                       qx::HandheldRecord&)>& use) {
    unsigned long index = 0;
    if (!ParseNumber(index_text, 0xFFFF, index)) {
        return Usage();
    }
    return WithOpen(device, name, [&](uint8_t h) {
        std::optional<std::vector<uint8_t>> info;
        qx::HandheldRecord record;
        qx::SyncResult r = device.ReadAppInfo(h, info);
        if (r == qx::kSyncOk && !info) {
            std::fprintf(stderr, "qxhandheld: \"%s\" has no TableInfoBlock\n", name);
            return qx::kSyncErrNotFound;
        }
        if (r == qx::kSyncOk) {
            r = device.ReadRecordByIndex(h, static_cast<uint16_t>(index), record);
        }
        return r == qx::kSyncOk ? use(h, *info, record) : r;
    });
}

int Fields(qx::HandheldDevice& device, char** argv) {
    return WithTableRecord(device, argv[3], argv[4], [&](uint8_t, const auto& info, auto& record) {
        std::string error;
        const auto fields = qx::ShowTableRecord(info, record.data, error);
        if (!fields) {
            std::fprintf(stderr, "qxhandheld: record %s: %s\n", argv[4], error.c_str());
            return qx::kSyncErrCorrupt;
        }
        const uint8_t file = qx::FileAttributesFrom(record.attributes, record.category);
        std::printf("record %s: id 0x%06X, attributes %s\n", argv[4], record.id,
                    qx::RecordAttributeNames(file).c_str());
        for (const auto& field : *fields) {
            std::printf("  %-11s %c  %s\n", field.name.c_str(), field.letter,
                        qx::PrintableText(field.text).c_str());
        }
        return qx::kSyncOk;
    });
}

int SetField(qx::HandheldDevice& device, char** argv) {
    return WithTableRecord(
        device, argv[3], argv[4], [&](uint8_t h, const auto& info, auto& record) {
            std::string error;
            const auto edited = qx::EditTableRecord(info, record.data, argv[5], argv[6], error);
            if (!edited) {
                std::fprintf(stderr, "qxhandheld: record %s: %s\n", argv[4], error.c_str());
                return qx::kSyncErrBadArgument;
            }
            uint32_t id = record.id;
            return device.WriteRecord(h, id, record.attributes, record.category, *edited);
        });
}

int DbAttr(qx::HandheldDevice& device, int argc, char** argv) {
    static const std::map<std::string, uint16_t> kBits = {
        {"read-only", qx::kDbAttrReadOnly},
        {"app-info-dirty", qx::kDbAttrAppInfoDirty},
        {"backup", qx::kDbAttrBackupFlag},
        {"ok-to-install-newer", qx::kDbAttrOkToInstallNewer},
        {"reset-after-install", qx::kDbAttrResetAfterInstall},
        {"copy-prevention", qx::kDbAttrCopyPrevention},
        {"stream", qx::kDbAttrStream},
        {"hidden", qx::kDbAttrHidden},
        {"launchable-data", qx::kDbAttrLaunchableData},
        {"recyclable", qx::kDbAttrRecyclable},
        {"bundle", qx::kDbAttrBundle},
    };
    if (argc < 5) {
        return Usage();
    }
    qx::PalmDatabase db;
    std::string error;
    if (device.LoadDatabase(argv[3], db, error) != qx::kSyncOk) {
        return Fail(error);
    }
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto it = arg.size() > 1 ? kBits.find(arg.substr(1)) : kBits.end();
        if ((arg[0] != '+' && arg[0] != '-') || it == kBits.end()) {
            return Fail("unknown database attribute \"" + arg + "\"");
        }
        if (arg[0] == '+') {
            db.header.attributes |= it->second;
        } else {
            db.header.attributes &= static_cast<uint16_t>(~it->second);
        }
    }
    const qx::SyncResult r = device.ImportDatabase(db);
    return r == qx::kSyncOk ? 0 : Fail("cannot store \"" + std::string(argv[3]) + "\": " + Code(r));
}

int Import(qx::HandheldDevice& device, int argc, char** argv) {
    int status = 0;
    for (int i = 3; i < argc; ++i) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (!g_files.ReadFile(argv[i], bytes, error)) {
            status = Fail(error);
            continue;
        }
        const qx::PalmDbReadResult read = qx::ReadPalmDatabase(bytes);
        if (!read.ok) {
            status = Fail(std::string(argv[i]) + ": malformed: " + read.error);
            continue;
        }
        const qx::SyncResult r = device.ImportDatabase(read.db);
        if (r != qx::kSyncOk) {
            status =
                Fail(std::string(argv[i]) + ": cannot store \"" + read.db.header.name +
                     "\": " + Code(r) +
                     (r == qx::kSyncErrCorrupt ? " (records need distinct non-zero IDs)" : ""));
            continue;
        }
        std::printf("imported \"%s\" from %s\n", read.db.header.name.c_str(), argv[i]);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 3) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "create") {
        return Create(argc, argv);
    }
    auto device = OpenDevice(argv[2]);
    if (!device) {
        return 1;
    }
    if (command == "list" && argc == 3) {
        return List(*device);
    }
    if (command == "dump" && (argc == 4 || (argc == 5 && std::strcmp(argv[4], "--no-data") == 0))) {
        qx::PalmDatabase db;
        std::string error;
        if (device->LoadDatabase(argv[3], db, error) != qx::kSyncOk) {
            return Fail(error);
        }
        std::fputs(qx::DumpPalmDatabase(db, nullptr, argc == 4).c_str(), stdout);
        return 0;
    }
    if (command == "show" && argc == 5) {
        unsigned long index = 0;
        if (!ParseNumber(argv[4], 0xFFFF, index)) {
            return Usage();
        }
        qx::HandheldRecord record;
        const int status = WithOpen(*device, argv[3], [&](uint8_t h) {
            return device->ReadRecordByIndex(h, static_cast<uint16_t>(index), record);
        });
        if (status == 0) {
            const uint8_t file = qx::FileAttributesFrom(record.attributes, record.category);
            std::printf("record %lu: id 0x%06X, attributes %s, category %u, %zu bytes\n", index,
                        record.id, qx::RecordAttributeNames(file).c_str(), record.category,
                        record.data.size());
            std::fputs(qx::HexDump(record.data, "  ").c_str(), stdout);
        }
        return status;
    }
    if (command == "mark") {
        return Mark(*device, argc, argv);
    }
    if (command == "db-attr") {
        return DbAttr(*device, argc, argv);
    }
    if (command == "fields" && argc == 5) {
        return Fields(*device, argv);
    }
    if (command == "set-field" && argc == 7) {
        return SetField(*device, argv);
    }
    if (command == "purge" && argc == 4) {
        return WithOpen(*device, argv[3], [&](uint8_t h) { return device->PurgeDeleted(h); });
    }
    if (command == "reset-flags" && argc == 4) {
        return WithOpen(*device, argv[3], [&](uint8_t h) { return device->ResetSyncFlags(h); });
    }
    if (command == "delete" && argc == 4) {
        const qx::SyncResult r = device->DeleteDatabase(argv[3]);
        return r == qx::kSyncOk
                   ? 0
                   : Fail("cannot delete \"" + std::string(argv[3]) + "\": " + Code(r));
    }
    if (command == "import" && argc >= 4) {
        return Import(*device, argc, argv);
    }
    return Usage();
}

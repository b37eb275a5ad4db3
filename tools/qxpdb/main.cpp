// qxpdb: shows Palm database files (.pdb/.prc) in readable form, writes the .pdb of an
// application or table file as the conduit does, and reads a table back without a HotSync.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/creator_id.h"
#include "conduit/pdb/palm_database_dump.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/storage/native_file_system.h"
#include "tools/qxpdb/pdb_write.h"
#include "tools/qxpdb/table_read.h"

namespace {

constexpr const char* kUsage =
    "usage: qxpdb dump [--no-data] FILE...\n"
    "       qxpdb write-app FILE.PDA [CREATOR [FLAGS]]\n"
    "       qxpdb write-table FILE.DBF [CREATOR [FLAGS]]\n"
    "       qxpdb read-table SOURCE FILE.DBF\n"
    "       qxpdb --help\n"
    "\n"
    "dump         print the header, application info, sort info and every record or resource\n"
    "             of each .pdb or .prc file, with offsets; --no-data leaves out the bytes.\n"
    "write-app    write the handheld application database of a .PDA file as a .pdb beside it\n"
    "             (C:\\APPS\\ORDERS.PDA -> C:\\APPS\\QX-SE_ORDERS.pdb).\n"
    "write-table  the same for a dBase table with its memo file\n"
    "             (C:\\DATA\\ORDERS.DBF -> C:\\DATA\\QXT-SE_ORDERS.pdb).\n"
    "             CREATOR is four characters (default QVXD); FLAGS bit 0 sets the backup\n"
    "             attribute (default 0). On Windows the conduit (Corvane.dll) does the work and\n"
    "             shows its own dialogs; elsewhere its messages go to the terminal.\n"
    "read-table   bring a table database back into FILE.DBF (and FILE.DBT when it has memos),\n"
    "             as the conduit's command 4 does during a HotSync. SOURCE is either a .pdb\n"
    "             file of a table database, which is read into an emulated handheld in memory\n"
    "             and never changed, or an emulated handheld's folder, whose database\n"
    "             QXT-SE_<NAME> (after FILE.DBF) loses its records marked deleted and gets its\n"
    "             sync flags reset, as on a real handheld. An existing FILE.DBF and FILE.DBT are\n"
    "             replaced only when the new table is whole; after a failure they stay as they\n"
    "             were. Pictures are not converted yet: their fields come back as ten spaces.\n"
    "             The same code runs on Windows and elsewhere; messages go to the terminal.\n"
    "\n"
    "Exit status: 0 when every file was read or written, 1 when a file is missing or malformed,\n"
    "is not a table database, or a write failed, 2 for a usage error.\n";

int Write(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    uint32_t creator = qx::kDefaultCreator;
    if (argc >= 4) {
        if (std::strlen(argv[3]) != 4) {
            std::fprintf(stderr, "qxpdb: a creator ID is four characters, not \"%s\"\n", argv[3]);
            return 2;
        }
        creator = qx::FourCc({argv[3][0], argv[3][1], argv[3][2], argv[3][3], '\0'});
    }
    uint32_t flags = 0;
    if (argc == 5) {
        char* end = nullptr;
        flags = static_cast<uint32_t>(std::strtoul(argv[4], &end, 0));
        if (end == argv[4] || *end != '\0') {
            std::fprintf(stderr, "qxpdb: FLAGS must be a number, not \"%s\"\n", argv[4]);
            return 2;
        }
    }
    const bool table = std::strcmp(argv[1], "write-table") == 0;
    return qx::WritePdb(table, argv[2], creator, flags) == 1 ? 0 : 1;
}

int Read(int argc, char** argv) {
    if (argc != 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return qx::ReadTable(argv[2], argv[3]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc >= 2 &&
        (std::strcmp(argv[1], "write-app") == 0 || std::strcmp(argv[1], "write-table") == 0)) {
        return Write(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], "read-table") == 0) {
        return Read(argc, argv);
    }
    if (argc < 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    bool with_data = true;
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-data") == 0) {
            with_data = false;
        } else {
            paths.emplace_back(argv[i]);
        }
    }
    if (paths.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    qx::NativeFileSystem files;
    int status = 0;
    for (const auto& path : paths) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (!files.ReadFile(path, bytes, error)) {
            std::fprintf(stderr, "qxpdb: %s\n", error.c_str());
            status = 1;
            continue;
        }
        const qx::PalmDbReadResult read = qx::ReadPalmDatabase(bytes);
        if (!read.ok) {
            std::fprintf(stderr, "qxpdb: %s: malformed: %s\n", path.c_str(), read.error.c_str());
            status = 1;
            continue;
        }
        if (paths.size() > 1) {
            std::printf("== %s\n", path.c_str());
        }
        std::fputs(qx::DumpPalmDatabase(read.db, &read.layout, with_data).c_str(), stdout);
    }
    return status;
}

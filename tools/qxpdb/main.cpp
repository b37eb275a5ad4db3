// qxpdb: shows Palm database files (.pdb/.prc) in readable form and writes the .pdb of an
// application file as the conduit does.

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

namespace {

constexpr const char* kUsage =
    "usage: qxpdb dump [--no-data] FILE...\n"
    "       qxpdb write-app FILE.PDA [CREATOR [FLAGS]]\n"
    "       qxpdb write-table FILE.DBF [CREATOR [FLAGS]]\n"
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
    "\n"
    "Exit status: 0 when every file was read or written, 1 when a file is missing or malformed\n"
    "or a write failed, 2 for a usage error.\n";

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

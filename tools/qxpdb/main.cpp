// qxpdb: shows Palm database files (.pdb/.prc) in readable form.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "conduit/pdb/palm_database_dump.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/storage/native_file_system.h"

namespace {

constexpr const char* kUsage =
    "usage: qxpdb dump [--no-data] FILE...\n"
    "       qxpdb --help\n"
    "\n"
    "dump     print the header, application info, sort info and every record or resource\n"
    "         of each .pdb or .prc file, with offsets; --no-data leaves out the bytes.\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file is missing or malformed,\n"
    "2 for a usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
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

#pragma once
// Runs application file bytes through the conduit's transfer into a .pdb file, as qxpdb write-app
// does, and reads the database back.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "conduit/app/app_transfer.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx::testing {

struct Converted {
    int result = 0;
    std::vector<std::string> messages;  // errors reported and log lines
    PalmDbReadResult read;
};

// `file_name` decides the database's name: "QX-SE_" and its upper-cased base name.
inline Converted ConvertToPdb(const std::vector<uint8_t>& pda, const std::string& file_name) {
    ScratchFolder scratch;
    const std::string path = (scratch.path() / file_name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(pda.data()), static_cast<std::streamsize>(pda.size()));
    NativeFileSystem files;
    FixedPalmClock clock({1709294400, 0, false});
    RecordingLog log;
    RecordingErrors errors;
    RecordBuffer buffer;
    Converted c;
    {
        PdbFileOps ops(files, clock, log, [&] { return path; });
        c.result = TransferApplication({ops, log, errors, buffer}, path, FourCc("QVXD"), 0);
    }
    for (const auto& r : errors.reports) {
        c.messages.push_back(r.message + (r.detail ? " " + *r.detail : ""));
    }
    for (const auto& l : log.lines) {
        c.messages.push_back(l.text);
    }
    const std::string base = file_name.substr(0, file_name.rfind('.'));
    std::string upper;
    for (char ch : base) {
        upper += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    }
    std::vector<uint8_t> pdb;
    std::string error;
    if (!files.ReadFile(scratch.path() / ("QX-SE_" + upper + ".pdb"), pdb, error)) {
        c.read.error = error;
        return c;
    }
    c.read = ReadPalmDatabase(pdb);
    return c;
}

}  // namespace qx::testing

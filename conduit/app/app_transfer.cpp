#include "conduit/app/app_transfer.h"

#include <cstdio>
#include <vector>

#include "conduit/app/app_info_block.h"
#include "conduit/app/app_messages.h"
#include "conduit/app/form_record.h"
#include "conduit/app/pda_reader.h"
#include "conduit/handheld_db/desktop_file.h"
#include "conduit/handheld_db/handheld_db.h"
#include "conduit/handheld_db/handheld_db_name.h"

namespace qx {
namespace {

// The whole file in memory, so every later read is checked against what is really there. A read
// error ends the bytes early, and the reader then meets a short file and says so.
std::vector<uint8_t> ReadAll(std::FILE* file) {
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

int Failed(const AppTransferSeams& s, std::string_view db_name) {
    s.log.Add("Copy app \"" + std::string(db_name) + "\" to Handheld - FAILED", kLogActivityText,
              0);
    return 0;
}

// Builds and writes the info block and every form; the database is open.
bool WriteDatabase(const AppTransferSeams& s, PdaReader& reader, uint8_t handle) {
    AppInfoBlockResult info;
    if (!ConvertAppHeader(reader, s.buffer.data, info)) {
        s.errors.ReportError(AppFailureMessage(reader.failure()), std::nullopt);
        return false;
    }
    if (!WriteAppInfoBlock(s.ops, handle, std::span(s.buffer.data).first(info.size))) {
        s.errors.ReportError(kMsgCannotWriteAppInfo, std::nullopt);
        return false;
    }
    for (std::size_t form = 0; form < info.form_count; ++form) {
        uint16_t size = 0;
        if (!ConvertForm(reader, s.buffer.data, size)) {
            s.errors.ReportError(AppFailureMessage(reader.failure()), std::nullopt);
            return false;
        }
        if (!WriteRecordBuffer(s.ops, s.buffer, handle, size)) {
            s.errors.ReportError(kMsgCannotCopyForm, std::nullopt);
            return false;
        }
    }
    return true;
}

}  // namespace

int TransferApplication(const AppTransferSeams& s, const std::string& path, uint32_t creator,
                        uint32_t flags) {
    DesktopFile file;
    if (!OpenDesktopFile(file, path, kMsgCannotOpenApp, /*binary=*/true, /*create=*/false,
                         /*read_write=*/false, s.errors)) {
        return Failed(s, "");
    }
    const std::vector<uint8_t> bytes = ReadAll(file.get());
    PdaReader reader(bytes, s.errors);
    switch (ReadPdaOpening(reader)) {
        case PdaOpening::kApplication:
            break;
        case PdaOpening::kNotApplication:
            s.errors.ReportError(kMsgNotApplicationFile, path);
            CloseDesktopFile(file, path, s.errors);
            return Failed(s, "");
        case PdaOpening::kIncompatible:
            s.errors.ReportError(kMsgIncompatibleVersion, path);
            CloseDesktopFile(file, path, s.errors);
            return Failed(s, "");
    }

    const std::string db_name = MakeHandheldDbName(path, HandheldDbKind::kApplication);
    uint8_t handle = kNoHandle;
    if (!RecreateHandheldDb(s.ops, s.errors, handle, db_name, creator, kApplicationDbType, flags)) {
        CloseDesktopFile(file, path, s.errors);
        return Failed(s, db_name);
    }
    const bool written = WriteDatabase(s, reader, handle);
    // The file was read whole; a failed close is reported there and changes nothing here.
    CloseDesktopFile(file, path, s.errors);
    CloseHandheldDb(s.ops, handle);
    return written ? 1 : Failed(s, db_name);
}

}  // namespace qx

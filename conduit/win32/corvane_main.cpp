// Corvane.dll: the conduit's entry points.

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/byte_io.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/pdb/palm_time.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/spine/conduit_messages.h"
#include "conduit/spine/dispatch_command.h"
#include "conduit/spine/synchronisation.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/pdb_message_channel.h"
#include "conduit/sync/sync_manager_abi.h"
#include "conduit/win32/error_dialog_win32.h"
#include "conduit/win32/hotsync_libraries_win32.h"
#include "conduit/win32/lutrix_queue_side_win32.h"
#include "conduit/win32/message_box_win32.h"
#include "utility/core/stored_string.h"
#include "utility/win32/lutrix_binding.h"

namespace qx {
namespace {

HMODULE g_module = nullptr;

// Lutrix, bound once per process: from the conduit's own folder first, where the installer puts
// both, then by the usual search.
const LutrixBinding* Lutrix() {
    static LutrixBinding binding;
    static bool tried = false;
    if (!tried) {
        tried = true;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(g_module, path, sizeof path);
        std::string beside(path);
        beside = beside.substr(0, beside.find_last_of("\\/") + 1) + "Lutrix.dll";
        std::string error;
        if (!LoadLutrix(beside.c_str(), binding, error)) {
            LoadLutrix("Lutrix.dll", binding, error);
        }
    }
    return binding.module != nullptr ? &binding : nullptr;
}

// The conduit's module-wide pieces: one record buffer, the error dialog, and PDB-file mode.
struct Conduit {
    ErrorDialogReporter errors{g_module};
    RecordBuffer buffer;
    dbase::StdioFileSystem table_files;
    NativeFileSystem files;
    SystemPalmClock clock;
    WindowsMessageBox boxes;
    PdbMessageChannel pdb_log{boxes};
    PdbFileOps pdb_ops{files, clock, pdb_log, [] {
                           char name[1040] = {};
                           if (const LutrixBinding* l = Lutrix()) {
                               l->QX_GetCmdFilename(name, sizeof name);
                           }
                           return std::string(name);
                       }};
};

Conduit& State() {
    static Conduit conduit;
    return conduit;
}

DispatchSeams Seams(const LutrixBinding& lutrix, SyncMode hotsync) {
    Conduit& c = State();
    return {hotsync,
            {&c.pdb_ops, &c.pdb_log},
            c.errors,
            c.buffer,
            c.table_files,
            [&lutrix](int32_t code, const std::string& file) {
                lutrix.QX_SetCmdType(code);
                lutrix.QX_SetCmdFilename(file.c_str());
            },
            [&lutrix](const std::string& file) { return lutrix.QX_InstallPRC(0, file.c_str()); }};
}

int32_t RunPdbCommand(int32_t code, const char* file, uint32_t creator, uint32_t flags) {
    const LutrixBinding* lutrix = Lutrix();
    if (lutrix == nullptr) {
        State().errors.ReportError(kMsgCannotFind, "Lutrix.dll");
        return 0;
    }
    return DispatchCommand(Seams(*lutrix, {&State().pdb_ops, &State().pdb_log}), code,
                           file != nullptr ? file : "", creator, flags);
}

}  // namespace
}  // namespace qx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        qx::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" {

__declspec(dllexport) int32_t OpenConduit(void* /*progress*/, uint8_t* properties) {
    using namespace qx;
    Conduit& c = State();
    const LutrixBinding* lutrix = Lutrix();
    if (lutrix == nullptr) {
        c.errors.ReportError(kMsgCannotFind, "Lutrix.dll");
        return kConduitFailed;
    }
    char reported[256] = {};
    lutrix->QX_GetHotSyncDir(reported, sizeof reported);
    const HotSyncLibraries libraries(HotSyncFolderOr(reported), c.errors);
    if (!libraries.complete()) {
        c.errors.ReportError(kMsgCannotLoadHotSync, std::nullopt);
        return kConduitFailed;
    }
    HotSyncOps ops(libraries.sync());
    HotSyncLog log(libraries.log());

    std::string user_name;
    uint32_t creator = 0;
    if (properties != nullptr) {
        const char* name = reinterpret_cast<const char*>(properties + abi::kSyncPropertiesUserName);
        user_name.assign(name, BoundedLength(name, abi::kSyncPropertiesUserNameSize));
        creator = LoadU32(std::span<const uint8_t, 4>(properties + abi::kSyncPropertiesCreator, 4),
                          ByteOrder::kLittle);
    }
    LutrixQueueSide queue(*lutrix, ops);
    const bool succeeded =
        RunSynchronisation(Seams(*lutrix, {&ops, &log}), queue, user_name, creator);
    // The HotSync libraries go away with this call; nothing may keep pointing into them.
    SelectSyncMode({&c.pdb_ops, &c.pdb_log});
    return succeeded ? 0 : kConduitFailed;
}

__declspec(dllexport) int32_t GetConduitName(char* buffer, uint32_t size) {
    const uint16_t room = static_cast<uint16_t>(size);  // the caller's size is a 16-bit count
    if (buffer != nullptr && room > 0) {
        std::memset(buffer, 0, room);
        const std::size_t copied = std::min<std::size_t>(qx::kConduitName.size(), room - 1u);
        std::memcpy(buffer, qx::kConduitName.data(), copied);
    }
    return 0;
}

__declspec(dllexport) uint32_t GetConduitVersion() {
    return qx::kConduitVersion;
}

__declspec(dllexport) int32_t ConfigureConduit(uint8_t* preferences) {
    if (preferences != nullptr) {
        qx::StoreU32(std::span<uint8_t, 4>(preferences + qx::abi::kConduitPreferencesFirst, 4), 1,
                     qx::ByteOrder::kLittle);
        qx::StoreU32(std::span<uint8_t, 4>(preferences + qx::abi::kConduitPreferencesSecond, 4), 0,
                     qx::ByteOrder::kLittle);
    }
    return 0;
}

__declspec(dllexport) int32_t
    PdbFileWriteDocument(const char* file, uint32_t creator, uint32_t flags) {
    return qx::RunPdbCommand(qx::kWriteAppPdbCode, file, creator, flags);
}

__declspec(dllexport) int32_t
    PdbFileWriteTable(const char* file, uint32_t creator, uint32_t flags) {
    return qx::RunPdbCommand(qx::kWriteTablePdbCode, file, creator, flags);
}

}  // extern "C"

#include "utility/win32/lutrix_binding.h"

namespace qx {
namespace {

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn& slot, std::string& missing) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (slot == nullptr) {
        missing += missing.empty() ? name : std::string(", ") + name;
    }
}

}  // namespace

bool LoadLutrix(const char* path, LutrixBinding& b, std::string& error) {
    b = LutrixBinding{};
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        error =
            std::string("cannot load ") + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    std::string missing;
    Bind(module, "_QX_AddToCommandQueue@8", b.QX_AddToCommandQueue, missing);
    Bind(module, "_QX_AddToCommandQueueEx@16", b.QX_AddToCommandQueueEx, missing);
    Bind(module, "_QX_GetNextCommand@12", b.QX_GetNextCommand, missing);
    Bind(module, "_QX_GetNextCommandEx@20", b.QX_GetNextCommandEx, missing);
    Bind(module, "_QX_GetUserName@8", b.QX_GetUserName, missing);
    Bind(module, "_QX_SetUserName@4", b.QX_SetUserName, missing);
    Bind(module, "_QX_GetUserID@0", b.QX_GetUserID, missing);
    Bind(module, "_QX_SetUserID@4", b.QX_SetUserID, missing);
    Bind(module, "_QX_GetCmdType@0", b.QX_GetCmdType, missing);
    Bind(module, "_QX_SetCmdType@4", b.QX_SetCmdType, missing);
    Bind(module, "_QX_GetCmdFilename@8", b.QX_GetCmdFilename, missing);
    Bind(module, "_QX_SetCmdFilename@4", b.QX_SetCmdFilename, missing);
    Bind(module, "_QX_GetCreatorId@0", b.QX_GetCreatorId, missing);
    Bind(module, "_QX_SetCreatorId@4", b.QX_SetCreatorId, missing);
    Bind(module, "_QX_SetHotSyncUserId@4", b.QX_SetHotSyncUserId, missing);
    Bind(module, "_QX_GetWaitFlag@0", b.QX_GetWaitFlag, missing);
    Bind(module, "_QX_SetWaitFlag@4", b.QX_SetWaitFlag, missing);
    Bind(module, "_QX_IncWaitFlag@0", b.QX_IncWaitFlag, missing);
    Bind(module, "_QX_DecWaitFlag@0", b.QX_DecWaitFlag, missing);
    Bind(module, "_QX_GetRegisteredMsg@0", b.QX_GetRegisteredMsg, missing);
    Bind(module, "_QX_GetPalmKey@8", b.QX_GetPalmKey, missing);
    Bind(module, "_QX_GetQuorvixDir@8", b.QX_GetQuorvixDir, missing);
    Bind(module, "QX_GetBrelconDir", b.QX_GetBrelconDir, missing);
    Bind(module, "_QX_GetHotSyncDir@8", b.QX_GetHotSyncDir, missing);
    Bind(module, "_QX_GetHotSyncVersion@0", b.QX_GetHotSyncVersion, missing);
    Bind(module, "_QX_GenerateRandom@0", b.QX_GenerateRandom, missing);
    Bind(module, "_QX_SeedRandom@4", b.QX_SeedRandom, missing);
    Bind(module, "_QX_CopyRandomXOR@12", b.QX_CopyRandomXOR, missing);
    Bind(module, "QX_InstallPRC", b.QX_InstallPRC, missing);
    Bind(module, "QX_CheckInstallPending", b.QX_CheckInstallPending, missing);
    Bind(module, "QX_FindFirstUser", b.QX_FindFirstUser, missing);
    Bind(module, "QX_FindNextUser", b.QX_FindNextUser, missing);
    Bind(module, "QX_FindUserByID", b.QX_FindUserByID, missing);
    Bind(module, "QX_AddUser", b.QX_AddUser, missing);
    Bind(module, "QX_DeleteUser", b.QX_DeleteUser, missing);
    Bind(module, "QX_RenameUser", b.QX_RenameUser, missing);
    Bind(module, "QX_CommitUserChanges", b.QX_CommitUserChanges, missing);
    Bind(module, "QX_AbandonUserChanges", b.QX_AbandonUserChanges, missing);
    Bind(module, "_QX_UserMaintenance@0", b.QX_UserMaintenance, missing);
    Bind(module, "_QX_CreateMsgTarget@4", b.QX_CreateMsgTarget, missing);
    Bind(module, "_QX_DeleteMsgTarget@4", b.QX_DeleteMsgTarget, missing);
    Bind(module, "_QX_FlushCommandQueue@4", b.QX_FlushCommandQueue, missing);
    Bind(module, "_QX_FlushCommandQueueEx@8", b.QX_FlushCommandQueueEx, missing);
    if (!missing.empty()) {
        FreeLibrary(module);
        b = LutrixBinding{};
        error = std::string(path) + " lacks " + missing;
        return false;
    }
    b.module = module;
    return true;
}

void UnloadLutrix(LutrixBinding& binding) {
    if (binding.module != nullptr) {
        FreeLibrary(binding.module);
    }
    binding = LutrixBinding{};
}

}  // namespace qx

#pragma once
// A client's view of Lutrix: the library loaded at run time and each function bound by its
// exported name, as the kit's client programs bind it.

#include <windows.h>

#include <string>

#include "utility/win32/lutrix_api.h"

namespace qx {

struct LutrixBinding {
    HMODULE module = nullptr;

    decltype(&::QX_AddToCommandQueue) QX_AddToCommandQueue = nullptr;
    decltype(&::QX_AddToCommandQueueEx) QX_AddToCommandQueueEx = nullptr;
    decltype(&::QX_GetNextCommand) QX_GetNextCommand = nullptr;
    decltype(&::QX_GetNextCommandEx) QX_GetNextCommandEx = nullptr;
    decltype(&::QX_GetUserName) QX_GetUserName = nullptr;
    decltype(&::QX_SetUserName) QX_SetUserName = nullptr;
    decltype(&::QX_GetUserID) QX_GetUserID = nullptr;
    decltype(&::QX_SetUserID) QX_SetUserID = nullptr;
    decltype(&::QX_GetCmdType) QX_GetCmdType = nullptr;
    decltype(&::QX_SetCmdType) QX_SetCmdType = nullptr;
    decltype(&::QX_GetCmdFilename) QX_GetCmdFilename = nullptr;
    decltype(&::QX_SetCmdFilename) QX_SetCmdFilename = nullptr;
    decltype(&::QX_GetCreatorId) QX_GetCreatorId = nullptr;
    decltype(&::QX_SetCreatorId) QX_SetCreatorId = nullptr;
    decltype(&::QX_SetHotSyncUserId) QX_SetHotSyncUserId = nullptr;
    decltype(&::QX_GetWaitFlag) QX_GetWaitFlag = nullptr;
    decltype(&::QX_SetWaitFlag) QX_SetWaitFlag = nullptr;
    decltype(&::QX_IncWaitFlag) QX_IncWaitFlag = nullptr;
    decltype(&::QX_DecWaitFlag) QX_DecWaitFlag = nullptr;
    decltype(&::QX_GetRegisteredMsg) QX_GetRegisteredMsg = nullptr;
    decltype(&::QX_GetPalmKey) QX_GetPalmKey = nullptr;
    decltype(&::QX_GetQuorvixDir) QX_GetQuorvixDir = nullptr;
    decltype(&::QX_GetQuorvixDir) QX_GetBrelconDir = nullptr;
    decltype(&::QX_GetHotSyncDir) QX_GetHotSyncDir = nullptr;
    decltype(&::QX_GetHotSyncVersion) QX_GetHotSyncVersion = nullptr;
    decltype(&::QX_GenerateRandom) QX_GenerateRandom = nullptr;
    decltype(&::QX_SeedRandom) QX_SeedRandom = nullptr;
    decltype(&::QX_CopyRandomXOR) QX_CopyRandomXOR = nullptr;
    decltype(&::QX_InstallPRC) QX_InstallPRC = nullptr;
    decltype(&::QX_CheckInstallPending) QX_CheckInstallPending = nullptr;
    decltype(&::QX_FindFirstUser) QX_FindFirstUser = nullptr;
    decltype(&::QX_FindNextUser) QX_FindNextUser = nullptr;
    decltype(&::QX_FindUserByID) QX_FindUserByID = nullptr;
    decltype(&::QX_AddUser) QX_AddUser = nullptr;
    decltype(&::QX_DeleteUser) QX_DeleteUser = nullptr;
    decltype(&::QX_RenameUser) QX_RenameUser = nullptr;
    decltype(&::QX_CommitUserChanges) QX_CommitUserChanges = nullptr;
    decltype(&::QX_AbandonUserChanges) QX_AbandonUserChanges = nullptr;
    decltype(&::QX_UserMaintenance) QX_UserMaintenance = nullptr;
    decltype(&::QX_CreateMsgTarget) QX_CreateMsgTarget = nullptr;
    decltype(&::QX_DeleteMsgTarget) QX_DeleteMsgTarget = nullptr;
    decltype(&::QX_FlushCommandQueue) QX_FlushCommandQueue = nullptr;
    decltype(&::QX_FlushCommandQueueEx) QX_FlushCommandQueueEx = nullptr;
};

// Loads the library (by path or by name from the usual search) and binds every function. On
// failure nothing stays loaded and `error` says what was missing.
bool LoadLutrix(const char* path, LutrixBinding& binding, std::string& error);

void UnloadLutrix(LutrixBinding& binding);

}  // namespace qx

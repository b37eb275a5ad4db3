#pragma once
// The functions Lutrix exports, as the library defines them. Clients bind them by their exported
// names (see lutrix.def.in); the stdcall ones are exported under their decorated names.

#include <windows.h>

#include <cstdint>

#include "utility/core/user_record.h"

#define QX_STDCALL __attribute__((stdcall))

extern "C" {

// Command queue
int32_t QX_STDCALL QX_AddToCommandQueue(int32_t type, const char* file_name);
int32_t QX_STDCALL QX_AddToCommandQueueEx(int32_t type, const char* file_name, uint32_t param1,
                                          uint32_t param2);
int32_t QX_STDCALL QX_GetNextCommand(int32_t* type, char* buffer, int32_t size);
int32_t QX_STDCALL QX_GetNextCommandEx(int32_t* type, char* buffer, int32_t size, uint32_t* param1,
                                       uint32_t* param2);

// Current-command fields
uint32_t QX_STDCALL QX_GetUserName(char* buffer, int32_t size);
void QX_STDCALL QX_SetUserName(const char* name);
uint32_t QX_STDCALL QX_GetUserID();
uint32_t QX_STDCALL QX_SetUserID(uint32_t value);
int32_t QX_STDCALL QX_GetCmdType();
int32_t QX_STDCALL QX_SetCmdType(int32_t value);
uint32_t QX_STDCALL QX_GetCmdFilename(char* buffer, int32_t size);
void QX_STDCALL QX_SetCmdFilename(const char* name);
uint32_t QX_STDCALL QX_GetCreatorId();
uint32_t QX_STDCALL QX_SetCreatorId(uint32_t value);
uint32_t QX_STDCALL QX_SetHotSyncUserId(uint32_t value);
int32_t QX_STDCALL QX_GetWaitFlag();
int32_t QX_STDCALL QX_SetWaitFlag(int32_t value);
int32_t QX_STDCALL QX_IncWaitFlag();
int32_t QX_STDCALL QX_DecWaitFlag();
uint16_t QX_STDCALL QX_GetRegisteredMsg();

// Desktop lookups
uint32_t QX_STDCALL QX_GetPalmKey(char* buffer, int32_t size);
uint32_t QX_STDCALL QX_GetQuorvixDir(char* buffer, int32_t size);
uint32_t QX_STDCALL QX_GetHotSyncDir(char* buffer, int32_t size);
uint32_t QX_STDCALL QX_GetHotSyncVersion();

// Scrambling
uint32_t QX_STDCALL QX_GenerateRandom();
uint32_t QX_STDCALL QX_SeedRandom(uint32_t seed);
uint8_t* QX_STDCALL QX_CopyRandomXOR(uint8_t* out, const uint8_t* in, uint32_t length);

// Install hand-off (C calling convention)
int32_t QX_InstallPRC(uint32_t hotsync_id, const char* path);
int32_t QX_CheckInstallPending(uint32_t hotsync_id);

// HotSync user directory (C calling convention). The pass-through arguments are the user
// manager's own; they are as wide as a pointer so a pointer survives the 64-bit build.
int32_t QX_FindFirstUser(qx::UserRecord* user, int32_t* error);
int32_t QX_FindNextUser(qx::UserRecord* user, int32_t* error);
int32_t QX_FindUserByID(uint32_t hotsync_id, qx::UserRecord* user, int32_t* error);
int32_t QX_AddUser(qx::UserRecord* user, int32_t* error);
int32_t QX_DeleteUser(uintptr_t first, uintptr_t second);
int32_t QX_RenameUser(uintptr_t first, uintptr_t second, uintptr_t third);
int32_t QX_CommitUserChanges(uintptr_t argument);
int32_t QX_AbandonUserChanges(int32_t* error);
int32_t QX_STDCALL QX_UserMaintenance();

// Progress notifications and the wait dialog
void* QX_STDCALL QX_CreateMsgTarget(HWND receiver);
void QX_STDCALL QX_DeleteMsgTarget(void* target);
int32_t QX_STDCALL QX_FlushCommandQueue(const char* caption);
int32_t QX_STDCALL QX_FlushCommandQueueEx(const char* caption, uint32_t creator_filter);

}  // extern "C"

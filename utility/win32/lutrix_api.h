#pragma once
// The functions Lutrix exports, as the library defines them. Clients bind them by their exported
// names (see lutrix.def.in); the stdcall ones are exported under their decorated names.

#include <cstdint>

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

}  // extern "C"

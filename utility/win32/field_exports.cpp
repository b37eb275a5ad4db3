// Accessors of the fields the conduit publishes about the synchronisation and its current command.
// Plain reads and writes, except the wait counter's increment and decrement, which several
// listeners in different processes may do at once.

#include <windows.h>

#include "utility/core/stored_string.h"
#include "utility/win32/lutrix_api.h"
#include "utility/win32/shared_section.h"

using namespace qx;

namespace {

SharedState& Shared() {
    return g_shared.state;
}

}  // namespace

uint32_t QX_STDCALL QX_GetUserName(char* buffer, int32_t size) {
    return GetStoredString(FieldText(Shared().user_name, kNameFieldSize), buffer, size);
}

void QX_STDCALL QX_SetUserName(const char* name) {
    SetStoredString(Shared().user_name, kNameFieldSize, name);
}

uint32_t QX_STDCALL QX_GetUserID() {
    return Shared().user_id;
}

uint32_t QX_STDCALL QX_SetUserID(uint32_t value) {
    return Shared().user_id = value;
}

int32_t QX_STDCALL QX_GetCmdType() {
    return Shared().command_type;
}

int32_t QX_STDCALL QX_SetCmdType(int32_t value) {
    return Shared().command_type = value;
}

uint32_t QX_STDCALL QX_GetCmdFilename(char* buffer, int32_t size) {
    return GetStoredString(FieldText(Shared().command_file_name, kNameFieldSize), buffer, size);
}

void QX_STDCALL QX_SetCmdFilename(const char* name) {
    SetStoredString(Shared().command_file_name, kNameFieldSize, name);
}

uint32_t QX_STDCALL QX_GetCreatorId() {
    return Shared().creator_id;
}

uint32_t QX_STDCALL QX_SetCreatorId(uint32_t value) {
    return Shared().creator_id = value;
}

uint32_t QX_STDCALL QX_SetHotSyncUserId(uint32_t value) {
    return Shared().hotsync_user_id = value;
}

int32_t QX_STDCALL QX_GetWaitFlag() {
    return Shared().wait_counter;
}

int32_t QX_STDCALL QX_SetWaitFlag(int32_t value) {
    return Shared().wait_counter = value;
}

int32_t QX_STDCALL QX_IncWaitFlag() {
    return InterlockedIncrement(reinterpret_cast<volatile LONG*>(&Shared().wait_counter));
}

int32_t QX_STDCALL QX_DecWaitFlag() {
    return InterlockedDecrement(reinterpret_cast<volatile LONG*>(&Shared().wait_counter));
}

uint16_t QX_STDCALL QX_GetRegisteredMsg() {
    return Shared().registered_message;
}

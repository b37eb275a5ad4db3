// Cmds21.dll and Cmds20.dll: the HotSync Manager's command libraries. A conduit only checks that
// one of them loads and calls nothing in it, so the stand-in is an empty library.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}

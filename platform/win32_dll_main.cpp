// The DLL entry point. Nothing happens here: the loader lock is held, and all set-up waits for
// the host's first call.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

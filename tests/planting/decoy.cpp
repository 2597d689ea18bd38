// A DLL planted beside the installer under a system library's name: when anything loads it, it
// leaves NAME.dll.loaded beside itself.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char marker[MAX_PATH + 16] = {};
    DWORD n = GetModuleFileNameA(self, marker, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    lstrcatA(marker, ".loaded");
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

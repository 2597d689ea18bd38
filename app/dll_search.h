// The first thing each of the project's programs does: DLLs loaded from then on come from the
// system directory only, never from the folder the program lies in (a download folder, %TEMP%),
// where another program may have left a file under a system library's name.
#pragma once

#include <windows.h>

inline constexpr DWORD kLoadFromSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// False when this Windows cannot restrict the search (Windows 7 has it only with KB2533623):
// looked up at run time for that reason.
inline bool RestrictDllSearchToSystem() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
                            GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    return set && set(kLoadFromSystem32);
}

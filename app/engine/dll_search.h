// The first thing each of the project's programs does: DLLs loaded from then on come from the
// system directory only, never from the folder the program lies in (a download folder, %TEMP%),
// where another program may have left a file under a system library's name.
#pragma once

#include <windows.h>

inline constexpr DWORD kLoadFromSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// How far the search could be restricted.
enum class DllSearch {
    SystemOnly,          // the system directory alone
    NoCurrentDirectory,  // the current directory is out; the program's own folder still comes first
    Unrestricted,
};

// The calls that restrict it. SetDefaultDllDirectories is missing on Vista and on Windows 7
// without KB2533623, so it is looked up at run time.
struct DllSearchCalls {
    BOOL(WINAPI* setDefaultDllDirectories)(DWORD);
    BOOL(WINAPI* setDllDirectory)(LPCWSTR);
};

inline DllSearchCalls SystemDllSearchCalls() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC setDefault = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    return {reinterpret_cast<BOOL(WINAPI*)(DWORD)>(reinterpret_cast<void*>(setDefault)),
            SetDllDirectoryW};
}

// Where SetDefaultDllDirectories is missing, SetDllDirectory("") at least takes the current
// directory (a download folder a shortcut starts in) out of the search.
inline DllSearch RestrictDllSearchToSystem(const DllSearchCalls& calls = SystemDllSearchCalls()) {
    if (calls.setDefaultDllDirectories && calls.setDefaultDllDirectories(kLoadFromSystem32))
        return DllSearch::SystemOnly;
    if (calls.setDllDirectory && calls.setDllDirectory(L"")) return DllSearch::NoCurrentDirectory;
    return DllSearch::Unrestricted;
}

#include "shell_ops.h"

#include <shlobj.h>
#include <shellapi.h>

#include <vector>

#include "com_ref.h"
#include "gbk_text.h"

namespace {

void (*g_messageBoxPreparation)() = nullptr;

BOOL CALLBACK DisableEnabledWindow(HWND hwnd, LPARAM lp) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

void OpenUrl(const char* url) {
    ShellExecuteW(nullptr, L"open", WideFromGbk(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring ChooseFolder(const char* title) {
    ComApartment apartment;
    HWND owner = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableEnabledWindow,
                      reinterpret_cast<LPARAM>(&disabled));

    wchar_t displayName[MAX_PATH] = {};
    const std::wstring wideTitle = WideFromGbk(title);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_EDITBOX;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);

    for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
    if (owner) SetForegroundWindow(owner);
    if (!chosen) return L"";
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen, path)) path[0] = L'\0';
    ComRef<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.out()))))
        allocator->Free(chosen);
    return path;
}

void SetMessageBoxPreparation(void (*prepare)()) {
    g_messageBoxPreparation = prepare;
}

int ShowMessageBox(HWND owner, const std::string& text, const char* title, UINT flags) {
    return ShowMessageBox(owner, WideFromGbk(text), title, flags);
}

int ShowMessageBox(HWND owner, const std::wstring& text, const char* title, UINT flags) {
    if (g_messageBoxPreparation) g_messageBoxPreparation();
    return MessageBoxGbk(owner, text, title, flags) - 1;
}

bool RunProgram(const std::string& path) {
    // The path goes in quotes and as the program name too: an unquoted path with spaces would let
    // CreateProcess start "C:\Program.exe" instead.
    const std::wstring program = WideFromGbk(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

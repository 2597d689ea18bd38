// What a shortcut file holds, read through the shell's link object. The caller's thread must be
// in a COM apartment.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "com_ref.h"

struct ShortcutInfo {
    bool loaded = false;
    std::wstring target;     // as the shell starts it: the link's item list
    std::wstring plainPath;  // the path the link keeps beside it
    std::wstring workingDirectory;
    int showCommand = 0;
};

inline ShortcutInfo ReadShortcut(const std::wstring& file) {
    ShortcutInfo info;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.out())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return info;
    info.loaded = true;
    wchar_t text[MAX_PATH * 2] = {};
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) {
        if (SHGetPathFromIDListW(items, text)) info.target = text;
        CoTaskMemFree(items);
    }
    text[0] = L'\0';
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) info.plainPath = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) info.workingDirectory = text;
    link->GetShowCmd(&info.showCommand);
    return info;
}

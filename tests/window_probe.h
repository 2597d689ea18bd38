// Looking at the windows of another process from outside, as the test drivers do: their texts,
// classes and owners, the visible top-level windows of one process, waits that poll, and the
// Windows form of a path given on a Unix command line. Plain Win32 and std, usable by any driver.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace window_probe_detail {

inline BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

}  // namespace window_probe_detail

// "/a/b" -> "Z:\a\b" (Wine's drive for the Unix root); a Windows path stays as it is.
inline std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// True as soon as `condition` holds, false when it still does not after `timeoutMs`.
template <typename Pred>
bool WaitFor(Pred condition, DWORD timeoutMs, DWORD pollMs = 20) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
}

inline void Pause(DWORD ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The window's text through WM_GETTEXT (GBK), as the window itself reports it; `unanswered` when
// it does not answer within `timeoutMs` (a hung window must not hang the driver).
inline std::string TextOf(HWND hwnd, const char* unanswered = "?", UINT timeoutMs = 2000) {
    DWORD_PTR length = 0;
    if (!hwnd ||
        !SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeoutMs, &length))
        return unanswered;
    // The length may be counted in characters of another code page: room for two bytes each.
    std::string text(length * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_NORMAL, timeoutMs, &copied))
        return unanswered;
    text.resize(copied);
    return text;
}

inline std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

inline DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

inline std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> found;
    EnumWindows(window_probe_detail::CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

inline std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, window_probe_detail::CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The visible top-level windows of process `pid` with the class `cls`.
inline std::vector<HWND> VisibleWindows(DWORD pid, const char* cls) {
    std::vector<HWND> found;
    for (HWND hwnd : TopLevelWindows())
        if (ProcessOf(hwnd) == pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == cls)
            found.push_back(hwnd);
    return found;
}

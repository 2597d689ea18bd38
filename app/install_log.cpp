#include "install_log.h"

#include <windows.h>

#include <cstdio>

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;

// The installer's texts are GBK; the log is UTF-8 so that any editor shows it right.
std::string Utf8FromGbk(const std::string& gbk) {
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    if (n <= 0) return gbk;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &utf8[0], m, nullptr, nullptr);
    return utf8;
}

}  // namespace

bool OpenInstallLog(const std::string& path) {
    CloseInstallLog();
    g_log = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return g_log != INVALID_HANDLE_VALUE;
}

void WriteInstallLog(const std::string& line) {
    if (g_log == INVALID_HANDLE_VALUE) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay,
             t.wHour, t.wMinute, t.wSecond);
    // Written through at once: a log read while the installation runs, or after it was ended,
    // holds every step so far.
    std::string text = stamp + Utf8FromGbk(line) + "\r\n";
    DWORD written = 0;
    WriteFile(g_log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void CloseInstallLog() {
    if (g_log != INVALID_HANDLE_VALUE) CloseHandle(g_log);
    g_log = INVALID_HANDLE_VALUE;
}

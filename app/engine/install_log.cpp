#include "install_log.h"

#include <windows.h>

#include <cstdio>

#include "gbk_text.h"
#include "handles.h"

namespace {

FileHandle g_log;

// The log is UTF-8, so that any editor shows it right.
void WriteLogLine(const std::string& utf8) {
    if (!g_log) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay,
             t.wHour, t.wMinute, t.wSecond);
    // Written through at once: a log read while the installation runs, or after it was ended,
    // holds every step so far.
    std::string text = stamp + utf8 + "\r\n";
    DWORD written = 0;
    WriteFile(g_log.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

bool OpenInstallLog(const std::wstring& path) {
    CloseInstallLog();
    g_log.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return bool(g_log);
}

void WriteInstallLog(const std::string& line) {
    WriteLogLine(Utf8FromGbk(line));
}

void WriteInstallLog(const std::wstring& line) {
    WriteLogLine(Utf8FromWide(line));
}

void CloseInstallLog() {
    g_log.reset();
}

// The plain log an administrator asks for with /LOG=file: one UTF-8 line per step of the
// installation, then its result (with the reason the wizard would show on failure).
#pragma once

#include <string>

// Starts the log in `path` (replacing an existing file); false when it cannot be written.
bool OpenInstallLog(const std::wstring& path);

// Appends one line (GBK text, or UTF-16 where it names a path of the user's) with the time; does
// nothing while no log is open.
void WriteInstallLog(const std::string& line);
void WriteInstallLog(const std::wstring& line);

void CloseInstallLog();

// The platform operations the wizard's handlers use.
#pragma once

#include <windows.h>

#include <string>

// Opens a URL with the shell ("open", SW_SHOWNORMAL); the result is not examined.
void OpenUrl(const char* url);

// Texts are GBK; they reach the system as UTF-16 (gbk_text.h).

// The folder dialog (BIF_EDITBOX, owned by the active window) with the program's other top-level
// windows disabled while it is open. Returns the chosen path as the system names it (it may hold
// characters GBK has not), or "" when cancelled.
std::wstring ChooseFolder(const char* title);

// Runs the message-box preparation step, then MessageBoxGbk; returns the system's result minus 1.
int ShowMessageBox(HWND owner, const std::string& text, const char* title, UINT flags);
// The same for a text that names a path of the user's, which GBK may not hold.
int ShowMessageBox(HWND owner, const std::wstring& text, const char* title, UINT flags);

// The step run before every message box (the skin engine installs its hook there).
void SetMessageBoxPreparation(void (*prepare)());

// Starts a program and waits up to 1000 ms for it to become idle.
bool RunProgram(const std::string& path);

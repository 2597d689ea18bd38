// Where the program's texts cross into the system. The texts are GBK (code page 936) whatever the
// system's own code page is (950, 932, 1252, UTF-8 ...), and Windows converts what an "A" function
// is given with that system code page. So every text goes to the system as UTF-16 converted here
// with 936, and every text the system hands back comes as UTF-16 and is converted here. Nothing
// in the program converts with CP_ACP.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline constexpr UINT kGbkCodePage = 936;

// GBK to UTF-16. Bytes that form no GBK character become the code page's default character.
std::wstring WideFromGbk(std::string_view gbk);

// UTF-16 to GBK; false, and `gbk` left as it was, when a character has no GBK form (a Korean
// name, an emoji). A path converted anyway would name another file: callers keep such a text
// wide or refuse it.
bool GbkFromWide(std::wstring_view wide, std::string* gbk);

// UTF-16 to GBK for showing only, never for naming a file: a character without a GBK form
// becomes '?'.
std::string GbkForDisplay(std::wstring_view wide);

std::string Utf8FromWide(std::wstring_view wide);
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromGbk(std::string_view gbk);

// A window's text as the window reports it (WM_GETTEXT as UTF-16).
std::wstring WindowTextWide(HWND hwnd);
// The same text in GBK, for showing (GbkForDisplay).
std::string WindowTextGbk(HWND hwnd);
// Sets a window's text from GBK.
bool SetWindowTextGbk(HWND hwnd, std::string_view gbk);

// A message box with GBK texts (`text` may also come as UTF-16, when it names a path of the
// user's). Its buttons are asked for in Simplified Chinese, the language of the texts, so a
// Western or Japanese system that has the words shows "确定" and not "OK" beside them.
int MessageBoxGbk(HWND owner, std::string_view text, std::string_view title, UINT flags);
int MessageBoxGbk(HWND owner, const std::wstring& text, std::string_view title, UINT flags);

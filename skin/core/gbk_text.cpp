#include "gbk_text.h"

#include <vector>

namespace {

std::wstring Decode(UINT codePage, std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], n);
    return wide;
}

// `usedDefault` (936 only: the UTF-8 conversion does not report it) hears whether a character had
// no form in the code page.
std::string Encode(UINT codePage, std::wstring_view wide, BOOL* usedDefault) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, &text[0], n, nullptr, usedDefault);
    return text;
}

}  // namespace

std::wstring WideFromGbk(std::string_view gbk) {
    return Decode(kGbkCodePage, gbk);
}

bool GbkFromWide(std::wstring_view wide, std::string* gbk) {
    BOOL usedDefault = FALSE;
    std::string text = Encode(kGbkCodePage, wide, &usedDefault);
    if (usedDefault || (text.empty() && !wide.empty())) return false;
    *gbk = std::move(text);
    return true;
}

std::string GbkForDisplay(std::wstring_view wide) {
    BOOL usedDefault = FALSE;
    return Encode(kGbkCodePage, wide, &usedDefault);
}

std::string Utf8FromWide(std::wstring_view wide) {
    return Encode(CP_UTF8, wide, nullptr);
}

std::wstring WideFromUtf8(std::string_view utf8) {
    return Decode(CP_UTF8, utf8);
}

std::string Utf8FromGbk(std::string_view gbk) {
    return Utf8FromWide(WideFromGbk(gbk));
}

std::wstring WindowTextWide(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    return std::wstring(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::string WindowTextGbk(HWND hwnd) {
    return GbkForDisplay(WindowTextWide(hwnd));
}

bool SetWindowTextGbk(HWND hwnd, std::string_view gbk) {
    return SetWindowTextW(hwnd, WideFromGbk(gbk).c_str()) != FALSE;
}

int MessageBoxGbk(HWND owner, std::string_view text, std::string_view title, UINT flags) {
    return MessageBoxGbk(owner, WideFromGbk(text), title, flags);
}

int MessageBoxGbk(HWND owner, const std::wstring& text, std::string_view title, UINT flags) {
    return MessageBoxExW(owner, text.c_str(), WideFromGbk(title).c_str(), flags,
                         MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
}

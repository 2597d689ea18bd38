#include "message_text.h"

#include <cstring>

#include "paths.h"

std::string QuotedText(const std::string& text) {
    if (text.size() <= kMaxQuotedBytes) return text;
    static const char kEllipsis[] = "…";
    const size_t room = kMaxQuotedBytes - (sizeof(kEllipsis) - 1);
    const char* p = text.c_str();
    while (*p) {
        const char* next = NextGbkChar(p);
        if (static_cast<size_t>(next - text.c_str()) > room) break;
        p = next;
    }
    return std::string(text.c_str(), p) + kEllipsis;
}

std::string FormatMessageText(const char* pattern, const std::string& text) {
    // "%s" is two characters of their own in GBK: neither '%' nor 's' after it can be part of a
    // double-byte character, since '%' is no lead byte.
    const std::string p = pattern;
    const size_t at = p.find("%s");
    if (at == std::string::npos) return p;
    return p.substr(0, at) + QuotedText(text) + p.substr(at + 2);
}

// Messages made from the installer's patterns: pure text work on GBK strings, no Win32 call.
#pragma once

#include <string>

// The longest text of the user's (a directory, an argument) a message quotes whole, in bytes.
inline constexpr size_t kMaxQuotedBytes = 320;

// `pattern` with its "%s" replaced by `text`, shortened by QuotedText. Never cut: the message is
// as long as it needs to be.
std::string FormatMessageText(const char* pattern, const std::string& text);

// `text` as a message quotes it: whole up to kMaxQuotedBytes, else its beginning up to a
// character boundary followed by "…". A GBK character is never split (a lead byte left alone
// would swallow what follows it).
std::string QuotedText(const std::string& text);

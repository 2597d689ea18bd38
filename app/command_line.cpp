#include "command_line.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

size_t SkipBlanks(const std::string& s, size_t i) {
    while (i < s.size() && IsBlank(s[i])) i++;
    return i;
}

// Whether `token` begins with the switch `name` (ASCII, any case).
bool StartsWithSwitch(const std::string& token, const char* name) {
    size_t n = strlen(name);
    if (token.size() < n) return false;
    for (size_t i = 0; i < n; i++) {
        char c = token[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != name[i]) return false;
    }
    return true;
}

// One argument from `i` on: up to the next blank outside quotes, quotes removed. GBK trail bytes
// are never blanks or quotes (they start at 0x40), so a byte walk is safe here.
std::string NextArgument(const std::string& s, size_t* i) {
    std::string arg;
    bool quoted = false;
    size_t p = *i;
    for (; p < s.size() && (quoted || !IsBlank(s[p])); p++) {
        if (s[p] == '"')
            quoted = !quoted;
        else
            arg += s[p];
    }
    *i = p;
    return arg;
}

std::string TrimBlanksAtEnd(std::string s) {
    while (!s.empty() && IsBlank(s.back())) s.pop_back();
    return s;
}

}  // namespace

std::string ArgumentsOf(const std::string& commandLine) {
    size_t i = SkipBlanks(commandLine, 0);
    NextArgument(commandLine, &i);
    return commandLine.substr(SkipBlanks(commandLine, i));
}

CommandLine ParseCommandLine(const std::string& arguments) {
    CommandLine result;
    for (size_t i = SkipBlanks(arguments, 0); i < arguments.size(); i = SkipBlanks(arguments, i)) {
        if (StartsWithSwitch(arguments.substr(i), "/D=")) {
            // The directory is everything that follows, spaces included.
            std::string dir = TrimBlanksAtEnd(arguments.substr(i + 3));
            if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"')
                dir = dir.substr(1, dir.size() - 2);
            if (dir.empty()) {
                if (result.refused.empty()) result.refused = TrimBlanksAtEnd(arguments.substr(i));
            } else {
                result.hasDirectory = true;
                result.directory = dir;
            }
            break;
        }
        size_t start = i;
        std::string arg = NextArgument(arguments, &i);
        bool understood = true;
        // Quoted as a whole, as callers that pass it as one argument quote a path with spaces,
        // it ends at its closing quote like any other argument.
        if (StartsWithSwitch(arg, "/D=") && arg.size() > 3) {
            result.hasDirectory = true;
            result.directory = arg.substr(3);
        } else if (StartsWithSwitch(arg, "/S") && arg.size() == 2) {
            result.silent = true;
        } else if (arg == "/?") {
            result.help = true;
        } else if (StartsWithSwitch(arg, "/LOG=") && arg.size() > 5) {
            result.logFile = arg.substr(5);
        } else {
            understood = false;
        }
        if (!understood && result.refused.empty())
            result.refused = arguments.substr(start, i - start);
    }
    return result;
}

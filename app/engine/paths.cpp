#include "paths.h"

#include <cctype>
#include <vector>

#include "texts.h"

namespace {

bool IsGbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
// The second byte of a GBK character. A lead byte before anything else is no character at all:
// decoders differ on what they make of the pair, and one that takes the two bytes apart sees the
// second one, perhaps a separator, where this code saw part of a character.
bool IsGbkTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string Upper(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

bool IsDeviceName(const std::string& component) {
    // Windows treats "CON.txt" like "CON": compare the part before the first dot.
    std::string base = Upper(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* n : kNames)
        if (base == n) return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0))
        return base[3] >= '0' && base[3] <= '9';
    return false;
}

// Splits at '\' and '/' character by character, keeping empty components.
std::vector<std::string> SplitComponents(const std::string& name) {
    std::vector<std::string> parts(1);
    for (const char* p = name.c_str(); *p;) {
        const char* next = NextGbkChar(p);
        if (next - p == 1 && IsSeparator(*p))
            parts.emplace_back();
        else
            parts.back().append(p, next);
        p = next;
    }
    return parts;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

const char* NextGbkChar(const char* p) {
    if (!*p) return p;
    if (IsGbkLead(static_cast<unsigned char>(p[0])) && p[1]) return p + 2;
    return p + 1;
}

bool EndsWithSeparator(const std::string& path) {
    const char* last = nullptr;
    for (const char* p = path.c_str(); *p; p = NextGbkChar(p)) last = p;
    return last && NextGbkChar(last) - last == 1 && IsSeparator(*last);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || EndsWithSeparator(dir)) return dir + name;
    return dir + "\\" + name;
}

std::string ToBackslashes(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (const char* p = name.c_str(); *p;) {
        const char* next = NextGbkChar(p);
        if (next - p == 1 && *p == '/')
            out += '\\';
        else
            out.append(p, next);
        p = next;
    }
    return out;
}

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name.size() != std::char_traits<char>::length(name.c_str())) return false;
    for (const char* p = name.c_str(); *p;) {
        const char* next = NextGbkChar(p);
        if (next - p == 1) {  // a lead byte here has lost its trail byte
            unsigned char c = static_cast<unsigned char>(*p);
            if (c < 0x20 || IsGbkLead(c) || c == ':' || c == '*' || c == '?' || c == '"' ||
                c == '<' || c == '>' || c == '|')
                return false;
        } else if (!IsGbkTrail(static_cast<unsigned char>(p[1]))) {
            return false;
        }
        p = next;
    }
    std::vector<std::string> parts = SplitComponents(name);
    // A directory entry ends in a separator: its last component is the only empty one allowed.
    if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
    for (const std::string& part : parts) {
        if (part.empty() || part.back() == '.' || part.back() == ' ') return false;
        if (IsDeviceName(part)) return false;
    }
    return true;
}

std::string ParentPath(const std::string& path) {
    size_t cut = std::string::npos;
    for (const char* p = path.c_str(); *p;) {
        const char* next = NextGbkChar(p);
        if (next - p == 1 && IsSeparator(*p)) cut = static_cast<size_t>(p - path.c_str());
        p = next;
    }
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string NormalisePath(const std::string& path) {
    // The root keeps its own form; only the components after it are rewritten. The root is ASCII,
    // so the text after it starts on a character boundary.
    std::string root;
    size_t fixed = 0;  // the server and share of a UNC path, never taken back by ".."
    if (path.size() >= 2 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        root = path.substr(0, 2);
        if (path.size() > 2 && IsSeparator(path[2])) root += '\\';
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        root = "\\\\";
        fixed = 2;
    } else if (!path.empty() && IsSeparator(path[0])) {
        root = "\\";
    }
    std::vector<std::string> kept;
    for (const std::string& part : SplitComponents(path.substr(root.size()))) {
        if (part.empty() || part == ".") continue;
        if (part != "..") {
            kept.push_back(part);
        } else if (kept.size() > fixed && kept.back() != "..") {
            kept.pop_back();
        } else if (root.empty()) {
            kept.push_back(part);  // a relative text keeps what lies above its start
        }
    }
    std::string out = root;
    for (size_t i = 0; i < kept.size(); i++) out += (i ? "\\" : "") + kept[i];
    return out;
}

bool PathsEqual(const std::string& a, const std::string& b) {
    const std::string x = NormalisePath(a), y = NormalisePath(b);
    if (x.size() != y.size()) return false;
    for (const char *p = x.c_str(), *q = y.c_str(); *p;) {
        const char* nextP = NextGbkChar(p);
        const char* nextQ = NextGbkChar(q);
        if (nextP - p != nextQ - q) return false;
        bool same =
            nextP - p == 1 ? AsciiLower(*p) == AsciiLower(*q) : p[0] == q[0] && p[1] == q[1];
        if (!same) return false;
        p = nextP;
        q = nextQ;
    }
    return true;
}

bool IsAbsoluteDirectory(const std::string& dir) {
    if (dir.size() >= 3 && isalpha(static_cast<unsigned char>(dir[0])) && dir[1] == ':' &&
        IsSeparator(dir[2]))
        return true;
    return dir.size() >= 3 && IsSeparator(dir[0]) && IsSeparator(dir[1]) && !IsSeparator(dir[2]);
}

std::string ProductDirectory(const std::string& dirText) {
    return dirText + kProductSubdir;
}
std::string TemporaryArchivePath(const std::string& dirText) {
    return ProductDirectory(dirText) + "\\" + kTemporaryArchiveName;
}
std::string ProgramPath(const std::string& dirText) {
    return ProductDirectory(dirText) + "\\" + kProgramFileName;
}
std::string ShortcutPath(const std::string& desktopDir) {
    return desktopDir + kShortcutName;
}

std::string LinkFileName(const std::string& linkPath) {
    std::string parent = ParentPath(linkPath);
    std::string leaf = linkPath.substr(parent.empty() ? 0 : parent.size() + 1);
    return leaf.find('.') == std::string::npos ? linkPath + ".lnk" : linkPath;
}

std::string ReinstallDirectory(const std::string& installLocation) {
    if (!IsAbsoluteDirectory(installLocation)) return "";
    std::string location = NormalisePath(installLocation);
    std::string parent = ParentPath(location);
    if (parent.empty() || !PathsEqual(ProductDirectory(parent), location)) return "";
    // "D:" alone would name the current directory of drive D, not its root.
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    return parent;
}

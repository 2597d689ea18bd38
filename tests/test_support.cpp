#include "test_support.h"

#include <windows.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

TempDir::TempDir() {
    static int counter = 0;
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    for (;;) {
        path_ = std::string(base) + "qltest-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

namespace {

void Walk(const std::string& dir, const std::string& prefix, std::vector<std::string>* out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out->push_back(prefix + name + "\\");
            Walk(dir + "\\" + name, prefix + name + "\\", out);
        } else {
            out->push_back(prefix + name);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::string RawDeflate(const std::string& data) {
    z_stream s;
    memset(&s, 0, sizeof(s));
    deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

}  // namespace

void RemoveTree(const std::string& path) {
    std::vector<std::string> items;
    Walk(path, "", &items);
    std::reverse(items.begin(), items.end());  // children before their directories
    for (const std::string& item : items) {
        std::string full = path + "\\" + item;
        if (item.back() == '\\') {
            full.pop_back();
            RemoveDirectoryA(full.c_str());
        } else {
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(full.c_str());
        }
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
}

std::vector<std::string> ListTree(const std::string& dir) {
    std::vector<std::string> items;
    Walk(dir, "", &items);
    std::sort(items.begin(), items.end());
    return items;
}

bool WriteText(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
    return static_cast<bool>(out);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool TruncateFile(const std::string& path, int64_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER pos;
    pos.QuadPart = size;
    bool ok = SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

bool WriteZip(const std::string& path, const std::vector<ZipEntrySpec>& entries) {
    zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    bool ok = true;
    for (const ZipEntrySpec& e : entries) {
        zip_fileinfo info;
        memset(&info, 0, sizeof(info));
        info.external_fa = e.directory ? 0x10 : 0x20;
        if (e.wrongCrc) {
            std::string raw = RawDeflate(e.data);
            uLong crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                              static_cast<uInt>(e.data.size()));
            ok = ok &&
                 zipOpenNewFileInZip2(zf, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, 6, 1) == ZIP_OK &&
                 zipWriteInFileInZip(zf, raw.data(), static_cast<unsigned>(raw.size())) == ZIP_OK &&
                 zipCloseFileInZipRaw(zf, static_cast<uLong>(e.data.size()), crc ^ 0x5A5A5A5A) ==
                     ZIP_OK;
        } else {
            const uLong flags = e.utf8Name ? 0x800 : 0;
            ok = ok &&
                 zipOpenNewFileInZip4(zf, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, 6, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                      Z_DEFAULT_STRATEGY, nullptr, 0, 0, flags) == ZIP_OK &&
                 zipWriteInFileInZip(zf, e.data.data(), static_cast<unsigned>(e.data.size())) ==
                     ZIP_OK &&
                 zipCloseFileInZip(zf) == ZIP_OK;
        }
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

namespace {

std::wstring WideFrom(const std::string& text, UINT codePage) {
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string NarrowFrom(const std::wstring& wide, UINT codePage) {
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n,
                            nullptr, nullptr);
    return text;
}

std::string Excerpt(const std::wstring& text, size_t at) {
    constexpr size_t kBefore = 8, kLength = 24;
    size_t start = at > kBefore ? at - kBefore : 0;
    std::string shown = start > 0 ? "..." : "";
    for (char c : NarrowFrom(text.substr(start, kLength), CP_UTF8))
        shown += c == '\r'   ? std::string("\\r")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    return shown + (start + kLength < text.size() ? "..." : "");
}

}  // namespace

std::string FirstDifference(const std::string& shown, const std::string& expected) {
    if (shown == expected) return "";
    std::wstring a = WideFrom(shown, CP_UTF8), b = WideFrom(expected, CP_UTF8);
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return "first difference at character " + std::to_string(at) + ": shown \"" + Excerpt(a, at) +
           "\", expected \"" + Excerpt(b, at) + "\"";
}

std::string Utf8(const std::string& gbk) {
    return NarrowFrom(WideFrom(gbk, 936), CP_UTF8);
}

std::string Gbk(const std::string& utf8) {
    return NarrowFrom(WideFrom(utf8, CP_UTF8), 936);
}

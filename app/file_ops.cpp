#include "file_ops.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "com_ref.h"
#include "paths.h"

namespace {

DWORD Attributes(const std::string& path) {
    if (path.empty() || path.size() > kMaxAnsiPath) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(path.c_str());
}

bool FitsAnsiLimit(const std::string& path) {
    if (path.size() <= kMaxAnsiPath) return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

// Where a path's own directories begin: after "X:\" or after "\\server\share\".
size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 ? 3 : 2;
    if (path.compare(0, 2, "\\\\") == 0) {
        int separators = 0;
        for (const char* p = path.c_str() + 2; *p; p = NextGbkChar(p)) {
            if (*p == '\\' && ++separators == 2) return static_cast<size_t>(p - path.c_str()) + 1;
        }
        return path.size();
    }
    return 0;
}

}  // namespace

bool FileExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryLevel(const std::string& path) {
    return !path.empty() && FitsAnsiLimit(path) && CreateDirectoryA(path.c_str(), nullptr);
}

bool CreateDirectoryTree(const std::string& path, std::vector<std::string>* created) {
    if (path.empty() || !FitsAnsiLimit(path)) return false;
    // Each prefix ending before a separator (and the whole path) is one level to make.
    std::string prefix;
    size_t root = RootLength(path);
    for (const char* p = path.c_str();; p = NextGbkChar(p)) {
        bool atEnd = *p == '\0';
        bool atSeparator = !atEnd && NextGbkChar(p) - p == 1 && (*p == '\\' || *p == '/');
        size_t len = static_cast<size_t>(p - path.c_str());
        if ((atEnd || atSeparator) && len > root) {
            prefix.assign(path, 0, len);
            if (!DirectoryExists(prefix)) {
                if (!CreateDirectoryA(prefix.c_str(), nullptr)) return false;
                if (created) created->push_back(prefix);
            }
        }
        if (atEnd) break;
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const void* data, size_t size,
                    const std::function<bool(uint64_t)>& progress) {
    if (path.empty() || !FitsAnsiLimit(path)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    constexpr size_t kChunk = 1u << 20;
    const char* p = static_cast<const char*>(data);
    uint64_t written = 0;
    bool ok = true;
    while (ok && written < size) {
        DWORD chunk = static_cast<DWORD>(size - written < kChunk ? size - written : kChunk);
        DWORD done = 0;
        ok = WriteFile(file, p + written, chunk, &done, nullptr) && done == chunk;
        written += done;
        if (ok && progress) ok = progress(written);
    }
    ok = CloseHandle(file) && ok;
    return ok;
}

bool IsFileInUse(const std::string& path) {
    if (path.empty() || !FitsAnsiLimit(path)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool CanCreateFilesIn(const std::string& dir) {
    std::string probe = JoinPath(dir, "~qinglan-" + std::to_string(GetCurrentProcessId()) + ".tmp");
    if (!FitsAnsiLimit(probe)) return false;
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool FreeBytesFor(const std::string& dir, uint64_t* bytes) {
    ULARGE_INTEGER available;
    std::string path = EndsWithSeparator(dir) ? dir : dir + "\\";
    if (!FitsAnsiLimit(path) || !GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
        return false;
    *bytes = available.QuadPart;
    return true;
}

bool DeleteFilePath(const std::string& path) {
    return !path.empty() && FitsAnsiLimit(path) && DeleteFileA(path.c_str());
}

std::string DesktopDirectory() {
    char buf[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buf, CSIDL_DESKTOPDIRECTORY, FALSE) || !buf[0]) return "";
    std::string dir = buf;
    if (!EndsWithSeparator(dir)) dir += '\\';
    return dir;
}

bool CreateShortcut(const std::string& linkPath, const std::string& targetPath) {
    std::string file = LinkFileName(linkPath);
    if (!FitsAnsiLimit(file) || !FitsAnsiLimit(targetPath)) return false;
    wchar_t wide[MAX_PATH + 1] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH + 1)) return false;

    ComApartment apartment;
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return false;
    if (FAILED(link->SetPath(targetPath.c_str())) || FAILED(link->SetShowCmd(SW_SHOW)))
        return false;
    ComRef<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.out()))) return false;
    return SUCCEEDED(persist->Save(wide, TRUE));
}

void LoadShellLinkMachinery() {
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return;
    ComRef<IPersistFile> persist;
    link->QueryInterface(IID_IPersistFile, persist.out());
}

void InstallJournal::AddDirectories(const std::vector<std::string>& paths) {
    dirs_.insert(dirs_.end(), paths.begin(), paths.end());
}

void InstallJournal::Rollback() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
        SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(it->c_str());
    }
    // RemoveDirectoryA only removes empty directories: whatever else is in them stays.
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryA(it->c_str());
    files_.clear();
    dirs_.clear();
}

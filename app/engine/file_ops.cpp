#include "file_ops.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "com_ref.h"
#include "gbk_text.h"
#include "paths.h"
#include "texts.h"

namespace {

DWORD Attributes(const std::string& path) {
    if (path.empty() || path.size() > kMaxAnsiPath) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(WideFromGbk(path).c_str());
}

DWORD Attributes(const std::wstring& path) {
    if (path.empty() || path.size() >= MAX_PATH) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(path.c_str());
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

bool FileExists(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryLevel(const std::string& path) {
    return !path.empty() && FitsAnsiLimit(path) &&
           CreateDirectoryW(WideFromGbk(path).c_str(), nullptr);
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
                if (!CreateDirectoryW(WideFromGbk(prefix).c_str(), nullptr)) return false;
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
    HANDLE file = CreateFileW(WideFromGbk(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    HANDLE file = CreateFileW(WideFromGbk(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
    HANDLE file = CreateFileW(WideFromGbk(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool FreeBytesFor(const std::string& dir, uint64_t* bytes) {
    ULARGE_INTEGER available;
    std::string path = EndsWithSeparator(dir) ? dir : dir + "\\";
    if (!FitsAnsiLimit(path) ||
        !GetDiskFreeSpaceExW(WideFromGbk(path).c_str(), &available, nullptr, nullptr))
        return false;
    *bytes = available.QuadPart;
    return true;
}

bool DeleteFilePath(const std::string& path) {
    return !path.empty() && FitsAnsiLimit(path) && DeleteFileW(WideFromGbk(path).c_str());
}

bool DeleteFilePath(const std::wstring& path) {
    return !path.empty() && DeleteFileW(path.c_str());
}

std::wstring DesktopDirectory() {
    wchar_t buf[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buf, CSIDL_DESKTOPDIRECTORY, FALSE) || !buf[0])
        return L"";
    std::wstring dir = buf;
    if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    return dir;
}

std::wstring ShortcutFile(const std::wstring& desktopDir) {
    if (desktopDir.empty()) return L"";
    return desktopDir + WideFromGbk(kShortcutName) + L".lnk";
}

bool CreateShortcut(const std::wstring& linkFile, const std::string& targetPath) {
    if (linkFile.empty() || linkFile.size() >= MAX_PATH || !FitsAnsiLimit(targetPath)) return false;
    const std::wstring target = WideFromGbk(targetPath);
    const std::wstring workingDir = WideFromGbk(ParentPath(NormalisePath(targetPath)));

    ComApartment apartment;
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out())))
        return false;
    // The program starts in its own directory, beside the libraries it loads.
    if (FAILED(link->SetPath(target.c_str())) ||
        FAILED(link->SetWorkingDirectory(workingDir.c_str())) || FAILED(link->SetShowCmd(SW_SHOW)))
        return false;
    ComRef<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.out()))) return false;
    return SUCCEEDED(persist->Save(linkFile.c_str(), TRUE));
}

std::wstring ShortcutTarget(const std::wstring& linkFile) {
    ComApartment apartment;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.out())) ||
        FAILED(persist->Load(linkFile.c_str(), STGM_READ)))
        return L"";
    // The item list first: it is what the shell starts, and it names the target in UTF-16 (a link
    // may keep its plain path in the code page of the system that wrote it, as Wine's do).
    wchar_t target[MAX_PATH + 1] = {};
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) {
        const bool named = SHGetPathFromIDListW(items, target);
        CoTaskMemFree(items);
        if (named && target[0]) return target;
    }
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return L"";
    return target;
}

void LoadShellLinkMachinery() {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out())))
        return;
    ComRef<IPersistFile> persist;
    link->QueryInterface(IID_IPersistFile, persist.out());
}

void InstallJournal::AddFile(const std::string& path) {
    files_.push_back(WideFromGbk(path));
}

void InstallJournal::AddDirectory(const std::string& path) {
    dirs_.push_back(WideFromGbk(path));
}

void InstallJournal::AddDirectories(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) AddDirectory(path);
}

void InstallJournal::Rollback() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
        SetFileAttributesW(it->c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(it->c_str());
    }
    // RemoveDirectory only removes empty directories: whatever else is in them stays.
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryW(it->c_str());
    files_.clear();
    dirs_.clear();
}

// File operations of the installation, each reporting whether it worked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Paths are GBK texts (converted with code page 936 for the system), or UTF-16 where they come
// from the system and may hold characters GBK has not (the user's desktop).
bool FileExists(const std::string& path);  // an existing file (not a directory)
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::string& path);  // an existing directory

// One directory level; fails when the parent is missing or the directory already exists.
bool CreateDirectoryLevel(const std::string& path);

// Creates `path` and every missing parent. Levels made here are recorded in `created`.
bool CreateDirectoryTree(const std::string& path, std::vector<std::string>* created);

// Creates or truncates the file (no sharing) and writes all bytes; an empty path fails at once.
// `progress` (optional) hears the bytes written after every chunk and may stop the write by
// returning false, which fails it.
bool WriteFileBytes(const std::string& path, const void* data, size_t size,
                    const std::function<bool(uint64_t)>& progress = {});

// Whether another program holds the existing file `path` open so that it cannot be replaced: an
// open for writing without sharing is refused (a running program's own file is). Opening changes
// nothing; a missing file, or a read-only one, is not in use.
bool IsFileInUse(const std::string& path);

// Whether a file can be created in `dir` (tried with a temporary file that is gone at once).
bool CanCreateFilesIn(const std::string& dir);

// The bytes the current user may still write on the volume of `dir`; false when unknown.
bool FreeBytesFor(const std::string& dir, uint64_t* bytes);

bool DeleteFilePath(const std::string& path);
bool DeleteFilePath(const std::wstring& path);

// The user's desktop directory ending in "\", or "" when it cannot be found. UTF-16: a user
// name may hold characters GBK has not.
std::wstring DesktopDirectory();

// The product's shortcut file on `desktopDir` ("青岚笺语写作.lnk"); "" for an empty directory.
std::wstring ShortcutFile(const std::wstring& desktopDir);

// Saves a shell link as `linkFile` that starts `targetPath` (shown with SW_SHOW) in the target's
// own directory.
bool CreateShortcut(const std::wstring& linkFile, const std::string& targetPath);

// The target of a shell link as the shell starts it, "" when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& linkFile);

// Makes one shell link object in the calling thread's apartment and lets it go: the first one of
// a process loads the shell-link machinery (about half a second under Wine), later ones are
// quick. Writes nothing.
void LoadShellLinkMachinery();

// The file-system calls of the checks an installation makes before it writes anything, behind
// one interface so a test can play rules Wine does not enforce: on a Windows system drive an
// ordinary user may make folders in the root but no files.
class TargetFileSystem {
  public:
    virtual ~TargetFileSystem() = default;
    virtual bool FileExists(const std::string& path) { return ::FileExists(path); }
    virtual bool DirectoryExists(const std::string& path) { return ::DirectoryExists(path); }
    virtual bool CreateDirectoryLevel(const std::string& path) {
        return ::CreateDirectoryLevel(path);
    }
    virtual bool CanCreateFilesIn(const std::string& dir) { return ::CanCreateFilesIn(dir); }
    virtual bool IsFileInUse(const std::string& path) { return ::IsFileInUse(path); }
    virtual bool FreeBytesFor(const std::string& dir, uint64_t* bytes) {
        return ::FreeBytesFor(dir, bytes);
    }
};

// What one installation run created, so a failed run can take it back. Files and directories
// that existed before the run are never recorded, so they are never removed.
class InstallJournal {
  public:
    void AddFile(const std::string& path);
    void AddFile(const std::wstring& path) { files_.push_back(path); }
    void AddDirectory(const std::string& path);
    void AddDirectories(const std::vector<std::string>& paths);
    // Deletes the recorded files, then removes the recorded directories that are empty, newest
    // first.
    void Rollback();
    const std::vector<std::wstring>& files() const { return files_; }
    const std::vector<std::wstring>& directories() const { return dirs_; }

  private:
    std::vector<std::wstring> files_;
    std::vector<std::wstring> dirs_;
};

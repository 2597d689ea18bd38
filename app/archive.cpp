#include "archive.h"

#include <windows.h>
#include <unzip.h>
// After unzip.h, which brings the zlib declarations it needs.
#include <iowin32.h>

#include <memory>
#include <vector>

#include "file_ops.h"
#include "paths.h"

namespace {

constexpr uLong kAttributeDirectory = 0x10;
constexpr size_t kChunk = 256 * 1024;

struct UnzipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};
using UnzipHandle = std::unique_ptr<void, UnzipCloser>;

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool Close() {
        if (!valid()) return true;
        bool ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

struct Entry {
    std::string name;
    unz_file_info64 info;
};

int Fail(ExtractResult* result, ExtractError error, const std::string& entry = "",
         const std::string& path = "") {
    if (result) *result = ExtractResult{error, entry, path};
    return error == ExtractError::BadArguments ? -1 : 0;
}

bool ReadCurrentEntry(unzFile zip, Entry* entry) {
    if (unzGetCurrentFileInfo64(zip, &entry->info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    std::vector<char> name(entry->info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &entry->info, name.data(), static_cast<uLong>(name.size()),
                                nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    entry->name.assign(name.data(), entry->info.size_filename);
    return true;
}

bool IsDirectoryEntry(const Entry& e) {
    return (e.info.external_fa & kAttributeDirectory) || EndsWithSeparator(e.name);
}

// Writes the current entry's inflated bytes to `file`, checking length and CRC.
ExtractError InflateTo(unzFile zip, HANDLE file, const Entry& entry, std::vector<char>* buffer,
                       uint64_t* done, const ExtractProgress& progress) {
    if (unzOpenCurrentFile(zip) != UNZ_OK) return ExtractError::CorruptData;
    uint64_t total = 0;
    ExtractError error = ExtractError::None;
    for (;;) {
        int n = unzReadCurrentFile(zip, buffer->data(), static_cast<unsigned>(buffer->size()));
        if (n < 0) {
            error = ExtractError::CorruptData;
            break;
        }
        if (n == 0) break;
        DWORD written = 0;
        if (!WriteFile(file, buffer->data(), static_cast<DWORD>(n), &written, nullptr) ||
            written != static_cast<DWORD>(n)) {
            error = ExtractError::WriteFailed;
            break;
        }
        total += static_cast<uint64_t>(n);
        *done += static_cast<uint64_t>(n);
        if (progress && !progress(*done)) {
            error = ExtractError::Cancelled;
            break;
        }
    }
    // Closing checks the CRC once the whole entry has been read.
    int closed = unzCloseCurrentFile(zip);
    if (error == ExtractError::None && (closed != UNZ_OK || total != entry.info.uncompressed_size))
        error = ExtractError::CorruptData;
    return error;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                   ExtractResult* result, InstallJournal* journal,
                   const ExtractProgress& progress) {
    if (archivePath.empty() || targetDir.empty() || !FileExists(archivePath))
        return Fail(result, ExtractError::BadArguments, "", archivePath);

    zlib_filefunc64_def io;
    fill_win32_filefunc64A(&io);
    UnzipHandle zip(unzOpen2_64(archivePath.c_str(), &io));
    if (!zip) return Fail(result, ExtractError::OpenFailed, "", archivePath);

    // First pass: read the whole directory and check every name before anything is written.
    std::vector<Entry> entries;
    int rc = unzGoToFirstFile(zip.get());
    while (rc == UNZ_OK) {
        Entry entry;
        if (!ReadCurrentEntry(zip.get(), &entry)) return Fail(result, ExtractError::Damaged);
        if (!IsSafeEntryName(entry.name)) return Fail(result, ExtractError::Damaged, entry.name);
        bool encrypted = entry.info.flag & 1;
        bool supported =
            entry.info.compression_method == 0 || entry.info.compression_method == Z_DEFLATED;
        if (!IsDirectoryEntry(entry) && (encrypted || !supported))
            return Fail(result, ExtractError::Damaged, entry.name);
        std::string out = JoinPath(targetDir, ToBackslashes(entry.name));
        if (out.size() > kMaxAnsiPath)
            return Fail(result, ExtractError::PathTooLong, entry.name, out);
        entries.push_back(std::move(entry));
        rc = unzGoToNextFile(zip.get());
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) return Fail(result, ExtractError::Damaged);

    std::vector<std::string> createdDirs;
    bool madeTarget = CreateDirectoryTree(targetDir, &createdDirs);
    if (journal) journal->AddDirectories(createdDirs);
    if (!madeTarget) return Fail(result, ExtractError::MakeDirectory, "", targetDir);

    std::vector<char> buffer(kChunk);
    uint64_t done = 0;
    rc = unzGoToFirstFile(zip.get());
    for (const Entry& entry : entries) {
        if (rc != UNZ_OK) return Fail(result, ExtractError::Damaged, entry.name);
        std::string out = JoinPath(targetDir, ToBackslashes(entry.name));
        std::string dir = IsDirectoryEntry(entry) ? out : ParentPath(out);
        createdDirs.clear();
        bool madeDir = CreateDirectoryTree(dir, &createdDirs);
        if (journal) journal->AddDirectories(createdDirs);
        if (!madeDir) return Fail(result, ExtractError::MakeDirectory, entry.name, dir);
        if (!IsDirectoryEntry(entry)) {
            bool existed = FileExists(out);
            if (existed) SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_NORMAL);
            FileHandle file(CreateFileA(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.valid()) return Fail(result, ExtractError::WriteFailed, entry.name, out);
            if (!existed && journal) journal->AddFile(out);
            ExtractError error = InflateTo(zip.get(), file.get(), entry, &buffer, &done, progress);
            if (!file.Close() && error == ExtractError::None) error = ExtractError::WriteFailed;
            if (error != ExtractError::None) {
                // A half-written file is worse than none.
                if (!existed) DeleteFileA(out.c_str());
                return Fail(result, error, entry.name, out);
            }
            SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        rc = unzGoToNextFile(zip.get());
    }
    if (result) *result = ExtractResult{};
    return 1;
}

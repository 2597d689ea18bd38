#include "archive.h"

#include <windows.h>
#include <unzip.h>
// After unzip.h, which brings the zlib declarations it needs.
#include <iowin32.h>

#include <memory>
#include <vector>

#include "archive_reader.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "handles.h"
#include "paths.h"

namespace {

constexpr size_t kChunk = 256 * 1024;

struct UnzipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};
using UnzipHandle = std::unique_ptr<void, UnzipCloser>;

bool GbkFromUtf8(const std::string& utf8, std::string* gbk) {
    // Bytes that are no UTF-8 become U+FFFD, which GBK has not: such a name is refused too.
    return GbkFromWide(WideFromUtf8(utf8), gbk);
}

int Fail(ExtractResult* result, ExtractError error, const std::string& entry = "",
         const std::string& path = "") {
    if (result) *result = ExtractResult{error, entry, path};
    return error == ExtractError::BadArguments ? -1 : 0;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                   ExtractResult* result, InstallJournal* journal,
                   const ExtractProgress& progress) {
    if (archivePath.empty() || targetDir.empty() || !FileExists(archivePath))
        return Fail(result, ExtractError::BadArguments, "", archivePath);

    zlib_filefunc64_def io;
    fill_win32_filefunc64W(&io);
    const std::wstring wideArchivePath = WideFromGbk(archivePath);
    UnzipHandle zip(unzOpen2_64(wideArchivePath.c_str(), &io));
    if (!zip) return Fail(result, ExtractError::OpenFailed, "", archivePath);

    // First pass: read the whole directory and check every name before anything is written.
    std::vector<ArchiveEntry> entries;
    if (ReadArchiveEntries(zip.get(), targetDir, &entries, result, GbkFromUtf8) !=
        ExtractError::None)
        return 0;  // `result` tells which entry and why

    std::vector<std::string> createdDirs;
    bool madeTarget = CreateDirectoryTree(targetDir, &createdDirs);
    if (journal) journal->AddDirectories(createdDirs);
    if (!madeTarget) return Fail(result, ExtractError::MakeDirectory, "", targetDir);

    std::vector<char> buffer(kChunk);
    uint64_t done = 0;
    int rc = unzGoToFirstFile(zip.get());
    for (const ArchiveEntry& entry : entries) {
        if (rc != UNZ_OK) return Fail(result, ExtractError::Damaged, entry.name);
        std::string out = JoinPath(targetDir, ToBackslashes(entry.name));
        std::string dir = entry.IsDirectory() ? out : ParentPath(out);
        createdDirs.clear();
        bool madeDir = CreateDirectoryTree(dir, &createdDirs);
        if (journal) journal->AddDirectories(createdDirs);
        if (!madeDir) return Fail(result, ExtractError::MakeDirectory, entry.name, dir);
        if (!entry.IsDirectory()) {
            bool existed = FileExists(out);
            const std::wstring wideOut = WideFromGbk(out);
            if (existed) SetFileAttributesW(wideOut.c_str(), FILE_ATTRIBUTE_NORMAL);
            FileHandle file(CreateFileW(wideOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) return Fail(result, ExtractError::WriteFailed, entry.name, out);
            if (!existed && journal) journal->AddFile(out);
            auto write = [&file](const char* data, size_t size) {
                DWORD written = 0;
                return WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
                       written == static_cast<DWORD>(size);
            };
            ExtractError error =
                InflateCurrentEntry(zip.get(), entry, &buffer, &done, write, progress);
            // A file that cannot be closed may not be on the disk whole.
            if (!CloseHandle(file.release()) && error == ExtractError::None)
                error = ExtractError::WriteFailed;
            if (error != ExtractError::None) {
                // A half-written file is worse than none.
                if (!existed) DeleteFileW(wideOut.c_str());
                return Fail(result, error, entry.name, out);
            }
            SetFileAttributesW(wideOut.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        rc = unzGoToNextFile(zip.get());
    }
    if (result) *result = ExtractResult{};
    return 1;
}

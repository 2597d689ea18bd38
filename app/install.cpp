#include "install.h"

#include <cstdio>

#include "archive.h"
#include "file_ops.h"
#include "paths.h"
#include "texts.h"

namespace {

bool g_running = false;

constexpr int kUsagePage = 4;

std::string Format(const char* pattern, const std::string& arg) {
    char buf[1024];
    snprintf(buf, sizeof(buf), pattern, arg.c_str());
    return buf;
}

void WriteInfoLines(InstallerView& view, const char* lastLine) {
    view.SetInfoText(kInstallHeader);
    for (const char* line : kInstallLines) view.AppendInfoText(line);
    view.AppendInfoText(lastLine);
}

std::string DescribeExtractFailure(const ExtractResult& r, const std::string& archive) {
    switch (r.error) {
        case ExtractError::PathTooLong:
            return Format(kFailPathTooLong, r.path);
        case ExtractError::MakeDirectory:
        case ExtractError::WriteFailed:
            return Format(kFailExtractFile, r.path);
        default:
            return Format(kFailArchiveDamaged, r.entry.empty() ? archive : r.entry);
    }
}

// Takes back what a failed run made; the temporary archive goes in any case.
std::string Undo(InstallJournal* journal, const std::string& archive, const std::string& failure) {
    DeleteFilePath(archive);
    journal->Rollback();
    return failure;
}

}  // namespace

bool IsInstallationRunning() {
    return g_running;
}

std::string InstallFiles(const std::string& dirText, const PayloadBytes& payload,
                         const std::string& desktopDir) {
    if (!IsAbsoluteDirectory(dirText)) return Format(kFailInvalidDirectory, dirText);
    const std::string product = ProductDirectory(dirText);
    const std::string archive = TemporaryArchivePath(dirText);
    const std::string program = ProgramPath(dirText);
    for (const std::string* path : {&archive, &program})
        if (path->size() > kMaxAnsiPath) return Format(kFailPathTooLong, *path);
    if (!payload.data || payload.size == 0) return kFailPayload;

    InstallJournal journal;
    if (CreateDirectoryLevel(product))
        journal.AddDirectory(product);
    else if (!DirectoryExists(product))
        return Format(kFailCreateDirectory, product);

    bool archiveExisted = FileExists(archive);
    if (!WriteFileBytes(archive, payload.data, payload.size))
        return Undo(&journal, archive, Format(kFailWriteArchive, archive));
    if (!archiveExisted) journal.AddFile(archive);

    ExtractResult extract;
    if (ExtractArchive(archive, product, &extract, &journal) != 1)
        return Undo(&journal, archive, DescribeExtractFailure(extract, archive));

    if (!DeleteFilePath(archive))
        return Undo(&journal, archive, Format(kFailDeleteArchive, archive));

    if (desktopDir.empty()) return Undo(&journal, archive, kFailDesktop);
    const std::string link = ShortcutPath(desktopDir);
    if (!CreateShortcut(link, program))
        return Undo(&journal, archive, Format(kFailShortcut, LinkFileName(link)));
    return "";
}

bool RunInstallation(InstallerView& view, const PayloadBytes& payload) {
    if (g_running) return false;
    struct RunningFlag {
        RunningFlag() { g_running = true; }
        ~RunningFlag() { g_running = false; }
    } running;

    WriteInfoLines(view, kInstallDone);
    if (!view.Pause(1000)) return false;

    std::string failure = InstallFiles(view.DirectoryText(), payload, view.DesktopDirectory());
    if (failure.empty()) {
        view.SetCurrentPage(kUsagePage);
        return true;
    }
    WriteInfoLines(view, failure.c_str());
    view.ShowInstallMessage(failure);
    return false;
}

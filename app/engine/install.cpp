#include "install.h"

#include <windows.h>

#include <cstdio>

#include "archive.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "handles.h"
#include "install_log.h"
#include "message_text.h"
#include "paths.h"
#include "payload_entries.h"
#include "texts.h"

namespace {

void (*g_stageListener)(const char*) = nullptr;

constexpr DWORD kReportInterval = 33;

// A message naming a path names it as Windows does: "D:\青岚笺语", never the "D:\\青岚笺语" that
// the file steps build from a drive root.
std::string FormatPath(const char* pattern, const std::string& path) {
    return FormatMessageText(pattern, NormalisePath(path));
}

std::string DescribeExtractFailure(const ExtractResult& r, const std::string& archive) {
    switch (r.error) {
        case ExtractError::PathTooLong:
            return FormatPath(kFailPathTooLong, r.path);
        case ExtractError::MakeDirectory:
        case ExtractError::WriteFailed:
            return FormatPath(kFailExtractFile, r.path);
        default:
            return r.entry.empty() ? FormatPath(kFailArchiveDamaged, archive)
                                   : FormatMessageText(kFailArchiveDamaged, r.entry);
    }
}

struct OffThreadJob {
    const std::function<bool()>* work;
    bool result;
};

DWORD WINAPI RunJob(void* job) {
    auto* j = static_cast<OffThreadJob*>(job);
    j->result = (*j->work)();
    return 0;
}

// Runs `work` on a worker thread and calls `whileWaiting` about every 30 ms until it is done, so
// a slow platform call (the first shell link of a process loads a good part of the shell) does
// not freeze the window.
bool RunOffThread(const std::function<bool()>& work, const std::function<void()>& whileWaiting) {
    OffThreadJob job = {&work, false};
    KernelHandle thread(CreateThread(nullptr, 0, RunJob, &job, 0, nullptr));
    if (!thread) return work();
    HANDLE waitFor = thread.get();
    while (MsgWaitForMultipleObjects(1, &waitFor, FALSE, 30, QS_ALLINPUT) != WAIT_OBJECT_0)
        whileWaiting();
    return job.result;
}

}  // namespace

void SetInstallStageListener(void (*listener)(const char*)) {
    g_stageListener = listener;
}

void InstallStageDone(const char* stage) {
    if (g_stageListener) g_stageListener(stage);
}

uint64_t SpaceNeeded(const std::string& productDir, const PayloadBytes& payload) {
    uint64_t need = payload.size;
    for (const PayloadEntry& entry : kPayloadEntries) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        std::string path = JoinPath(productDir, entry.name);
        uint64_t existing = 0;
        if (GetFileAttributesExW(WideFromGbk(path).c_str(), GetFileExInfoStandard, &data) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            existing = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        need += existing < entry.size ? entry.size - existing : 0;
    }
    return need;
}

std::string PayloadFileInUse(const std::string& productDir, TargetFileSystem* fileSystem) {
    TargetFileSystem realFileSystem;
    TargetFileSystem& fs = fileSystem ? *fileSystem : realFileSystem;
    const std::string program = JoinPath(productDir, kProgramEntry);
    if (fs.IsFileInUse(program)) return program;
    for (const PayloadEntry& entry : kPayloadEntries) {
        std::string path = JoinPath(productDir, entry.name);
        if (path != program && fs.IsFileInUse(path)) return path;
    }
    return "";
}

InstallOutcome InstallFiles(const InstallRequest& request, const PayloadBytes& payload) {
    using Kind = InstallFailure;
    const std::string& dirText = request.dirText;
    auto fail = [](Kind kind, const std::string& line) {
        return InstallOutcome{InstallOutcome::Failed, line, kind};
    };
    if (!IsAbsoluteDirectory(dirText))
        return fail(Kind::BadDirectory, FormatMessageText(kFailInvalidDirectory, dirText));
    const std::string product = ProductDirectory(dirText);
    const std::string archive = TemporaryArchivePath(dirText);
    const std::string program = ProgramPath(dirText);
    for (const std::string* path : {&archive, &program})
        if (path->size() > kMaxAnsiPath)
            return fail(Kind::BadDirectory, FormatPath(kFailPathTooLong, *path));
    if (!payload.data || payload.size == 0) return fail(Kind::Damaged, kFailPayload);

    TargetFileSystem realFileSystem;
    TargetFileSystem& fs = request.fileSystem ? *request.fileSystem : realFileSystem;
    // A running program keeps its files: found before anything is written, so an earlier
    // installation stays exactly as it is and a retry after closing the program works.
    WriteInstallLog(std::string("检查正在使用的文件：") + NormalisePath(product));
    const std::string busy = PayloadFileInUse(product, &fs);
    if (!busy.empty())
        return fail(Kind::InUse, PathsEqual(busy, program) ? std::string(kFailProgramRunning)
                                                           : FormatPath(kFailFileInUse, busy));

    InstallJournal journal;
    auto refuse = [&](Kind kind, const std::string& line) {
        journal.Rollback();
        return fail(kind, line);
    };
    // Room and write access are checked where the files will go, before any file is written. The
    // product directory is made first: an ordinary user may make folders where files are refused
    // (the root of a Windows system drive). A refusal takes the new directory back.
    WriteInstallLog(std::string("检查安装目录：") + NormalisePath(product));
    if (!fs.DirectoryExists(dirText))
        return fail(Kind::BadDirectory, FormatPath(kFailCreateDirectory, product));
    if (!fs.DirectoryExists(product)) {
        if (!fs.CreateDirectoryLevel(product))
            return fs.FileExists(product)
                       ? fail(Kind::BadDirectory, FormatPath(kFailCreateDirectory, product))
                       : fail(Kind::CannotWrite, FormatPath(kFailNotWritable, dirText));
        journal.AddDirectory(product);
    }
    if (!fs.CanCreateFilesIn(product))
        return refuse(Kind::CannotWrite, FormatPath(kFailNotWritable, dirText));
    uint64_t need = SpaceNeeded(product, payload), free = 0;
    if (fs.FreeBytesFor(product, &free) && free < need) {
        char line[512];
        snprintf(line, sizeof(line), kFailDiskSpace, need / 1048576.0, free / 1048576.0);
        return refuse(Kind::NoRoom, line);
    }

    auto undo = [&](InstallOutcome::Result result, Kind kind, const std::string& line) {
        DeleteFilePath(archive);
        journal.Rollback();
        return InstallOutcome{result, line, kind};
    };
    auto undoFailed = [&](Kind kind, const std::string& line) {
        return undo(InstallOutcome::Failed, kind, line);
    };
    const InstallOutcome cancelled{InstallOutcome::Cancelled, "", Kind::None};
    const uint64_t total = payload.size + kPayloadTotalBytes;
    bool stopped = false;
    uint64_t reported = 0;
    auto report = [&](uint64_t done) {
        reported = done;
        if (request.progress && !request.progress(done < total ? done : total, total))
            stopped = true;
        return !stopped;
    };

    WriteInstallLog(std::string("写入安装文件：") + NormalisePath(archive));
    bool archiveExisted = FileExists(archive);
    if (!archiveExisted) journal.AddFile(archive);
    if (!WriteFileBytes(archive, payload.data, payload.size, report))
        return stopped ? undo(cancelled.result, Kind::None, "")
                       : undoFailed(Kind::CannotWrite, FormatPath(kFailWriteArchive, archive));
    InstallStageDone("archive");

    WriteInstallLog(std::string("解压文件到：") + NormalisePath(product));
    ExtractResult extract;
    auto extracted = [&](uint64_t bytes) { return report(payload.size + bytes); };
    if (ExtractArchive(archive, product, &extract, &journal, extracted) != 1) {
        if (stopped) return undo(cancelled.result, Kind::None, "");
        Kind kind = extract.error == ExtractError::PathTooLong ? Kind::BadDirectory
                    : extract.error == ExtractError::MakeDirectory ||
                            extract.error == ExtractError::WriteFailed
                        ? Kind::CannotWrite
                        : Kind::Damaged;
        return undoFailed(kind, DescribeExtractFailure(extract, archive));
    }

    WriteInstallLog(std::string("删除临时文件：") + NormalisePath(archive));
    if (!DeleteFilePath(archive))
        return undoFailed(Kind::CannotWrite, FormatPath(kFailDeleteArchive, archive));
    InstallStageDone("extraction");

    if (request.desktopDir.empty()) return undoFailed(Kind::CannotWrite, kFailDesktop);
    // The desktop is the user's: its path may hold characters GBK has not, so it stays UTF-16.
    const std::wstring link = ShortcutFile(request.desktopDir);
    WriteInstallLog(WideFromGbk("创建桌面快捷方式：") + link);
    bool linkExisted = FileExists(link);
    bool linked =
        RunOffThread([&] { return CreateShortcut(link, program); }, [&] { report(reported); });
    if (!linked)
        return undoFailed(Kind::CannotWrite, FormatMessageText(kFailShortcut, GbkForDisplay(link)));
    if (!linkExisted) journal.AddFile(link);
    InstallStageDone("shortcut");

    if (!request.uninstallKey.empty()) {
        WriteInstallLog("写入卸载信息：HKEY_CURRENT_USER\\" + request.uninstallKey);
        if (!WriteUninstallEntry(request.uninstallKey, product))
            return undoFailed(Kind::CannotWrite, kFailUninstallEntry);
    }
    InstallStageDone("record");
    report(total);
    return InstallOutcome{InstallOutcome::Installed, "", Kind::None};
}

InstallOutcome Install(InstallRequest request, const PayloadBytes& payload, InstallerView* view) {
    WriteInstallLog(std::string("安装目录：") + request.dirText);
    // The window repaints and answers between chunks, about 30 times a second at most.
    DWORD lastReport = GetTickCount() - kReportInterval;
    if (view) {
        request.progress = [&](uint64_t done, uint64_t total) {
            DWORD now = GetTickCount();
            if (done < total && now - lastReport < kReportInterval) return true;
            lastReport = now;
            view->SetProgress(done, total);
            return view->KeepResponsive();
        };
    }
    InstallOutcome outcome = InstallFiles(request, payload);
    switch (outcome.result) {
        case InstallOutcome::Installed:
            WriteInstallLog("安装成功。");
            break;
        case InstallOutcome::Cancelled:  // the program is quitting
            WriteInstallLog("安装已取消，已写入的内容均已撤销。");
            break;
        case InstallOutcome::Failed:
            WriteInstallLog(outcome.failure);
            break;
    }
    return outcome;
}

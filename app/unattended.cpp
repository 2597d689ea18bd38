#include "unattended.h"

#include <windows.h>

#include <cstdio>

#include "control_ids.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "install_log.h"
#include "message_text.h"
#include "payload.h"
#include "shell_ops.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"Local\\QinglanJianyuSetup";
constexpr char kDefaultDirectory[] = "D:\\";
constexpr int kFindWizardTries = 50;  // a wizard that is still starting, 100 ms apart

// With /S nobody sees a window: a start that ends before installing says why in the log (when
// one was asked for and can be written) and ends at once with its code.
int EndUnattended(const CommandLine& options, const std::string& reason, int code) {
    StartLog(options);
    WriteInstallLog(reason);
    WriteInstallLog("退出代码：" + std::to_string(code));
    return code;
}

}  // namespace

int ExitCodeFor(InstallFailure kind) {
    switch (kind) {
        case InstallFailure::None:
            return kExitSuccess;
        case InstallFailure::BadDirectory:
            return kExitBadDirectory;
        case InstallFailure::NoRoom:
            return kExitNoRoom;
        case InstallFailure::CannotWrite:
            return kExitCannotWrite;
        case InstallFailure::Damaged:
            return kExitDamaged;
        case InstallFailure::InUse:
            return kExitInUse;
    }
    return kExitCannotWrite;
}

CommandLine ReadCommandLine(const wchar_t* commandLine) {
    // Parsed as UTF-8, which holds every character the system may pass.
    CommandLine options = ParseCommandLine(ArgumentsOf(Utf8FromWide(commandLine)));
    options.logPath = WideFromUtf8(options.logFile);
    options.logFile = GbkForDisplay(options.logPath);
    options.refused = GbkForDisplay(WideFromUtf8(options.refused));
    const std::wstring directory = WideFromUtf8(options.directory);
    options.directoryUsable = GbkFromWide(directory, &options.directory);
    if (!options.directoryUsable) options.directory = GbkForDisplay(directory);
    return options;
}

int ShowSwitches(const CommandLine& options) {
    std::string text = kCommandLineHelp;
    if (!options.refused.empty())
        text = "无法识别的参数：" + QuotedText(options.refused) + "\r\n\r\n" + text;
    const int code = options.refused.empty() ? kExitSuccess : kExitBadSwitches;
    if (options.silent) return EndUnattended(options, text, code);
    ShowMessageBox(nullptr, text, kMessageTitle,
                   MB_OK | (options.refused.empty() ? MB_ICONINFORMATION : MB_ICONERROR));
    return code;
}

bool StartLog(const CommandLine& options) {
    if (options.logPath.empty() || OpenInstallLog(options.logPath)) return true;
    if (!options.silent) {
        std::wstring text = WideFromGbk("无法写入日志文件“") + options.logPath + WideFromGbk("”。");
        ShowMessageBox(nullptr, text, kMessageTitle, MB_OK | MB_ICONERROR);
    }
    return false;
}

bool CheckDirectoryCharacters(const CommandLine& options) {
    if (!options.hasDirectory || options.directoryUsable) return true;
    const std::string text = FormatMessageText(kFailDirectoryCharacters, options.directory);
    WriteInstallLog(text);
    WriteInstallLog("退出代码：" + std::to_string(kExitBadDirectory));
    if (!options.silent) ShowMessageBox(nullptr, text, kMessageTitle, MB_OK | MB_ICONERROR);
    return false;
}

namespace {

// The installation itself; its exit code.
int InstallUnattended(const CommandLine& options) {
    PayloadBytes payload;
    if (!LoadEmbeddedPayload(&payload)) {
        WriteInstallLog(kFailPayload);
        return kExitDamaged;
    }
    // The same check as the wizard's start, reported in the log instead of a box.
    if (!PayloadIntact(payload)) {
        WriteInstallLog(kDamagedInstaller);
        return kExitDamaged;
    }
    // Without /D= the place the wizard would propose: an earlier installation is updated where
    // it is, never copied a second time into the default directory.
    std::string dir = ProposedDirectory(options);
    // Nobody watches: no progress, and the failure's reason goes to the log (Install writes it).
    InstallRequest request;
    request.dirText = dir.empty() ? kDefaultDirectory : dir;
    request.desktopDir = DesktopDirectory();
    request.uninstallKey = kUninstallKey;
    const InstallOutcome outcome = Install(request, payload);
    return outcome.result == InstallOutcome::Installed ? kExitSuccess : ExitCodeFor(outcome.kind);
}

}  // namespace

int RunUnattended(const CommandLine& options) {
    WriteInstallLog("静默安装（/S）开始。");
    const int code = InstallUnattended(options);
    WriteInstallLog("退出代码：" + std::to_string(code));
    return code;
}

std::string ProposedDirectory(const CommandLine& options) {
    return options.hasDirectory ? options.directory : ReinstallProposal(kUninstallKey);
}

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, FALSE, kInstanceMutex)) {
    first_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

int SingleInstance::HandOver(const CommandLine& options) const {
    if (options.silent)
        return EndUnattended(options, kAnotherInstallerRunning, kExitAnotherInstaller);
    HWND wizard = FindWindowW(QL_WIZARD_CLASS_W, nullptr);
    for (int i = 0; !wizard && i < kFindWizardTries; i++) {
        Sleep(100);
        wizard = FindWindowW(QL_WIZARD_CLASS_W, nullptr);
    }
    if (!wizard) return kExitAnotherInstaller;
    if (IsIconic(wizard)) ShowWindow(wizard, SW_RESTORE);
    SetForegroundWindow(wizard);
    return kExitSuccess;
}

#include "unattended.h"

#include <windows.h>

#include "control_ids.h"
#include "file_ops.h"
#include "install_log.h"
#include "payload.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

constexpr char kInstanceMutex[] = "Local\\QinglanJianyuSetup";
constexpr char kDefaultDirectory[] = "D:\\";
constexpr int kFindWizardTries = 50;  // a wizard that is still starting, 100 ms apart

// The procedure's view when nobody watches: the fixed info texts and the progress go nowhere,
// the failure reason goes to the log (RunInstallation writes it there).
class UnattendedView : public InstallerView {
  public:
    explicit UnattendedView(std::string dir) : dir_(std::move(dir)) {}
    std::string DirectoryText() override { return dir_; }
    void SetInfoText(const char*) override {}
    void AppendInfoText(const char*) override {}
    bool Pause(unsigned) override { return true; }
    void SetCurrentPage(int) override {}
    void ShowInstallMessage(const std::string&) override {}
    std::string DesktopDirectory() override { return ::DesktopDirectory(); }

  private:
    std::string dir_;
};

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

int ShowSwitches(const CommandLine& options) {
    std::string text = kCommandLineHelp;
    if (!options.refused.empty()) text = "无法识别的参数：" + options.refused + "\r\n\r\n" + text;
    MessageBoxExA(nullptr, text.c_str(), kMessageTitle,
                  MB_OK | (options.refused.empty() ? MB_ICONINFORMATION : MB_ICONERROR), 0);
    return options.refused.empty() ? kExitSuccess : kExitBadSwitches;
}

bool StartLog(const CommandLine& options) {
    if (options.logFile.empty() || OpenInstallLog(options.logFile)) return true;
    if (!options.silent) {
        std::string text = "无法写入日志文件“" + options.logFile + "”。";
        MessageBoxExA(nullptr, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR, 0);
    }
    return false;
}

int RunUnattended(const CommandLine& options) {
    WriteInstallLog("静默安装（/S）开始。");
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
    UnattendedView view(options.hasDirectory ? options.directory : kDefaultDirectory);
    InstallOutcome outcome;
    RunInstallation(view, payload, &outcome);
    int code =
        outcome.result == InstallOutcome::Installed ? kExitSuccess : ExitCodeFor(outcome.kind);
    WriteInstallLog("退出代码：" + std::to_string(code));
    return code;
}

std::string ProposedDirectory(const CommandLine& options) {
    return options.hasDirectory ? options.directory : ReinstallProposal(kUninstallKey);
}

SingleInstance::SingleInstance() {
    mutex_ = CreateMutexA(nullptr, FALSE, kInstanceMutex);
    first_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

int SingleInstance::HandOver(bool silent) const {
    if (silent) return kExitAnotherInstaller;
    HWND wizard = FindWindowA(QL_WIZARD_CLASS, nullptr);
    for (int i = 0; !wizard && i < kFindWizardTries; i++) {
        Sleep(100);
        wizard = FindWindowA(QL_WIZARD_CLASS, nullptr);
    }
    if (!wizard) return kExitAnotherInstaller;
    if (IsIconic(wizard)) ShowWindow(wizard, SW_RESTORE);
    SetForegroundWindow(wizard);
    return kExitSuccess;
}

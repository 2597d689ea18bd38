#include "install_run.h"

#include <windows.h>

#include "com_ref.h"
#include "handles.h"
#include "shell_ops.h"
#include "texts.h"

namespace {

bool g_running = false;

void WriteInfoLines(InstallPage& page, const char* lastLine) {
    page.FreezeInfo(true);
    page.SetInfoText(kInstallHeader);
    for (const char* line : kInstallLines) page.AppendInfoText(line);
    page.AppendInfoText(lastLine);
    page.FreezeInfo(false);
}

// Loads the shell-link machinery on a thread of its own while the installation pauses. The
// thread's apartment stays open until the installation ends, so what it loaded stays loaded for
// the shortcut step; no file is touched before the pause is over.
class ShellLinkPreparation {
  public:
    ShellLinkPreparation()
        : finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          thread_(finished_ ? CreateThread(nullptr, 0, Run, this, 0, nullptr) : nullptr) {}
    ~ShellLinkPreparation() {
        if (thread_) {
            SetEvent(finished_.get());
            WaitForSingleObject(thread_.get(), INFINITE);
        }
    }
    ShellLinkPreparation(const ShellLinkPreparation&) = delete;
    ShellLinkPreparation& operator=(const ShellLinkPreparation&) = delete;

  private:
    static DWORD WINAPI Run(void* self) {
        ComApartment apartment;
        LoadShellLinkMachinery();
        WaitForSingleObject(static_cast<ShellLinkPreparation*>(self)->finished_.get(), INFINITE);
        return 0;
    }
    KernelHandle finished_;
    KernelHandle thread_;
};

}  // namespace

bool IsInstallationRunning() {
    return g_running;
}

bool RunInstallation(InstallPage& page, const PayloadBytes& payload, InstallOutcome* result) {
    if (g_running) return false;
    struct RunningFlag {
        RunningFlag() { g_running = true; }
        ~RunningFlag() { g_running = false; }
    } running;
    InstallOutcome ignored{InstallOutcome::Cancelled, "", InstallFailure::None};
    InstallOutcome& outcome = result ? *result : ignored;
    outcome = ignored;

    WriteInfoLines(page, kInstallDone);
    InstallStageDone("info text");
    page.SetProgress(0, 1);
    ShellLinkPreparation shellLink;
    if (!page.Pause(1000)) return false;
    InstallStageDone("pause");

    InstallRequest request;
    request.dirText = page.DirectoryText();
    request.desktopDir = page.DesktopDirectory();
    request.uninstallKey = page.UninstallKey();
    outcome = Install(request, payload, &page);
    if (outcome.result == InstallOutcome::Installed) return true;
    page.SetProgress(0, 1);
    if (outcome.result == InstallOutcome::Failed) WriteInfoLines(page, outcome.failure.c_str());
    return false;
}

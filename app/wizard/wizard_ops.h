// Small operations on the wizard's controls used by the handlers and the installation run.
#pragma once

#include <windows.h>

#include <string>

#include "gbk_text.h"
#include "install_run.h"

void SetInfoText(HWND edit, const char* text);
// Moves the caret to the end of the edit, scrolls it into view and inserts `text` there.
void AppendInfoText(HWND edit, const char* text);

// Waits `milliseconds` by GetTickCount while dispatching the thread's messages; false when
// WM_QUIT arrived (it is posted again for the main loop).
bool PauseWithMessages(unsigned milliseconds);

// Dispatches the messages waiting now; false when WM_QUIT arrived (posted again).
bool PumpPendingMessages();

// The confirmation page's real controls as a run sees them: the directory field, the information
// box and the progress bar.
class WindowInstallPage : public InstallPage {
  public:
    WindowInstallPage(HWND directoryEdit, HWND infoEdit, HWND progressBar)
        : directory_(directoryEdit), info_(infoEdit), progress_(progressBar) {}
    std::string DirectoryText() override { return WindowTextGbk(directory_); }
    void SetInfoText(const char* text) override { ::SetInfoText(info_, text); }
    void AppendInfoText(const char* text) override { ::AppendInfoText(info_, text); }
    void FreezeInfo(bool frozen) override;
    bool Pause(unsigned milliseconds) override { return PauseWithMessages(milliseconds); }
    std::wstring DesktopDirectory() override;
    void SetProgress(uint64_t done, uint64_t total) override;
    bool KeepResponsive() override { return PumpPendingMessages(); }

  private:
    HWND directory_;
    HWND info_;
    HWND progress_;
};

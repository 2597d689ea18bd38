// Small operations on the wizard's controls used by the handlers and the installation.
#pragma once

#include <windows.h>

#include <string>

#include "gbk_text.h"
#include "install.h"

void SetInfoText(HWND edit, const char* text);
// Moves the caret to the end of the edit, scrolls it into view and inserts `text` there.
void AppendInfoText(HWND edit, const char* text);

// Waits `milliseconds` by GetTickCount while dispatching the thread's messages; false when
// WM_QUIT arrived (it is posted again for the main loop).
bool PauseWithMessages(unsigned milliseconds);

// Dispatches the messages waiting now; false when WM_QUIT arrived (posted again).
bool PumpPendingMessages();

// The installer view over real controls: the directory field, the information box, and a
// callback that switches the wizard's page.
class WindowInstallerView : public InstallerView {
  public:
    WindowInstallerView(HWND owner, HWND directoryEdit, HWND infoEdit, HWND progressBar,
                        void (*setPage)(HWND, int))
        : owner_(owner),
          directory_(directoryEdit),
          info_(infoEdit),
          progress_(progressBar),
          setPage_(setPage) {}
    std::string DirectoryText() override { return WindowTextGbk(directory_); }
    void SetInfoText(const char* text) override { ::SetInfoText(info_, text); }
    void AppendInfoText(const char* text) override { ::AppendInfoText(info_, text); }
    void FreezeInfo(bool frozen) override;
    bool Pause(unsigned milliseconds) override { return PauseWithMessages(milliseconds); }
    void SetCurrentPage(int index) override {
        if (setPage_) setPage_(owner_, index);
    }
    void ShowInstallMessage(const std::string& text) override;
    std::wstring DesktopDirectory() override;
    void SetProgress(uint64_t done, uint64_t total) override;
    bool KeepResponsive() override { return PumpPendingMessages(); }

  private:
    HWND owner_;
    HWND directory_;
    HWND info_;
    HWND progress_;
    void (*setPage_)(HWND, int);
};

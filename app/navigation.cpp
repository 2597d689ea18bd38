#include "navigation.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "control_ids.h"
#include "gbk_text.h"
#include "install.h"
#include "message_text.h"
#include "paths.h"
#include "resource_ids.h"
#include "shell_ops.h"
#include "texts.h"
#include "wizard_ops.h"
#include "wizard_texts.h"
#include "wizard_window.h"

namespace {

constexpr int kConfirmPage = 3;
constexpr int kUsagePage = 4;
constexpr unsigned kWatcherPeriod = 100;
constexpr char kEmptyDirectory[] = "安装目录不能为空，请选择安装目录~！";
constexpr char kChooseFolderTitle[] = "请选择安装目录：";
constexpr int kTutorialPictures[] = {IDR_PICTURE_TUTORIAL_1, IDR_PICTURE_TUTORIAL_2,
                                     IDR_PICTURE_TUTORIAL_3};

void SetPageOfWindow(HWND hwnd, int index) {
    if (WizardWindow* wizard = WizardWindow::FromHandle(hwnd)) wizard->SetCurrentPage(index);
}

void OnLicenceToggled(WizardWindow& w) {
    w.SetEnabled(w.controls().按钮3, w.IsChecked(w.controls().选择框1));
}

void OnChooseFolder(WizardWindow& w) {
    const std::wstring chosen = ChooseFolder(kChooseFolderTitle);
    std::string dir;
    if (!GbkFromWide(chosen, &dir)) {
        // The installer's paths cannot name this folder: the field keeps what it had.
        const std::string text = FormatMessageText(kFailDirectoryCharacters, GbkForDisplay(chosen));
        ShowMessageBox(w.hwnd(), text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
        return;
    }
    // Cancelling empties the field too: the next step then reports the empty directory.
    w.SetText(w.controls().编辑框1, dir);
}

void OnCheckDirectory(WizardWindow& w) {
    w.SetTimerPeriod(kWatcherPeriod);
    if (w.Text(w.controls().编辑框1).empty()) {
        ShowMessageBox(w.hwnd(), kEmptyDirectory, kMessageTitle, MB_OK | MB_TOPMOST);
        return;
    }
    w.SetCurrentPage(kConfirmPage);
}

void OnInstall(WizardWindow& w) {
    WindowInstallerView view(w.hwnd(), w.controls().编辑框1, w.controls().编辑框2,
                             w.controls().进度条1, SetPageOfWindow);
    RunInstallation(view, w.payload());
}

void OnTutorialStep(WizardWindow& w) {
    HWND counter = w.controls().标签2;
    w.SetText(counter, std::to_string(atoi(w.Text(counter).c_str()) + 1));
    int step = atoi(w.Text(counter).c_str());
    if (step >= 1 && step <= 3) w.SetPicture(w.controls().图片框1, kTutorialPictures[step - 1]);
    if (step > 3) w.SetCurrentPage(5);
}

void OnFinish(WizardWindow& w) {
    // The window goes at once; the program starts when it is gone.
    if (w.IsChecked(w.controls().选择框6))
        w.StartWhenGone(ProgramPath(w.Text(w.controls().编辑框1)));
    w.Destroy();
}

}  // namespace

void OnWizardCreated(WizardWindow& w) {
    if (!w.IsChecked(w.controls().选择框1)) w.SetEnabled(w.controls().按钮3, false);
}

void OnWizardClick(WizardWindow& w, int id) {
    // While the installation runs, the window keeps painting but no button starts anything.
    if (IsInstallationRunning()) return;
    switch (id) {
        case kId按钮2:
            w.SetCurrentPage(1);
            break;
        case kId按钮8:
            OpenUrl(kChatUrl);
            break;
        case kId按钮9:
            w.SetCurrentPage(0);
            break;
        case kId选择框1:
            OnLicenceToggled(w);
            break;
        case kId按钮3:
            w.SetCurrentPage(2);
            break;
        case kId按钮10:
            w.SetCurrentPage(1);
            break;
        case kId按钮4:
            OnChooseFolder(w);
            break;
        case kId按钮5:
            OnCheckDirectory(w);
            break;
        case kId按钮11:
            w.SetCurrentPage(2);
            break;
        case kId按钮6:
            OnInstall(w);
            break;
        case kId按钮12:
            OnTutorialStep(w);
            break;
        case kId按钮7:
            OnFinish(w);
            break;
        case kId按钮1:
            w.Destroy();
            break;
    }
}

void OnWizardTimer(WizardWindow& w) {
    w.SetVisible(w.controls().按钮1, w.CurrentPage() != kConfirmPage);
    if (w.CurrentPage() == kUsagePage) {
        w.SetTimerPeriod(0);
        w.SetVisible(w.controls().按钮1, false);
    }
}

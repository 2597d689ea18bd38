#include "navigation.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "control_ids.h"
#include "gbk_text.h"
#include "install_run.h"
#include "message_text.h"
#include "paths.h"
#include "resource_ids.h"
#include "shell_ops.h"
#include "texts.h"
#include "wizard_ops.h"
#include "wizard_texts.h"

namespace {

constexpr unsigned kWatcherPeriod = 100;
constexpr char kEmptyDirectory[] = "安装目录不能为空，请选择安装目录~！";
constexpr char kChooseFolderTitle[] = "请选择安装目录：";
constexpr int kTutorialPictures[] = {IDR_PICTURE_TUTORIAL_1, IDR_PICTURE_TUTORIAL_2,
                                     IDR_PICTURE_TUTORIAL_3};

void OnLicenceToggled(WizardHost& w) {
    w.SetEnabled(w.controls().按钮3, w.IsChecked(w.controls().选择框1));
}

void OnChooseFolder(WizardHost& w) {
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

void OnCheckDirectory(WizardHost& w) {
    w.SetTimerPeriod(kWatcherPeriod);
    if (w.Text(w.controls().编辑框1).empty()) {
        ShowMessageBox(w.hwnd(), kEmptyDirectory, kMessageTitle, MB_OK | MB_TOPMOST);
        return;
    }
    w.SetCurrentPage(kConfirmPage);
}

void OnInstall(WizardHost& w) {
    WindowInstallPage page(w.controls().编辑框1, w.controls().编辑框2, w.controls().进度条1);
    InstallOutcome outcome{InstallOutcome::Cancelled, "", InstallFailure::None};
    RunInstallation(page, w.payload(), &outcome);
    const InstallEnding ending = EndingOf(outcome);
    if (ending.page) {
        w.SetCurrentPage(*ending.page);
        InstallStageDone("page switch");
    }
    if (!ending.message.empty())
        ShowMessageBox(w.hwnd(), ending.message.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
}

void OnTutorialStep(WizardHost& w) {
    HWND counter = w.controls().标签2;
    w.SetText(counter, std::to_string(atoi(w.Text(counter).c_str()) + 1));
    int step = atoi(w.Text(counter).c_str());
    if (step >= 1 && step <= 3) w.SetPicture(w.controls().图片框1, kTutorialPictures[step - 1]);
    if (step > 3) w.SetCurrentPage(kFinishPage);
}

void OnFinish(WizardHost& w) {
    // The window goes at once; the program starts when it is gone.
    if (w.IsChecked(w.controls().选择框6))
        w.StartWhenGone(ProgramPath(w.Text(w.controls().编辑框1)));
    w.Destroy();
}

}  // namespace

InstallEnding EndingOf(const InstallOutcome& outcome) {
    switch (outcome.result) {
        case InstallOutcome::Installed:
            return {kUsagePage, ""};
        case InstallOutcome::Failed:
            return {std::nullopt, outcome.failure};
        case InstallOutcome::Cancelled:
            break;
    }
    return {};
}

void OnWizardCreated(WizardHost& w) {
    if (!w.IsChecked(w.controls().选择框1)) w.SetEnabled(w.controls().按钮3, false);
}

void OnWizardClick(WizardHost& w, int id) {
    // While the installation runs, the window keeps painting but no button starts anything.
    if (IsInstallationRunning()) return;
    switch (id) {
        case kNextOnWelcome:
            w.SetCurrentPage(kLicencePage);
            break;
        case kChatWithAuthor:
            OpenUrl(kChatUrl);
            break;
        case kBackOnLicence:
            w.SetCurrentPage(kWelcomePage);
            break;
        case kAgreeToLicence:
            OnLicenceToggled(w);
            break;
        case kNextOnLicence:
            w.SetCurrentPage(kDirectoryPage);
            break;
        case kBackOnDirectory:
            w.SetCurrentPage(kLicencePage);
            break;
        case kChooseDirectory:
            OnChooseFolder(w);
            break;
        case kNextOnDirectory:
            OnCheckDirectory(w);
            break;
        case kBackOnConfirm:
            w.SetCurrentPage(kDirectoryPage);
            break;
        case kInstallButton:
            OnInstall(w);
            break;
        case kNextTutorialStep:
            OnTutorialStep(w);
            break;
        case kFinishButton:
            OnFinish(w);
            break;
        case kCancelButton:
            w.Destroy();
            break;
    }
}

void OnWizardTimer(WizardHost& w) {
    w.SetVisible(w.controls().按钮1, w.CurrentPage() != kConfirmPage);
    if (w.CurrentPage() == kUsagePage) {
        w.SetTimerPeriod(0);
        w.SetVisible(w.controls().按钮1, false);
    }
}

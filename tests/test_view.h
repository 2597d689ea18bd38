// An installation page over real edit controls in a hidden window, recording what the
// installation asks of the wizard and what the wizard's flow does once it has ended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gbk_text.h"
#include "install_run.h"
#include "navigation.h"
#include "wizard_ops.h"

// A hidden window holding the two edit controls the procedure uses.
class TestView : public InstallPage {
  public:
    // `desktop`: GBK (a test's own directory) or UTF-16 (the user's desktop).
    TestView(const std::string& dirText, const std::string& desktop)
        : TestView(dirText, WideFromGbk(desktop)) {}
    TestView(const std::string& dirText, const std::wstring& desktop) : desktop_(desktop) {
        // Unicode controls, as the wizard's own.
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
        directory_ =
            CreateWindowExW(0, L"EDIT", WideFromGbk(dirText).c_str(), WS_CHILD | ES_AUTOHSCROLL, 0,
                            0, 300, 20, window_, nullptr, nullptr, nullptr);
        info_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_READONLY | WS_VSCROLL,
                                0, 30, 300, 100, window_, nullptr, nullptr, nullptr);
    }
    ~TestView() override {
        DestroyWindow(window_);
        RegDeleteTreeA(HKEY_CURRENT_USER, TestKeyRoot().c_str());
    }

    std::string DirectoryText() override { return WindowTextGbk(directory_); }
    void SetInfoText(const char* text) override { ::SetInfoText(info_, text); }
    void AppendInfoText(const char* text) override { ::AppendInfoText(info_, text); }
    bool Pause(unsigned ms) override {
        pauses.push_back(ms);
        if (duringPause) duringPause();
        return PauseWithMessages(ms);
    }
    std::wstring DesktopDirectory() override { return desktop_; }
    void SetProgress(uint64_t done, uint64_t total) override { progress.push_back({done, total}); }
    bool KeepResponsive() override {
        responsiveCalls++;
        if (whileWriting) return whileWriting();
        return PumpPendingMessages();
    }
    std::string UninstallKey() override { return uninstallKey; }

    std::string InfoText() const { return WindowTextGbk(info_); }

    std::vector<unsigned> pauses;
    std::vector<int> pages;             // where the wizard went afterwards
    std::vector<std::string> messages;  // what the wizard said afterwards
    std::function<void()> duringPause;
    std::function<bool()> whileWriting;
    std::vector<std::pair<uint64_t, uint64_t>> progress;
    int responsiveCalls = 0;
    std::string uninstallKey = TestUninstallKey();

    // A record of its own per test process, so tests never touch the real one.
    static std::string TestKeyRoot() {
        return "Software\\QinglanTests\\" + std::to_string(GetCurrentProcessId());
    }
    static std::string TestUninstallKey() { return TestKeyRoot() + "\\青岚笺语写作"; }
    HWND window() const { return window_; }

  private:
    std::wstring desktop_;
    HWND window_, directory_, info_;
};

// A run from the confirmation page followed by what the wizard's flow does with its outcome.
inline bool RunInstallation(TestView& view, const PayloadBytes& payload,
                            InstallOutcome* outcome = nullptr) {
    InstallOutcome ended{InstallOutcome::Cancelled, "", InstallFailure::None};
    const bool installed = RunInstallation(static_cast<InstallPage&>(view), payload, &ended);
    const InstallEnding ending = EndingOf(ended);
    if (ending.page) view.pages.push_back(*ending.page);
    if (!ending.message.empty()) view.messages.push_back(ending.message);
    if (outcome) *outcome = ended;
    return installed;
}

#include "wizard_ops.h"

#include <commctrl.h>

#include <vector>

#include "file_ops.h"
#include "gbk_text.h"
#include "shell_ops.h"

namespace {

constexpr int kProgressRange = 1000;

}  // namespace

void SetInfoText(HWND edit, const char* text) {
    SetWindowTextGbk(edit, text);
}

void AppendInfoText(HWND edit, const char* text) {
    int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideFromGbk(text).c_str()));
}

bool PumpPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool PauseWithMessages(unsigned milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (!PumpPendingMessages()) return false;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

std::wstring WindowInstallPage::DesktopDirectory() {
    return ::DesktopDirectory();
}

void WindowInstallPage::SetProgress(uint64_t done, uint64_t total) {
    if (!progress_ || total == 0) return;
    SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressRange);
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(done * kProgressRange / total), 0);
    UpdateWindow(progress_);
}

void WindowInstallPage::FreezeInfo(bool frozen) {
    SendMessageW(info_, WM_SETREDRAW, !frozen, 0);
    if (!frozen) RedrawWindow(info_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

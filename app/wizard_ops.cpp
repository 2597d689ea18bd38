#include "wizard_ops.h"

#include <commctrl.h>

#include <vector>

#include "file_ops.h"
#include "shell_ops.h"
#include "texts.h"

namespace {

constexpr int kProgressRange = 1000;

}  // namespace

void SetInfoText(HWND edit, const char* text) {
    SetWindowTextA(edit, text);
}

void AppendInfoText(HWND edit, const char* text) {
    int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

std::string WindowText(HWND hwnd) {
    int len = GetWindowTextLengthA(hwnd);
    if (len <= 0) return "";
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(hwnd, buf.data(), len + 1);
    return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

bool PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
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

void WindowInstallerView::ShowInstallMessage(const std::string& text) {
    ShowMessageBox(owner_, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
}

std::string WindowInstallerView::DesktopDirectory() {
    return ::DesktopDirectory();
}

void WindowInstallerView::SetProgress(uint64_t done, uint64_t total) {
    if (!progress_ || total == 0) return;
    SendMessageA(progress_, PBM_SETRANGE32, 0, kProgressRange);
    SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(done * kProgressRange / total), 0);
    UpdateWindow(progress_);
}

void WindowInstallerView::FreezeInfo(bool frozen) {
    SendMessageA(info_, WM_SETREDRAW, !frozen, 0);
    if (!frozen) RedrawWindow(info_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

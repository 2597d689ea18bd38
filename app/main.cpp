// The installer's entry point and, for now, a plain window that runs the installation.
#include <windows.h>
#include <commctrl.h>

#include "install.h"
#include "payload.h"
#include "texts.h"
#include "wizard_ops.h"

namespace {

constexpr int kWidth = 901;
constexpr int kHeight = 661;
constexpr char kClassName[] = "QinglanSetupWindow";
constexpr char kTitle[] = "青岚笺语写作1.3（一直在努力，从未被超越！）[澄川文学网亲情支持]\r\n";

enum ControlId { kIdCancel = 1, kIdConfirm = 6, kIdDirectory = 101, kIdInfo = 102, kIdDone = 103 };

struct SetupWindow {
    HWND hwnd = nullptr;
    HWND directory = nullptr;
    HWND info = nullptr;
    HWND confirm = nullptr;
    HWND done = nullptr;
    HFONT font = nullptr;
    PayloadBytes payload;
};

SetupWindow g_window;

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                int h, int id) {
    HWND child =
        CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return child;
}

void ShowPage(HWND, int index) {
    bool usage = index == 4;
    ShowWindow(g_window.done, usage ? SW_SHOW : SW_HIDE);
    EnableWindow(g_window.confirm, !usage);
}

void OnCreate(HWND hwnd) {
    g_window.hwnd = hwnd;
    AddControl(hwnd, "STATIC", "安装目录：", 0, 40, 520, 150, 30, 0);
    g_window.directory = AddControl(hwnd, "EDIT", "D:\\", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
                                    184, 520, 504, 30, kIdDirectory);
    AddControl(hwnd, "BUTTON", "安装信息", BS_GROUPBOX, 40, 120, 696, 224, 0);
    g_window.info = AddControl(hwnd, "EDIT", "",
                               ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 48,
                               160, 656, 152, kIdInfo);
    g_window.confirm =
        AddControl(hwnd, "BUTTON", "确认安装", WS_TABSTOP, 608, 568, 112, 40, kIdConfirm);
    AddControl(hwnd, "BUTTON", "取消安装", WS_TABSTOP, 24, 592, 72, 24, kIdCancel);
    g_window.done = AddControl(hwnd, "STATIC", "使用教程", 0, 40, 380, 300, 30, kIdDone);
    ShowWindow(g_window.done, SW_HIDE);
}

void OnConfirm() {
    WindowInstallerView view(g_window.hwnd, g_window.directory, g_window.info, ShowPage);
    RunInstallation(view, g_window.payload);
}

LRESULT CALLBACK SetupWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == kIdConfirm)
                OnConfirm();
            else if (LOWORD(wp) == kIdCancel)
                DestroyWindow(hwnd);
            return 0;
        case WM_NCHITTEST: {
            LRESULT hit = DefWindowProcA(hwnd, msg, wp, lp);
            return hit == HTCLIENT ? HTCAPTION : hit;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    if (!LoadEmbeddedPayload(&g_window.payload)) {
        MessageBoxExA(nullptr, kFailPayload, kMessageTitle, MB_OK | MB_ICONERROR, 0);
        return 1;
    }

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SetupWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);

    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND hwnd = CreateWindowExA(0, kClassName, kTitle, WS_POPUP, x, y, kWidth, kHeight, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

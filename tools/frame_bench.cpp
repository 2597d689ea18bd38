// frame-bench plain|skinned RUNS: times the wizard window's painting in this process and prints
// the medians in milliseconds: a full render of the window, one page switch with its repaint, and
// one hover repaint of a push button. "plain" runs without the skin engine (the baseline).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "registry.h"
#include "skin_setup.h"
#include "wizard_window.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double Median(int runs, const std::function<void(int)>& once) {
    std::vector<double> times;
    for (int n = 0; n < runs; n++) {
        Pump();
        double start = Now();
        once(n);
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    bool skinned = argc > 1 && strcmp(argv[1], "skinned") == 0;
    int runs = argc > 2 ? atoi(argv[2]) : 30;
    if (skinned) {
        SkinGlobalSetUp();
        SkinModuleStartUp();
    }
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    WizardWindow::RegisterClasses(GetModuleHandleA(nullptr));
    static WizardWindow wizard;
    if (!wizard.Create(GetModuleHandleA(nullptr), PayloadBytes())) return 1;
    HWND hwnd = wizard.hwnd();
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    for (int n = 0; n < 20; n++) {
        Pump();
        Sleep(10);
    }

    const UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    double render = Median(runs, [&](int) {
        if (WindowSkinRecord* r = WindowRecord(FindWindowIndex(hwnd))) r->needsRender = 1;
        RedrawWindow(hwnd, nullptr, nullptr, kRepaint);
    });
    double pageSwitch = Median(runs, [&](int n) {
        wizard.SetCurrentPage((n + 1) % WizardWindow::kPageCount);
        RedrawWindow(wizard.controls().选择夹1, nullptr, nullptr, kRepaint);
    });
    wizard.SetCurrentPage(0);
    RedrawWindow(hwnd, nullptr, nullptr, kRepaint);
    HWND button = wizard.controls().按钮2;
    double hover = Median(runs, [&](int n) {
        // Alternately entering and leaving: every call repaints the button in its other state.
        SendMessageA(button, n % 2 ? WM_MOUSELEAVE : WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        UpdateWindow(button);
    });
    printf("render_ms: %.3f\npage_switch_ms: %.3f\nhover_ms: %.3f\n", render, pageSwitch, hover);
    DestroyWindow(hwnd);
    Pump();
    if (skinned) SkinExitRoutine();
    return 0;
}

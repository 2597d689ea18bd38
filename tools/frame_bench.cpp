// frame-bench plain|skinned RUNS: times the wizard window's painting in this process and prints, in
// milliseconds, the first full render of the fresh window (once: every cache is still empty), and
// the medians of a full render, one page switch with its repaint, and one hover repaint of a push
// button (the mean of the medians of entering and leaving, also printed apart). "plain" runs
// without the skin engine (the baseline).
// With "profile" as a third argument it also prints where the time went: the time spent in each
// window class's procedure for each message (its own time, messages sent from inside it counted
// where they are handled), summed over all runs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
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
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Own time per (class, message), measured by a pair of call hooks around every sent message.
struct Frame {
    double start;
    double inner;  // time of messages handled while this one was
    std::string key;
};
std::vector<Frame> g_stack;
std::map<std::string, std::pair<double, int>> g_ownTime;
bool g_profiling = false;

LRESULT CALLBACK BeforeCall(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_profiling) {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        char cls[64] = "";
        GetClassNameA(m->hwnd, cls, sizeof(cls));
        char key[96];
        snprintf(key, sizeof(key), "%s 0x%04X", cls, m->message);
        g_stack.push_back({Now(), 0.0, key});
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK AfterCall(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_profiling && !g_stack.empty()) {
        Frame f = g_stack.back();
        g_stack.pop_back();
        const double total = Now() - f.start;
        auto& entry = g_ownTime[f.key];
        entry.first += total - f.inner;
        entry.second++;
        if (!g_stack.empty()) g_stack.back().inner += total;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void PrintProfile(const char* what, double measured) {
    std::vector<std::pair<double, std::string>> rows;
    double sum = 0;
    for (const auto& e : g_ownTime) {
        char line[160];
        snprintf(line, sizeof(line), "%-28s %6d calls", e.first.c_str(), e.second.second);
        rows.push_back({e.second.first, line});
        sum += e.second.first;
    }
    std::sort(rows.rbegin(), rows.rend());
    printf("profile of %s (%.1f ms measured, %.1f ms inside window procedures):\n", what, measured,
           sum);
    for (size_t k = 0; k < rows.size() && k < 15; k++)
        printf("  %8.1f ms  %s\n", rows[k].first, rows[k].second.c_str());
    g_ownTime.clear();
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
    const bool profile = argc > 3 && strcmp(argv[3], "profile") == 0;
    if (profile) {
        SetWindowsHookExW(WH_CALLWNDPROC, BeforeCall, nullptr, GetCurrentThreadId());
        SetWindowsHookExW(WH_CALLWNDPROCRET, AfterCall, nullptr, GetCurrentThreadId());
    }
    // Times a measured step, profiled when asked.
    auto measure = [&](const char* what, const std::function<void(int)>& once) {
        g_ownTime.clear();
        g_profiling = profile;
        double start = Now();
        double median = Median(runs, once);
        g_profiling = false;
        if (profile) PrintProfile(what, Now() - start);
        return median;
    };
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
    // The first full render of the fresh window, every cache of the process still empty: shown,
    // and everything in it painted once.
    g_ownTime.clear();
    g_profiling = profile;
    const double firstStart = Now();
    ShowWindow(hwnd, SW_SHOW);
    for (int round = 0; round < 10; round++) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        if (!GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) break;
    }
    const double firstRender = Now() - firstStart;
    g_profiling = false;
    if (profile) PrintProfile("first render", firstRender);
    for (int n = 0; n < 20; n++) {
        Pump();
        Sleep(10);
    }

    const UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    double render = measure("render", [&](int) {
        if (WindowSkinRecord* r = WindowRecord(FindWindowIndex(hwnd))) r->needsRender = 1;
        RedrawWindow(hwnd, nullptr, nullptr, kRepaint);
    });
    double pageSwitch = measure("page switch", [&](int n) {
        wizard.SetCurrentPage(static_cast<WizardPage>((n + 1) % kPageCount));
        RedrawWindow(wizard.controls().选择夹1, nullptr, nullptr, kRepaint);
    });
    wizard.SetCurrentPage(kWelcomePage);
    RedrawWindow(hwnd, nullptr, nullptr, kRepaint);
    HWND button = wizard.controls().按钮2;
    // Entering and leaving in turn, each repainting the button in its other state; the two are
    // timed apart, since they cost differently and the median of a mixed set jumps between them.
    // A real leave ends the system's tracking, so every entry asks for it anew.
    std::vector<double> entering, leaving;
    g_ownTime.clear();
    g_profiling = profile;
    const double hoverStart = Now();
    for (int n = 0; n < 2 * runs; n++) {
        const bool enter = n % 2 == 0;
        if (enter) {
            TRACKMOUSEEVENT cancel = {sizeof(cancel), TME_LEAVE | TME_CANCEL, button, 0};
            TrackMouseEvent(&cancel);
        }
        Pump();
        const double start = Now();
        SendMessageW(button, enter ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(10, 10));
        UpdateWindow(button);
        (enter ? entering : leaving).push_back(Now() - start);
    }
    g_profiling = false;
    if (profile) PrintProfile("hover", Now() - hoverStart);
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double hoverIn = median(entering), hoverOut = median(leaving);
    const double hover = (hoverIn + hoverOut) / 2;
    printf("first_render_ms: %.3f\n", firstRender);
    printf("render_ms: %.3f\npage_switch_ms: %.3f\nhover_ms: %.3f\n", render, pageSwitch, hover);
    printf("hover_enter_ms: %.3f\nhover_leave_ms: %.3f\n", hoverIn, hoverOut);
    DestroyWindow(hwnd);
    Pump();
    if (skinned) SkinExitRoutine();
    return 0;
}

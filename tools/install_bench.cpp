// install-bench DIR [--finish]: one full installation into the fresh directory DIR, as "确认安装"
// starts it on the skinned wizard, timed inside the process. Prints the time from the click to the
// usage page painted (install_to_usage_page_ms) and the stages in between. One run per process:
// the first shell link of a process is the slow one, as it is for a user. With --finish the wizard
// then waits on its last page, "启动软件" ticked, for a click on "完成安装" from outside (it prints
// "finish page shown" first), and the process ends when the window has gone, as the installer's
// does. The shortcut and the installation record it makes are removed again afterwards.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control_ids.h"
#include "file_ops.h"
#include "install.h"
#include "paths.h"
#include "payload.h"
#include "skin_setup.h"
#include "uninstall_entry.h"
#include "wizard_window.h"

namespace {

struct Stage {
    const char* name;
    double at;
};
std::vector<Stage> g_stages;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

void OnStage(const char* name) {
    g_stages.push_back({name, Now()});
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = argv[1];
    const bool finish = argc > 2 && std::string(argv[2]) == "--finish";
    SkinGlobalSetUp();
    SkinModuleStartUp();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    PayloadBytes payload;
    if (!LoadEmbeddedPayload(&payload)) return 1;
    WizardWindow::RegisterClasses(GetModuleHandleA(nullptr));
    static WizardWindow wizard;
    if (!wizard.Create(GetModuleHandleA(nullptr), payload)) return 1;
    HWND hwnd = wizard.hwnd();
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    wizard.SetText(wizard.controls().编辑框1, dir);
    wizard.SetCurrentPage(kConfirmPage);
    for (int n = 0; n < 20; n++) {
        Pump();
        Sleep(10);
    }

    SetInstallStageListener(OnStage);
    HWND button = wizard.controls().按钮6;
    const double start = Now();
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kId按钮6, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    // The usage page on the screen: what the message loop would paint next, painted now.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double end = Now();
    SetInstallStageListener(nullptr);
    if (wizard.CurrentPage() != kUsagePage) {
        fprintf(stderr, "install-bench: the installation did not reach the usage page\n");
        return 1;
    }
    printf("install_to_usage_page_ms: %.1f\n", end - start);
    double last = start;
    for (const Stage& s : g_stages) {
        printf("stage %s: %.1f\n", s.name, s.at - last);
        last = s.at;
    }
    printf("stage repaint: %.1f\n", end - last);

    if (finish) {
        wizard.SetCurrentPage(kFinishPage);
        UpdateWindow(hwnd);
        printf("finish page shown\n");
        fflush(stdout);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    DeleteFilePath(ShortcutFile(DesktopDirectory()));
    DeleteUninstallEntry(kUninstallKey);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    Pump();
    SkinExitRoutine();
    return 0;
}

// The installer's entry point: start-up in its fixed order, the message loop, the exit routine.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "command_line.h"
#include "dll_search.h"
#include "payload.h"
#include "shell_ops.h"
#include "skin_setup.h"
#include "texts.h"
#include "unattended.h"
#include "wizard_window.h"

namespace {

void RunExitRoutine() {
    SkinExitRoutine();
}

// The skin engine before any window or message box of the program: every one is skinned.
void StartSkinEngine() {
    SkinGlobalSetUp();
    atexit(RunExitRoutine);
    SkinModuleStartUp();
}

// DLLs come from the system directory only (dll_search.h).
void RestrictDllSearch() {
    // GDI+ loads the imaging codecs on first use through its own delay import, and Wine's loader
    // (like a Windows that cannot restrict the search) resolves those, and the codecs' imports
    // such as propsys.dll, with the plain search path that starts in the installer's folder.
    // Loaded here from the system directory, they are already present when GDI+ asks for them.
    if (RestrictDllSearchToSystem() == DllSearch::SystemOnly) {
        LoadLibraryExW(L"windowscodecs.dll", nullptr, kLoadFromSystem32);
        return;
    }
    wchar_t system[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    // With a full path this flag makes the codecs' own imports start in the system directory too.
    LoadLibraryExW((std::wstring(system, n) + L"\\windowscodecs.dll").c_str(), nullptr,
                   LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RestrictDllSearch();
    // Switches are answered before anything else: /S never makes a window, and nothing it
    // refuses waits on one.
    CommandLine options = ReadCommandLine(GetCommandLineW());
    if (!options.silent) StartSkinEngine();
    if (options.help || !options.refused.empty()) return ShowSwitches(options);
    static SingleInstance single;  // held until the process ends
    if (!single.first()) return single.HandOver(options);
    if (!StartLog(options)) return kExitCannotWrite;
    if (!CheckDirectoryCharacters(options)) return kExitBadDirectory;
    if (options.silent) return RunUnattended(options);

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    PayloadBytes payload;
    if (!LoadEmbeddedPayload(&payload)) {
        ShowMessageBox(nullptr, kFailPayload, kMessageTitle, MB_OK | MB_ICONERROR);
        return kExitDamaged;
    }
    // A damaged download is refused before the window opens and before anything is written.
    if (!PayloadIntact(payload)) {
        ShowMessageBox(nullptr, kDamagedInstaller, kMessageTitle, MB_OK | MB_ICONERROR);
        return kExitDamaged;
    }

    static WizardWindow wizard;  // lives until the process ends
    if (!WizardWindow::RegisterClasses(instance) || !wizard.Create(instance, payload)) return 1;
    std::string proposal = ProposedDirectory(options);
    if (!proposal.empty()) wizard.SetText(wizard.controls().编辑框1, proposal);
    ShowWindow(wizard.hwnd(), show);
    UpdateWindow(wizard.hwnd());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (wizard.PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

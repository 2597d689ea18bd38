#include "skin_setup.h"

#include "resource_ids.h"
#include "wizard_window.h"

namespace {

HICON g_programIcon = nullptr;

}  // namespace

void SkinGlobalSetUp() {}

void SkinModuleStartUp() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    g_programIcon = LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM));
    if (!g_programIcon) g_programIcon = LoadIconA(self, "DEFAULT_ICON");
}

void SkinSetUpWindow(WizardWindow&) {}

void SkinExitRoutine() {
    if (g_programIcon) DestroyIcon(g_programIcon);
    g_programIcon = nullptr;
}

HICON ProgramIcon() {
    return g_programIcon;
}

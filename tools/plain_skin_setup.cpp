// The installer without its skin engine, for scripts/bench's start-up comparison only (never
// shipped): linked in place of app/wizard/skin_setup.cpp, these leave the engine unstarted, so the wizard
// opens as the system draws it.
#include "skin_setup.h"

void SkinGlobalSetUp() {}
void SkinModuleStartUp() {}
void SkinSetUpWindow(HWND, const WizardControls&) {}
void SkinExitRoutine() {}

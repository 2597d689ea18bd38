// Where the skin engine joins the installer's life: global set-up, module start-up, the set-up on
// the created wizard window, and the exit routine that releases everything.
#pragma once

#include <windows.h>

#include "wizard_host.h"

void SkinGlobalSetUp();
void SkinModuleStartUp();
void SkinSetUpWindow(HWND wizard, const WizardControls& controls);
void SkinExitRoutine();

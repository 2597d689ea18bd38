// The engine's control painters joined to the registry: their installers in their rows and the
// container procedure. Called once at start-up, before any window is skinned.
#pragma once

void InstallSkinPainters();

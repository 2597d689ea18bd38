// An installation started from the confirmation page: the information box, the pause before any
// file is touched, the installation itself and its failure line in the box. What the wizard does
// afterwards (the next page, a message) is the flow's to decide (navigation.h).
#pragma once

#include <string>

#include "install.h"

// The confirmation page as a run sees it.
class InstallPage : public InstallerView {
  public:
    virtual std::string DirectoryText() = 0;  // the installation-directory field as it stands
    virtual void SetInfoText(const char* text) = 0;
    virtual void AppendInfoText(const char* text) = 0;
    // Around a run of info-text changes: the box repaints once at the end instead of after each.
    virtual void FreezeInfo(bool) {}
    // Waits while processing the program's messages; false when the program is quitting.
    virtual bool Pause(unsigned milliseconds) = 0;
    virtual std::wstring DesktopDirectory() = 0;
    // Where the installation is recorded for the current user ("" records nothing).
    virtual std::string UninstallKey() { return kUninstallKey; }
};

// Runs the whole procedure. On failure everything this run created is removed again and the
// information box ends with a line naming what failed. A call while another run is under way does
// nothing and returns false. `outcome` (optional) receives what happened; each step and the
// result also go to the installation log when one is open.
bool RunInstallation(InstallPage& page, const PayloadBytes& payload,
                     InstallOutcome* outcome = nullptr);

bool IsInstallationRunning();

// The installation procedure run by "确认安装": writes the payload archive into the product
// directory, extracts it, deletes it and places the desktop shortcut.
#pragma once

#include <string>

#include "payload.h"

// What the procedure reads from and writes to the wizard.
class InstallerView {
  public:
    virtual ~InstallerView() = default;
    virtual std::string DirectoryText() = 0;  // the installation-directory field as it stands
    virtual void SetInfoText(const char* text) = 0;
    virtual void AppendInfoText(const char* text) = 0;
    // Waits while processing the program's messages; false when the program is quitting.
    virtual bool Pause(unsigned milliseconds) = 0;
    virtual void SetCurrentPage(int index) = 0;
    virtual void ShowInstallMessage(const std::string& text) = 0;
    virtual std::string DesktopDirectory() = 0;
};

// Runs the whole procedure. On success the wizard moves to page 4. On failure everything this
// run created is removed again, the information box ends with a line naming what failed, the
// user is told, and the wizard stays where it is. A call while another run is under way does
// nothing and returns false.
bool RunInstallation(InstallerView& view, const PayloadBytes& payload);

bool IsInstallationRunning();

// The file work alone (steps after the pause): returns "" on success, else the failure line.
std::string InstallFiles(const std::string& dirText, const PayloadBytes& payload,
                         const std::string& desktopDir);

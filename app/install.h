// The installation procedure run by "确认安装": writes the payload archive into the product
// directory, extracts it, deletes it and places the desktop shortcut.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "file_ops.h"
#include "payload.h"
#include "uninstall_entry.h"

// What the procedure reads from and writes to the wizard.
class InstallerView {
  public:
    virtual ~InstallerView() = default;
    virtual std::string DirectoryText() = 0;  // the installation-directory field as it stands
    virtual void SetInfoText(const char* text) = 0;
    virtual void AppendInfoText(const char* text) = 0;
    // Around a run of info-text changes: the box repaints once at the end instead of after each.
    virtual void FreezeInfo(bool) {}
    // Waits while processing the program's messages; false when the program is quitting.
    virtual bool Pause(unsigned milliseconds) = 0;
    virtual void SetCurrentPage(int index) = 0;
    virtual void ShowInstallMessage(const std::string& text) = 0;
    virtual std::wstring DesktopDirectory() = 0;
    // The bytes written so far of all there is to write (archive and extracted files).
    virtual void SetProgress(uint64_t, uint64_t) {}
    // Lets the window paint and answer between chunks; false when the program is quitting.
    virtual bool KeepResponsive() { return true; }
    // Where the installation is recorded for the current user ("" records nothing).
    virtual std::string UninstallKey() { return kUninstallKey; }
};

struct InstallOutcome;

// Runs the whole procedure. On success the wizard moves to page 4. On failure everything this
// run created is removed again, the information box ends with a line naming what failed, the
// user is told, and the wizard stays where it is. A call while another run is under way does
// nothing and returns false. `outcome` (optional) receives what happened; each step and the
// result also go to the installation log when one is open.
bool RunInstallation(InstallerView& view, const PayloadBytes& payload,
                     InstallOutcome* outcome = nullptr);

bool IsInstallationRunning();

// Hears the end of each stage of a run ("info text", "pause", "archive", "extraction", "shortcut", "record",
// "page switch"); null for nobody. For measurements only.
void SetInstallStageListener(void (*listener)(const char* stage));

struct InstallRequest {
    std::string dirText;       // the installation-directory field as it stands
    std::wstring desktopDir;   // where the shortcut goes
    std::string uninstallKey;  // HKCU key of the installation record, "" for none
    // Hears (bytes written, bytes to write) after every chunk; false stops the installation.
    std::function<bool(uint64_t, uint64_t)> progress;
    // What the checks before writing ask of the file system; null: the real one.
    TargetFileSystem* fileSystem = nullptr;
};

// What kind of failure stopped an installation; an unattended run reports it as its exit code.
enum class InstallFailure {
    None,
    BadDirectory,  // not a usable directory: relative, too long, missing, cannot be made
    NoRoom,        // not enough free space on the target volume
    CannotWrite,   // a file, the shortcut or the record could not be written
    Damaged,       // the payload the installer carries is damaged
    InUse,         // a file of the installation is in use (the program runs)
};

struct InstallOutcome {
    enum Result { Installed, Failed, Cancelled } result;
    std::string failure;  // the line naming what failed
    InstallFailure kind = InstallFailure::None;
};

// The file work alone (everything after the pause). A failed or cancelled run leaves nothing it
// created behind.
InstallOutcome InstallFiles(const InstallRequest& request, const PayloadBytes& payload);

// The first payload file in `productDir` that is in use, the program first; "" when none is.
std::string PayloadFileInUse(const std::string& productDir, TargetFileSystem* fileSystem = nullptr);

// What the installation needs on the target volume: the archive plus every entry not yet there
// at its full size.
uint64_t SpaceNeeded(const std::string& productDir, const PayloadBytes& payload);

// The installation: writes the payload archive into the product directory, extracts it, deletes
// it, places the desktop shortcut and writes the installation record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "file_ops.h"
#include "payload.h"
#include "uninstall_entry.h"

// What an installation asks of whoever watches it.
class InstallerView {
  public:
    virtual ~InstallerView() = default;
    // The bytes written so far of all there is to write (archive and extracted files).
    virtual void SetProgress(uint64_t, uint64_t) {}
    // Lets the window paint and answer between chunks; false when the program is quitting.
    virtual bool KeepResponsive() { return true; }
};

// Hears the end of each stage of a run ("info text", "pause", "archive", "extraction", "shortcut",
// "record", "page switch"); null for nobody. For measurements only.
void SetInstallStageListener(void (*listener)(const char* stage));
void InstallStageDone(const char* stage);

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

// The file work alone. A failed or cancelled run leaves nothing it created behind.
InstallOutcome InstallFiles(const InstallRequest& request, const PayloadBytes& payload);

// One installation as the wizard and the unattended run both make it: the file work, with the
// directory and the result in the installation log. `view` (optional) hears the progress about 30
// times a second at most and is asked to stay responsive in between; `request.progress` is then
// its own.
InstallOutcome Install(InstallRequest request, const PayloadBytes& payload,
                       InstallerView* view = nullptr);

// The first payload file in `productDir` that is in use, the program first; "" when none is.
std::string PayloadFileInUse(const std::string& productDir, TargetFileSystem* fileSystem = nullptr);

// What the installation needs on the target volume: the archive plus every entry not yet there
// at its full size.
uint64_t SpaceNeeded(const std::string& productDir, const PayloadBytes& payload);

// What the installer does with its command line before (or instead of) the wizard: the switches
// box, one installer at a time, and the installation without any window (/S).
#pragma once

#include <string>

#include "command_line.h"
#include "handles.h"
#include "install.h"

// The installer's exit codes, as the README lists them.
enum ExitCode {
    kExitSuccess = 0,
    kExitBadSwitches = 1,
    kExitDamaged = 2,  // the integrity check at start uses it too
    kExitBadDirectory = 3,
    kExitNoRoom = 4,
    kExitCannotWrite = 5,
    kExitInUse = 6,
    kExitAnotherInstaller = 7,
};

int ExitCodeFor(InstallFailure kind);

// The installer's own command line as the system gives it (GetCommandLineW), with its texts in
// GBK (see CommandLine).
CommandLine ReadCommandLine(const wchar_t* commandLine);

// /? (exit code 0) or a refused argument (named first; exit code 1): the switches in a message box;
// with /S in the log only, and the program ends at once.
int ShowSwitches(const CommandLine& options);

// Opens the /LOG= file when one is asked for; false (after saying so unless silent) when it cannot
// be written.
bool StartLog(const CommandLine& options);

// False when /D= names a directory with a character GBK has not, which the installer cannot name:
// says so in the log and, unless silent, in a message box.
bool CheckDirectoryCharacters(const CommandLine& options);

// The installation without any window into /D= (else the place of an earlier installation, else
// "D:\"), with the wizard's checks, files, shortcut and record. Returns the exit code.
int RunUnattended(const CommandLine& options);

// The directory the wizard proposes: /D=, else the place of an earlier installation, else "".
std::string ProposedDirectory(const CommandLine& options);

// Held for the life of the first installer of the session, so two installations never write the
// same files at once.
class SingleInstance {
  public:
    SingleInstance();
    bool first() const { return first_; }
    // For a later start: brings the open wizard to the front (restored when minimised) and returns
    // 0; an unattended start (which says so in its log), or one that finds no wizard, returns
    // kExitAnotherInstaller.
    int HandOver(const CommandLine& options) const;

  private:
    KernelHandle mutex_;
    bool first_;
};

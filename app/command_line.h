// The installer's command line: the switches administrators know from other installers.
//   /S            install without any window
//   /D=directory  the installation directory; the last argument, spaces need no quotes; or, quoted
//                 as one whole argument ("/D=C:\my apps"), anywhere
//   /LOG=file     a plain UTF-8 log of each step and the result
//   /?            the switches in a message box
// Switches are matched without regard to case. Pure text work, no Win32 call: the text may be GBK
// or UTF-8 (blanks, quotes and switch letters are ASCII in both, and no byte of a multi-byte
// character is ASCII in UTF-8 or a blank or quote in GBK).
#pragma once

#include <string>

struct CommandLine {
    bool silent = false;
    bool help = false;
    bool hasDirectory = false;
    std::string directory;  // /D= as given, "" when absent
    std::string logFile;    // /LOG= as given, "" when absent
    std::string refused;    // the first argument that is not understood ("" when all are)
    // Set when the installer reads its own command line (ReadCommandLine): the text fields are
    // then GBK, `logPath` is /LOG= exactly, and `directoryUsable` says whether /D= has a GBK form
    // (`directory` then holds it; otherwise only a form for showing, with '?').
    std::wstring logPath;
    bool directoryUsable = true;
};

// The text after the program name of a full command line as GetCommandLineW gives it (the name
// may be quoted).
std::string ArgumentsOf(const std::string& commandLine);

// Parses the arguments (the text after the program name).
CommandLine ParseCommandLine(const std::string& arguments);

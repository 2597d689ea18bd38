// The per-user record of the installation that Windows lists under installed programs.
#pragma once

#include <string>

inline constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\青岚笺语写作";

// Writes the record under HKEY_CURRENT_USER\`keyPath` for a product installed in `productDir`;
// every path in it is normalised (NormalisePath).
bool WriteUninstallEntry(const std::string& keyPath, const std::string& productDir);

// The InstallLocation of the record, "" when there is none.
std::string ReadInstallLocation(const std::string& keyPath);

// Where a reinstallation goes by default: the directory holding the recorded product directory,
// when the record names one that still holds the program; "" otherwise.
std::string ReinstallProposal(const std::string& keyPath);

bool UninstallEntryExists(const std::string& keyPath);

// Removes the record; true when it is gone afterwards.
bool DeleteUninstallEntry(const std::string& keyPath);

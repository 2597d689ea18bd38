#include "uninstall_entry.h"

#include <windows.h>

#include <cstdio>

#include "file_ops.h"
#include "gbk_text.h"
#include "handles.h"
#include "paths.h"
#include "payload_entries.h"
#include "product_info.h"
#include "texts.h"

namespace {

// Value names are ASCII; values and key paths are GBK, stored as UTF-16 so that every reader
// sees the same characters whatever its code page.
bool SetString(HKEY key, const wchar_t* name, const std::string& value) {
    const std::wstring wide = WideFromGbk(value);
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace

bool WriteUninstallEntry(const std::string& keyPath, const std::string& productDir) {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, WideFromGbk(keyPath).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, key.out(), nullptr) != ERROR_SUCCESS)
        return false;
    // Recorded as Windows names the place, so the uninstaller finds its own directory in it.
    const std::string dir = NormalisePath(productDir);
    const std::string uninstallCommand = "\"" + JoinPath(dir, kUninstallerEntry) + "\"";
    std::string program = JoinPath(dir, kProgramFileName);
    // Apps & features and deployment tools show and sort by the day of installation.
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    snprintf(date, sizeof(date), "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    return SetString(key.get(), L"DisplayName", QL_PRODUCT_NAME) &&
           SetString(key.get(), L"DisplayVersion", QL_DISPLAY_VERSION) &&
           SetString(key.get(), L"Publisher", QL_PUBLISHER) &&
           SetString(key.get(), L"DisplayIcon", program) &&
           SetString(key.get(), L"InstallLocation", dir) &&
           SetString(key.get(), L"UninstallString", uninstallCommand) &&
           SetString(key.get(), L"QuietUninstallString", uninstallCommand + " /S") &&
           SetString(key.get(), L"InstallDate", date) &&
           SetNumber(key.get(), L"EstimatedSize", static_cast<DWORD>(kPayloadTotalBytes / 1024)) &&
           SetNumber(key.get(), L"NoModify", 1) && SetNumber(key.get(), L"NoRepair", 1);
}

std::string ReadInstallLocation(const std::string& keyPath) {
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, WideFromGbk(keyPath).c_str(), L"InstallLocation",
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "";
    // A place whose name GBK cannot hold is not one this installer recorded.
    std::string location;
    return GbkFromWide(value, &location) ? location : "";
}

std::string ReinstallProposal(const std::string& keyPath) {
    std::string location = ReadInstallLocation(keyPath);
    std::string dir = ReinstallDirectory(location);
    return !dir.empty() && FileExists(JoinPath(location, kProgramFileName)) ? dir : "";
}

bool UninstallEntryExists(const std::string& keyPath) {
    RegistryKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, WideFromGbk(keyPath).c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
}

bool DeleteUninstallEntry(const std::string& keyPath) {
    LONG rc = RegDeleteKeyW(HKEY_CURRENT_USER, WideFromGbk(keyPath).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

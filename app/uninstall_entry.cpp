#include "uninstall_entry.h"

#include <windows.h>

#include "file_ops.h"
#include "paths.h"
#include "payload_entries.h"
#include "product_info.h"
#include "texts.h"

namespace {

class RegKey {
  public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

bool SetString(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace

bool WriteUninstallEntry(const std::string& keyPath, const std::string& productDir) {
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.out(), nullptr) != ERROR_SUCCESS)
        return false;
    // Recorded as Windows names the place, so the uninstaller finds its own directory in it.
    const std::string dir = NormalisePath(productDir);
    std::string uninstaller = JoinPath(dir, kUninstallerEntry);
    std::string program = JoinPath(dir, kProgramFileName);
    return SetString(key.get(), "DisplayName", QL_PRODUCT_NAME) &&
           SetString(key.get(), "DisplayVersion", QL_DISPLAY_VERSION) &&
           SetString(key.get(), "Publisher", QL_PUBLISHER) &&
           SetString(key.get(), "DisplayIcon", program) &&
           SetString(key.get(), "InstallLocation", dir) &&
           SetString(key.get(), "UninstallString", "\"" + uninstaller + "\"") &&
           SetNumber(key.get(), "EstimatedSize", static_cast<DWORD>(kPayloadTotalBytes / 1024)) &&
           SetNumber(key.get(), "NoModify", 1) && SetNumber(key.get(), "NoRepair", 1);
}

std::string ReadInstallLocation(const std::string& keyPath) {
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    if (RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), "InstallLocation", RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "";
    return value;
}

std::string ReinstallProposal(const std::string& keyPath) {
    std::string location = ReadInstallLocation(keyPath);
    std::string dir = ReinstallDirectory(location);
    return !dir.empty() && FileExists(JoinPath(location, kProgramFileName)) ? dir : "";
}

bool UninstallEntryExists(const std::string& keyPath) {
    RegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
}

bool DeleteUninstallEntry(const std::string& keyPath) {
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

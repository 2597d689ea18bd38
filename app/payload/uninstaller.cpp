// 卸载程序: removes what the installer placed, after asking. It deletes only the files it knows
// from the payload, in its own directory, and the desktop shortcut when that points at the
// program it installed; whatever could not be removed is named, never passed over.
#include <windows.h>
#include <shobjidl.h>

#include <string>

#include "com_ref.h"
#include "file_ops.h"
#include "paths.h"
#include "payload_entries.h"
#include "texts.h"

namespace {

constexpr char kTitle[] = "卸载程序";

std::string OwnPath() {
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

// The target of a shell link, "" when it cannot be read.
std::string ShortcutTarget(const std::string& linkFile) {
    wchar_t wide[MAX_PATH + 1] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH + 1)) return "";
    ComApartment apartment;
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.out())) ||
        FAILED(persist->Load(wide, STGM_READ)))
        return "";
    char target[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return "";
    return target;
}

bool RemoveFile(const std::string& path) {
    if (!FileExists(path)) return true;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFilePath(path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string self = OwnPath();
    std::string dir = ParentPath(self);
    if (dir.empty()) return 1;
    if (MessageBoxExA(nullptr, "确定要卸载“青岚笺语写作”吗？", kTitle, MB_YESNO | MB_ICONQUESTION,
                      0) != IDYES)
        return 0;

    std::string failed;
    for (const PayloadEntry& entry : kPayloadEntries) {
        std::string path = JoinPath(dir, entry.name);
        if (lstrcmpiA(path.c_str(), self.c_str()) == 0) continue;
        if (!RemoveFile(path)) failed += path + "\r\n";
    }
    std::string desktop = DesktopDirectory();
    std::string link = LinkFileName(ShortcutPath(desktop));
    if (!desktop.empty() && FileExists(link) &&
        lstrcmpiA(ShortcutTarget(link).c_str(), JoinPath(dir, kProgramFileName).c_str()) == 0 &&
        !RemoveFile(link))
        failed += link + "\r\n";

    // A running program cannot delete itself: it goes, with its directory when that is empty,
    // the next time Windows starts.
    MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(dir.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);

    if (failed.empty()) {
        MessageBoxExA(nullptr, "青岚笺语写作已卸载。卸载程序本身将在下次启动 Windows 时删除。",
                      kTitle, MB_OK | MB_ICONINFORMATION, 0);
        return 0;
    }
    std::string text = "以下文件无法删除（可能正在使用）：\r\n" + failed;
    MessageBoxExA(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONWARNING, 0);
    return 1;
}

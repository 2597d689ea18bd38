// 卸载程序: removes what the installer placed, after asking. It deletes only the files it knows
// from the payload, in its own directory, the desktop shortcut when that points at the program it
// installed, and the installation record when that names its directory; whatever could not be
// removed is named, never passed over.
//
// A running program cannot delete itself, so the uninstaller copies itself to the temporary
// directory and lets the copy do the work once the original has exited:
//   卸载程序.exe [--quiet | /S]                  asks (unless quiet), starts the copy, exits
//   copy --remove DIR --after PID [--quiet]     waits for PID, removes, reports (unless --quiet)
// /S is the installer's switch for the same thing. Nothing is removed while a file of the
// installation is in use (the program runs): the copy names it instead.
// The exit code of the copy is 0 when everything is gone, 1 otherwise.
#define _CRT_RAND_S  // rand_s: the removal copy's directory name
#include <windows.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "com_ref.h"
#include "dll_search.h"
#include "file_ops.h"
#include "install.h"
#include "paths.h"
#include "payload_entries.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

constexpr char kTitle[] = "卸载程序";

struct Options {
    bool quiet = false;
    std::string removeDir;
    DWORD afterPid = 0;
};

Options ParseOptions() {
    Options o;
    for (int i = 1; i < __argc; i++) {
        if (strcmp(__argv[i], "--quiet") == 0 || _stricmp(__argv[i], "/S") == 0)
            o.quiet = true;
        else if (strcmp(__argv[i], "--remove") == 0 && i + 1 < __argc)
            o.removeDir = __argv[++i];
        else if (strcmp(__argv[i], "--after") == 0 && i + 1 < __argc)
            o.afterPid = static_cast<DWORD>(strtoul(__argv[++i], nullptr, 10));
    }
    return o;
}

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

// Removes the installation in `dir`; returns the lines of what could not be removed.
std::string RemoveInstallation(const std::string& dir) {
    std::string failed;
    for (const PayloadEntry& entry : kPayloadEntries) {
        std::string path = JoinPath(dir, entry.name);
        // A file in use may take a moment to be released by a program just closed.
        bool removed = RemoveFile(path);
        for (int attempt = 0; !removed && attempt < 10; attempt++) {
            Sleep(100);
            removed = RemoveFile(path);
        }
        if (!removed) failed += path + "\r\n";
    }
    std::string desktop = DesktopDirectory();
    std::string link = LinkFileName(ShortcutPath(desktop));
    if (!desktop.empty() && FileExists(link) &&
        PathsEqual(ShortcutTarget(link), JoinPath(dir, kProgramFileName)) && !RemoveFile(link))
        failed += link + "\r\n";
    // Only an empty directory goes: files of the user's own stay, and so does the directory.
    RemoveDirectoryA(dir.c_str());
    // The record goes last, and stays while anything of ours is left, so the user can finish
    // the removal later. Paths compare normalised: an installation into a drive root builds
    // "D:\\青岚笺语", while this program finds itself in "D:\青岚笺语".
    const std::string recorded = ReadInstallLocation(kUninstallKey);
    const bool ours = PathsEqual(recorded, dir);
    if (failed.empty() && ours) DeleteUninstallEntry(kUninstallKey);
    // A record that stays is named, whatever kept it: never a success while it is there.
    if (UninstallEntryExists(kUninstallKey)) {
        failed += "HKEY_CURRENT_USER\\" + std::string(kUninstallKey);
        if (!ours) failed += "（记录的安装位置：" + recorded + "）";
        failed += "\r\n";
    }
    return failed;
}

std::string InUseMessage(const std::string& dir, const std::string& busy) {
    if (PathsEqual(busy, JoinPath(dir, kProgramFileName))) return kUninstallProgramRunning;
    char text[MAX_PATH + 128];
    snprintf(text, sizeof(text), kUninstallFileInUse, NormalisePath(busy).c_str());
    return text;
}

// A new directory of its own under %TEMP%, named so that nobody can prepare it beforehand: the
// copy runs there, away from whatever other programs left in %TEMP%. "" when none can be made.
std::string NewRemovalDirectory() {
    char temp[MAX_PATH + 1] = {};
    if (!GetTempPathA(MAX_PATH, temp)) return "";
    for (int attempt = 0; attempt < 8; attempt++) {
        unsigned int high = 0, low = 0;
        if (rand_s(&high) != 0 || rand_s(&low) != 0) return "";
        char name[48];
        snprintf(name, sizeof(name), "qinglan-uninstall-%08x%08x", high, low);
        std::string dir = std::string(temp) + name;
        // Fails when the name exists already: never a directory someone else made.
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    }
    return "";
}

// Starts a copy of this program from a new directory under %TEMP% to do the removal.
bool StartRemovalCopy(const std::string& self, const std::string& dir, bool quiet) {
    std::string copyDir = NewRemovalDirectory();
    if (copyDir.empty()) return false;
    std::string copy = copyDir + "\\qinglan-uninstall.exe";
    if (!CopyFileA(self.c_str(), copy.c_str(), TRUE)) {
        RemoveDirectoryA(copyDir.c_str());
        return false;
    }
    std::string commandLine = "\"" + copy + "\" --remove \"" + dir + "\" --after " +
                              std::to_string(GetCurrentProcessId()) + (quiet ? " --quiet" : "");
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        copyDir.c_str(), &startup, &process)) {
        DeleteFileA(copy.c_str());
        RemoveDirectoryA(copyDir.c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int RunRemoval(const Options& o) {
    if (HANDLE original = OpenProcess(SYNCHRONIZE, FALSE, o.afterPid)) {
        WaitForSingleObject(original, 30000);
        CloseHandle(original);
    }
    // A program just closed may take a moment to let go of its files.
    std::string busy = PayloadFileInUse(o.removeDir);
    for (int attempt = 0; !busy.empty() && attempt < 10; attempt++) {
        Sleep(100);
        busy = PayloadFileInUse(o.removeDir);
    }
    if (!busy.empty()) {
        if (!o.quiet)
            MessageBoxExA(nullptr, InUseMessage(o.removeDir, busy).c_str(), kTitle,
                          MB_OK | MB_ICONWARNING, 0);
        return 1;
    }
    std::string failed = RemoveInstallation(o.removeDir);
    // This copy and then its directory under %TEMP% go the next time Windows starts.
    MoveFileExA(OwnPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(ParentPath(OwnPath()).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (!o.quiet) {
        if (failed.empty()) {
            MessageBoxExA(nullptr, "青岚笺语写作已从您的计算机中卸载。", kTitle,
                          MB_OK | MB_ICONINFORMATION, 0);
        } else {
            std::string text =
                "以下内容无法删除（可能正在使用），请关闭相关程序后手动删除：\r\n" + failed;
            MessageBoxExA(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONWARNING, 0);
        }
    }
    return failed.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    Options o = ParseOptions();
    if (!o.removeDir.empty()) return RunRemoval(o);

    std::string self = OwnPath();
    std::string dir = ParentPath(self);
    if (dir.empty()) return 1;
    if (!o.quiet && MessageBoxExA(nullptr, "确定要卸载“青岚笺语写作”及其全部组件吗？", kTitle,
                                  MB_YESNO | MB_ICONQUESTION, 0) != IDYES)
        return 0;
    if (!StartRemovalCopy(self, dir, o.quiet)) {
        if (!o.quiet)
            MessageBoxExA(nullptr, "无法启动卸载：临时目录不可写。", kTitle, MB_OK | MB_ICONERROR,
                          0);
        return 1;
    }
    return 0;
}

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
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "dll_search.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "install.h"
#include "paths.h"
#include "payload_entries.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

constexpr char kTitle[] = "卸载程序";

// Shows a GBK text in a box with the uninstaller's title; the system's answer.
int Say(const std::string& text, UINT flags) {
    return MessageBoxExW(nullptr, WideFromGbk(text).c_str(), WideFromGbk(kTitle).c_str(), flags, 0);
}

struct Options {
    bool quiet = false;
    std::wstring removeDir;
    DWORD afterPid = 0;
};

// The arguments as the system gives them (UTF-16): a directory passed by the first process
// arrives whole whatever the system's code page.
Options ParseOptions() {
    Options o;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return o;
    for (int i = 1; i < argc; i++) {
        if (wcscmp(argv[i], L"--quiet") == 0 || _wcsicmp(argv[i], L"/S") == 0)
            o.quiet = true;
        else if (wcscmp(argv[i], L"--remove") == 0 && i + 1 < argc)
            o.removeDir = argv[++i];
        else if (wcscmp(argv[i], L"--after") == 0 && i + 1 < argc)
            o.afterPid = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10));
    }
    LocalFree(argv);
    return o;
}

std::wstring OwnPath() {
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

// Everything before the last separator; "" when there is none.
std::wstring ParentOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool RemoveFile(const std::string& path) {
    if (!FileExists(path)) return true;
    SetFileAttributesW(WideFromGbk(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFilePath(path);
}

// Whether the shell link `link` starts `program` (a GBK path).
bool LinkStarts(const std::wstring& link, const std::string& program) {
    std::string target;
    return GbkFromWide(ShortcutTarget(link), &target) && PathsEqual(target, program);
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
    // The desktop is the user's: its path stays UTF-16.
    const std::wstring link = ShortcutFile(DesktopDirectory());
    if (!link.empty() && FileExists(link) && LinkStarts(link, JoinPath(dir, kProgramFileName))) {
        SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFilePath(link)) failed += GbkForDisplay(link) + "\r\n";
    }
    // Only an empty directory goes: files of the user's own stay, and so does the directory.
    RemoveDirectoryW(WideFromGbk(dir).c_str());
    // The record goes last, and only when it names this place: another installation's record is
    // none of this removal's business. Ours stays while anything of ours is left, so the user can
    // finish the removal later, and is named then. Paths compare normalised: an installation into
    // a drive root builds "D:\\青岚笺语", while this program finds itself in "D:\青岚笺语".
    if (!PathsEqual(ReadInstallLocation(kUninstallKey), dir)) return failed;
    if (failed.empty()) DeleteUninstallEntry(kUninstallKey);
    if (UninstallEntryExists(kUninstallKey))
        failed += "HKEY_CURRENT_USER\\" + std::string(kUninstallKey) + "\r\n";
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
// UTF-16: %TEMP% lies in the user's profile, whose name may hold characters GBK has not.
std::wstring NewRemovalDirectory() {
    wchar_t temp[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH, temp)) return L"";
    for (int attempt = 0; attempt < 8; attempt++) {
        unsigned int high = 0, low = 0;
        if (rand_s(&high) != 0 || rand_s(&low) != 0) return L"";
        wchar_t name[48];
        swprintf(name, 48, L"qinglan-uninstall-%08x%08x", high, low);
        std::wstring dir = std::wstring(temp) + name;
        // Fails when the name exists already: never a directory someone else made.
        if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
    }
    return L"";
}

// Starts a copy of this program from a new directory under %TEMP% to do the removal.
bool StartRemovalCopy(const std::wstring& self, const std::wstring& dir, bool quiet) {
    std::wstring copyDir = NewRemovalDirectory();
    if (copyDir.empty()) return false;
    std::wstring copy = copyDir + L"\\qinglan-uninstall.exe";
    if (!CopyFileW(self.c_str(), copy.c_str(), TRUE)) {
        RemoveDirectoryW(copyDir.c_str());
        return false;
    }
    std::wstring commandLine = L"\"" + copy + L"\" --remove \"" + dir + L"\" --after " +
                               std::to_wstring(GetCurrentProcessId()) + (quiet ? L" --quiet" : L"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        copyDir.c_str(), &startup, &process)) {
        DeleteFileW(copy.c_str());
        RemoveDirectoryW(copyDir.c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The installation's directory in GBK, as the installer named it; false (after saying so unless
// quiet) when its name has no GBK form: it was moved or renamed since, and the installer's paths
// cannot name it.
bool InstallationDirectory(const std::wstring& dir, bool quiet, std::string* gbk) {
    if (!dir.empty() && GbkFromWide(dir, gbk)) return true;
    if (!quiet) {
        char text[1024];
        snprintf(text, sizeof(text), kUninstallDirectoryCharacters, GbkForDisplay(dir).c_str());
        Say(text, MB_OK | MB_ICONERROR);
    }
    return false;
}

int RunRemoval(const Options& o) {
    if (HANDLE original = OpenProcess(SYNCHRONIZE, FALSE, o.afterPid)) {
        WaitForSingleObject(original, 30000);
        CloseHandle(original);
    }
    std::string dir;
    if (!InstallationDirectory(o.removeDir, o.quiet, &dir)) return 1;
    // A program just closed may take a moment to let go of its files.
    std::string busy = PayloadFileInUse(dir);
    for (int attempt = 0; !busy.empty() && attempt < 10; attempt++) {
        Sleep(100);
        busy = PayloadFileInUse(dir);
    }
    if (!busy.empty()) {
        if (!o.quiet) Say(InUseMessage(dir, busy), MB_OK | MB_ICONWARNING);
        return 1;
    }
    std::string failed = RemoveInstallation(dir);
    // This copy and then its directory under %TEMP% go the next time Windows starts.
    const std::wstring self = OwnPath();
    MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(ParentOf(self).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (!o.quiet) {
        if (failed.empty())
            Say("青岚笺语写作已从您的计算机中卸载。", MB_OK | MB_ICONINFORMATION);
        else
            Say("以下内容无法删除（可能正在使用），请关闭相关程序后手动删除：\r\n" + failed,
                MB_OK | MB_ICONWARNING);
    }
    return failed.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    Options o = ParseOptions();
    if (!o.removeDir.empty()) return RunRemoval(o);

    const std::wstring self = OwnPath();
    const std::wstring dir = ParentOf(self);
    std::string checked;
    if (!InstallationDirectory(dir, o.quiet, &checked)) return 1;
    if (!o.quiet &&
        Say("确定要卸载“青岚笺语写作”及其全部组件吗？", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (!StartRemovalCopy(self, dir, o.quiet)) {
        if (!o.quiet) Say("无法启动卸载：临时目录不可写。", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}

// payload-planting DIR: the program and the uninstaller started from DIR, a folder full of decoy
// DLLs named after system libraries (each leaves NAME.dll.loaded beside itself when loaded). The
// same decoys are put into %TEMP% for the run, where the uninstaller's removal copy starts. The
// program's window is opened and closed; the uninstaller is confirmed, its copy's report read and
// closed. Fails when any decoy was loaded, when a step does not happen, when the copy ran
// straight from %TEMP% rather than from a new directory of its own there, or when anything of the
// copy stays once it has ended.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "window_probe.h"

namespace {

constexpr char kUninstallTitle[] = "卸载程序";
constexpr char kDoneText[] = "青岚笺语写作已从您的计算机中卸载。";
constexpr char kWriterClass[] = "QinglanWriterWindow";
constexpr DWORD kDeadlineMs = 30000;

int g_failures = 0;

void Fail(const std::string& what) {
    std::printf("payload-planting: FAIL %s\n", what.c_str());
    g_failures++;
}

// A visible window of the class (and title, unless nullptr) of any process but `notPid`.
HWND WaitForWindow(const char* cls, const char* title, DWORD notPid = 0) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows())
                if (IsWindowVisible(hwnd) && ProcessOf(hwnd) != notPid && ClassOf(hwnd) == cls &&
                    (!title || TextOf(hwnd, "") == title)) {
                    found = hwnd;
                    return true;
                }
            return false;
        },
        kDeadlineMs, 50);
    return found;
}

// Starts `program` in `dir`; the process handle, nullptr on failure.
HANDLE Start(const std::string& program, const std::string& dir) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool Ended(HANDLE process) {
    bool ended = WaitForSingleObject(process, kDeadlineMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::vector<std::string> Files(const std::string& dir, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

void RunWriter(const std::string& dir) {
    HANDLE writer = Start(dir + "\\青岚笺语写作.exe", dir);
    if (!writer) return Fail("the program did not start");
    HWND window = WaitForWindow(kWriterClass, nullptr);
    if (!window) Fail("the program showed no window");
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!Ended(writer)) Fail("the program did not end after WM_CLOSE");
}

void RunUninstaller(const std::string& dir, const std::string& temp) {
    HANDLE original = Start(dir + "\\卸载程序.exe", dir);
    if (!original) return Fail("the uninstaller did not start");
    DWORD originalPid = GetProcessId(original);
    HWND ask = WaitForWindow("#32770", kUninstallTitle);
    if (!ask) return Fail("the uninstaller did not ask");
    PostMessageA(GetDlgItem(ask, IDYES), BM_CLICK, 0, 0);
    if (!Ended(original)) Fail("the uninstaller did not end once its copy had decided");

    HWND report = WaitForWindow("#32770", kUninstallTitle, originalPid);
    if (!report) return Fail("the removal copy reported nothing");
    std::string text = TextOf(GetDlgItem(report, 0xFFFF), "");
    if (text != kDoneText) Fail("the copy reported: " + text);
    DWORD copyPid = 0;
    GetWindowThreadProcessId(report, &copyPid);
    HANDLE copy = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copyPid);
    char image[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    if (!copy || !QueryFullProcessImageNameA(copy, 0, image, &size))
        return Fail("the copy's file name cannot be read");
    std::string copyDir = ParentOf(image);
    std::printf("payload-planting: the removal copy ran as %s\n", image);
    if (lstrcmpiA((copyDir + "\\").c_str(), temp.c_str()) == 0 ||
        lstrcmpiA(ParentOf(copyDir).append("\\").c_str(), temp.c_str()) != 0 ||
        copyDir.find("\\qinglan-uninstall-") == std::string::npos)
        Fail("the copy did not run from a new directory of its own under %TEMP%");
    PostMessageA(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
    if (!Ended(copy)) Fail("the copy did not end after its report");
    // Nothing of the copy stays: its file (wherever it moved) and its directory go with it.
    auto gone = [](const std::string& path) {
        return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    };
    for (const std::string& left : {std::string(image), copyDir, copyDir + ".exe"})
        if (!WaitFor([&] { return gone(left); }, 2000)) Fail("the copy left " + left);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: payload-planting DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    char tempBuffer[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, tempBuffer);
    std::string temp = tempBuffer;  // ends in "\"

    std::vector<std::string> planted;  // decoys put into %TEMP% for this run
    for (const std::string& name : Files(dir, "*.dll"))
        if (CopyFileA((dir + "\\" + name).c_str(), (temp + name).c_str(), TRUE))
            planted.push_back(name);

    RunWriter(dir);
    RunUninstaller(dir, temp);

    std::vector<std::string> loaded = Files(dir, "*.loaded");
    for (const std::string& name : planted) {
        if (GetFileAttributesA((temp + name + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES)
            loaded.push_back("%TEMP%\\" + name + ".loaded");
        DeleteFileA((temp + name + ".loaded").c_str());
        DeleteFileA((temp + name).c_str());
    }
    for (const std::string& name : loaded) Fail("decoy loaded: " + name);
    std::printf("payload-planting: %zu decoys beside the programs, %zu in %%TEMP%%, %d failures\n",
                Files(dir, "*.dll").size(), planted.size(), g_failures);
    return g_failures ? 1 : 0;
}

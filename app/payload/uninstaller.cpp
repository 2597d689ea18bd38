// 卸载程序: removes what the installer placed, after asking. It deletes only the files it knows
// from the payload, in its own directory, the desktop shortcut when that points at the program it
// installed, and the installation record when that names its directory; whatever could not be
// removed is named, never passed over.
//
// A running program cannot delete itself, so the uninstaller copies itself into a new directory
// under %TEMP% and lets the copy do the work:
//   卸载程序.exe [--quiet | /S]     asks (unless quiet), starts the copy, waits for its decision
//                                   and ends with its result
//   copy --remove DIR --first H --answer H --image H [--quiet]
//                                   removes, hands its result over, removes the first process's
//                                   own file once that process has ended, reports (unless quiet)
// H are handles the copy inherits: the first process itself, the pipe the result goes back
// through and the copy's own file, which goes when the copy ends. /S is the installer's switch for
// --quiet. Nothing is removed while a file of the installation is in use (the program runs): the
// copy names it instead. The result is 0 when everything is gone, 1 otherwise.
#define _CRT_RAND_S  // rand_s: the removal copy's directory name
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "dll_search.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "handles.h"
#include "install.h"
#include "message_text.h"
#include "paths.h"
#include "payload_entries.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

constexpr char kTitle[] = "卸载程序";
constexpr wchar_t kCopyDirectoryPrefix[] = L"qinglan-uninstall-";
constexpr wchar_t kCopyName[] = L"qinglan-uninstall.exe";
constexpr DWORD kFirstProcessEndsMs = 30000;
constexpr DWORD kCopyEndsMs = 30000;

// Shows a GBK text in a box with the uninstaller's title; the system's answer.
int Say(const std::string& text, UINT flags) {
    return MessageBoxGbk(nullptr, text, kTitle, flags);
}

struct Options {
    bool quiet = false;
    std::wstring removeDir;
    HANDLE first = nullptr;   // the first process, inherited by the copy
    HANDLE answer = nullptr;  // the pipe the copy's result goes back through
    HANDLE image = nullptr;   // the copy's own file, deleted when the copy ends
};

HANDLE HandleFrom(const wchar_t* text) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoull(text, nullptr, 10)));
}

std::wstring TextOf(HANDLE handle) {
    return std::to_wstring(reinterpret_cast<uintptr_t>(handle));
}

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
        else if (wcscmp(argv[i], L"--first") == 0 && i + 1 < argc)
            o.first = HandleFrom(argv[++i]);
        else if (wcscmp(argv[i], L"--answer") == 0 && i + 1 < argc)
            o.answer = HandleFrom(argv[++i]);
        else if (wcscmp(argv[i], L"--image") == 0 && i + 1 < argc)
            o.image = HandleFrom(argv[++i]);
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

std::wstring SystemDirectory() {
    wchar_t buf[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryW(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

bool RemoveFile(const std::string& path) {
    if (!FileExists(path)) return true;
    SetFileAttributesW(WideFromGbk(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFilePath(path);
}

// A file in use may take a moment to be released by a program just closed.
bool RemoveFileSoon(const std::string& path) {
    bool removed = RemoveFile(path);
    for (int attempt = 0; !removed && attempt < 10; attempt++) {
        Sleep(100);
        removed = RemoveFile(path);
    }
    return removed;
}

// Whether the shell link `link` starts `program` (a GBK path).
bool LinkStarts(const std::wstring& link, const std::string& program) {
    std::string target;
    return GbkFromWide(ShortcutTarget(link), &target) && PathsEqual(target, program);
}

// The uninstaller's own file in `dir`: the first process runs from it until the copy has decided.
std::string OwnFile(const std::string& dir) {
    return JoinPath(dir, kUninstallerEntry);
}

// The in-use check of the installation, leaving out the first process's own file.
class AllButOwnFile : public TargetFileSystem {
  public:
    explicit AllButOwnFile(const std::string& dir) : own_(OwnFile(dir)) {}
    bool IsFileInUse(const std::string& path) override {
        return !PathsEqual(path, own_) && TargetFileSystem::IsFileInUse(path);
    }

  private:
    std::string own_;
};

// Removes the installation in `dir` but the first process's own file; returns the lines of what
// could not be removed.
std::string RemoveAllButOwnFile(const std::string& dir) {
    std::string failed;
    const std::string own = OwnFile(dir);
    for (const PayloadEntry& entry : kPayloadEntries) {
        std::string path = JoinPath(dir, entry.name);
        if (path != own && !RemoveFileSoon(path)) failed += path + "\r\n";
    }
    // The desktop is the user's: its path stays UTF-16.
    const std::wstring link = ShortcutFile(DesktopDirectory());
    if (!link.empty() && FileExists(link) && LinkStarts(link, JoinPath(dir, kProgramFileName))) {
        SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFilePath(link)) failed += GbkForDisplay(link) + "\r\n";
    }
    return failed;
}

// What is left once the first process has ended: its own file, the directory (only when empty:
// files of the user's own stay, and so does the directory) and the record; returns the lines of
// what could not be removed. `failed` lists what could not be removed before.
std::string FinishRemoval(const std::string& dir, const std::string& failed) {
    std::string left;
    if (!RemoveFileSoon(OwnFile(dir))) left += OwnFile(dir) + "\r\n";
    RemoveDirectoryW(WideFromGbk(dir).c_str());
    // The record goes last, and only when it names this place: another installation's record is
    // none of this removal's business. Ours stays while anything of ours is left, so the user can
    // finish the removal later, and is named then. Paths compare normalised: an installation into
    // a drive root builds "D:\\青岚笺语", while this program finds itself in "D:\青岚笺语".
    if (!PathsEqual(ReadInstallLocation(kUninstallKey), dir)) return left;
    if (failed.empty() && left.empty()) DeleteUninstallEntry(kUninstallKey);
    if (UninstallEntryExists(kUninstallKey))
        left += "HKEY_CURRENT_USER\\" + std::string(kUninstallKey) + "\r\n";
    return left;
}

std::string InUseMessage(const std::string& dir, const std::string& busy) {
    if (PathsEqual(busy, JoinPath(dir, kProgramFileName))) return kUninstallProgramRunning;
    return FormatMessageText(kUninstallFileInUse, NormalisePath(busy));
}

// The installation's directory in GBK, as the installer named it; false when its name has no GBK
// form: it was moved or renamed since, and the installer's paths cannot name it.
bool InstallationDirectory(const std::wstring& dir, std::string* gbk) {
    return !dir.empty() && GbkFromWide(dir, gbk);
}

std::string DirectoryCharactersMessage(const std::wstring& dir) {
    return FormatMessageText(kUninstallDirectoryCharacters, GbkForDisplay(dir));
}

// ---- the removal copy ----------------------------------------------------------------------

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
        swprintf(name, 48, L"%ls%08x%08x", kCopyDirectoryPrefix, high, low);
        std::wstring dir = std::wstring(temp) + name;
        // Fails when the name exists already: never a directory someone else made.
        if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
    }
    return L"";
}

// Places the copy of `self` in a new directory under %TEMP%, as `*copy`, and opens it with
// FILE_FLAG_DELETE_ON_CLOSE for the copy to inherit and never close: the file then goes when the
// copy has ended, or at once when the handle is closed without starting it. That needs no more
// than the user's own rights, unlike MoveFileEx's removal at the next start of Windows, which
// Windows allows administrators only. Empty when the copy cannot be placed.
KernelHandle PlaceCopy(const std::wstring& self, std::wstring* copy) {
    const std::wstring copyDir = NewRemovalDirectory();
    if (copyDir.empty()) return {};
    *copy = copyDir + L"\\" + kCopyName;
    if (CopyFileW(self.c_str(), copy->c_str(), TRUE)) {
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        // Delete access only, and shared for reading: the system opens the file again to run it.
        // A virus scanner looking at the new file may hold it a moment without sharing deletion.
        for (int attempt = 0; attempt < 10; attempt++) {
            KernelHandle file(CreateFileW(copy->c_str(), DELETE,
                                          FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                          OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (file) return file;
            if (GetLastError() != ERROR_SHARING_VIOLATION) break;
            Sleep(100);
        }
        DeleteFileW(copy->c_str());
    }
    RemoveDirectoryW(copyDir.c_str());
    return {};
}

// Starts `program` with exactly the handles `inherited` handed down (a caller's handles the first
// process inherited, such as a script's output pipe, stay out of the copy), in the system
// directory, so the copy's own directory is nobody's current directory.
bool StartWithHandles(const std::wstring& program, std::wstring commandLine,
                      std::vector<HANDLE> inherited, PROCESS_INFORMATION* process) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> buffer(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer.data());
    if (size == 0 || !InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
    struct AttributeList {
        LPPROC_THREAD_ATTRIBUTE_LIST list;
        ~AttributeList() { DeleteProcThreadAttributeList(list); }
    } owner{attributes};
    if (!UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                   inherited.data(), inherited.size() * sizeof(HANDLE), nullptr,
                                   nullptr))
        return false;
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = attributes;
    const std::wstring system = SystemDirectory();
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                          EXTENDED_STARTUPINFO_PRESENT, nullptr,
                          system.empty() ? nullptr : system.c_str(), &startup.StartupInfo, process);
}

// Starts the removal copy for the installation in `dir` and waits until it has decided: its
// result, or -1 when it could not be started.
int RemoveThroughCopy(const std::wstring& self, const std::wstring& dir, bool quiet) {
    std::wstring copy;
    KernelHandle image = PlaceCopy(self, &copy);
    if (!image) return -1;
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    KernelHandle first, readEnd, writeEnd;
    // The copy waits on this process by its handle, never by an id that may be another
    // process's once this one has ended.
    const bool prepared =
        DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), first.out(),
                        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0) &&
        CreatePipe(readEnd.out(), writeEnd.out(), &inherited, 0) &&
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    const std::wstring commandLine = L"\"" + copy + L"\" --remove \"" + dir + L"\" --first " +
                                     TextOf(first.get()) + L" --answer " + TextOf(writeEnd.get()) +
                                     L" --image " + TextOf(image.get()) +
                                     (quiet ? L" --quiet" : L"");
    PROCESS_INFORMATION started = {};
    if (!prepared || !StartWithHandles(copy, commandLine,
                                       {image.get(), first.get(), writeEnd.get()}, &started)) {
        image.reset();  // deletes the copy
        RemoveDirectoryW(ParentOf(copy).c_str());
        return -1;
    }
    KernelHandle process(started.hProcess), thread(started.hThread);
    // The copy holds the only write end now: a copy that ends without answering breaks the pipe.
    writeEnd.reset();
    DWORD answer = 0, read = 0;
    if (ReadFile(readEnd.get(), &answer, sizeof(answer), &read, nullptr) && read == sizeof(answer))
        return static_cast<int>(answer);
    DWORD code = 1;
    if (WaitForSingleObject(process.get(), kCopyEndsMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code))
        return 1;
    return static_cast<int>(code);
}

// Only the uninstaller starts the copy, and it hands over its own process, the answer pipe and
// the copy's file: a copy started any other way does nothing.
bool StartedByTheUninstaller(const Options& o) {
    return o.first && o.answer && o.image && GetProcessId(o.first) != 0 &&
           GetFileType(o.answer) == FILE_TYPE_PIPE && GetFileType(o.image) == FILE_TYPE_DISK;
}

// The copy's file moves out of its directory, which then goes at once (a running program may be
// renamed on its volume); the file itself goes when the copy ends (PlaceCopy). Renamed through
// the handle that deletes it, so that handle goes on naming it.
void LeaveOwnDirectory(HANDLE image) {
    const std::wstring dir = ParentOf(OwnPath());
    const size_t name = dir.find_last_of(L"\\/") + 1;
    if (dir.compare(name, wcslen(kCopyDirectoryPrefix), kCopyDirectoryPrefix) != 0) return;
    const std::wstring target = L"\\??\\" + dir + L".exe";  // the system's own form of the path
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    memcpy(rename->FileName, target.c_str(), (target.size() + 1) * sizeof(wchar_t));
    if (SetFileInformationByHandle(image, FileRenameInfo, rename,
                                   static_cast<DWORD>(buffer.size())))
        RemoveDirectoryW(dir.c_str());
}

void Answer(HANDLE answer, DWORD result) {
    DWORD written = 0;
    WriteFile(answer, &result, sizeof(result), &written, nullptr);
}

int RunRemoval(const Options& o) {
    if (!StartedByTheUninstaller(o)) return 1;
    KernelHandle first(o.first), answer(o.answer);
    LeaveOwnDirectory(o.image);
    std::string dir, refusal, failed;  // refusal: why nothing is removed
    UINT refusalIcon = MB_ICONWARNING;
    if (!InstallationDirectory(o.removeDir, &dir)) {
        refusal = DirectoryCharactersMessage(o.removeDir);
        refusalIcon = MB_ICONERROR;
    } else {
        // A program just closed may take a moment to let go of its files.
        AllButOwnFile fileSystem(dir);
        std::string busy = PayloadFileInUse(dir, &fileSystem);
        for (int attempt = 0; !busy.empty() && attempt < 10; attempt++) {
            Sleep(100);
            busy = PayloadFileInUse(dir, &fileSystem);
        }
        if (!busy.empty())
            refusal = InUseMessage(dir, busy);
        else
            failed = RemoveAllButOwnFile(dir);
    }
    // The first process ends with this result; its own file can only go after that.
    Answer(answer.get(), refusal.empty() && failed.empty() ? 0 : 1);
    answer.reset();
    if (refusal.empty()) {
        WaitForSingleObject(first.get(), kFirstProcessEndsMs);
        failed += FinishRemoval(dir, failed);
    }
    if (!o.quiet) {
        if (!refusal.empty())
            Say(refusal, MB_OK | refusalIcon);
        else if (!failed.empty())
            Say("以下内容无法删除（可能正在使用），请关闭相关程序后手动删除：\r\n" + failed,
                MB_OK | MB_ICONWARNING);
        else
            Say("青岚笺语写作已从您的计算机中卸载。", MB_OK | MB_ICONINFORMATION);
    }
    return refusal.empty() && failed.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    Options o = ParseOptions();
    if (!o.removeDir.empty()) return RunRemoval(o);

    const std::wstring self = OwnPath();
    const std::wstring dir = ParentOf(self);
    std::string checked;
    if (!InstallationDirectory(dir, &checked)) {
        if (!o.quiet) Say(DirectoryCharactersMessage(dir), MB_OK | MB_ICONERROR);
        return 1;
    }
    if (!o.quiet &&
        Say("确定要卸载“青岚笺语写作”及其全部组件吗？", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    const int result = RemoveThroughCopy(self, dir, o.quiet);
    if (result < 0) {
        if (!o.quiet) Say("无法启动卸载：临时目录不可写。", MB_OK | MB_ICONERROR);
        return 1;
    }
    return result;
}

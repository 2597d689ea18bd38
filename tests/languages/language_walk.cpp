// The installer under one ANSI code page, from outside its process: a silent installation and its
// removal, the same with a profile whose desktop and temporary folder hold characters GBK has no
// code for, the wizard walked page by page, the empty-directory message box and the skin gallery.
// Files, shortcut, installation record and every window text must be what the product says, and
// the screenshots must equal those of the run under code page 936.
//
// The driver runs under the same Unix locale, and so the same ANSI code page, as the installer it
// starts. It therefore never lets the system convert a text: expectations written in GBK are
// converted with code page 936, those written in UTF-8 with CP_UTF8, everything read from the
// system (window texts, file names, registry values, shortcut paths) is read as UTF-16, and what
// it prints is UTF-8.
//
// language-walk [gtest flags] CODE-PAGE INSTALLER GALLERY DRIVE: DRIVE-UNIX-DIR SHOT-DIR
// [REFERENCE-DIR]
//   Without REFERENCE-DIR the run writes the reference (screenshots, record.txt, run.txt) to
//   SHOT-DIR; with it, every screenshot and the record are compared with the reference's.
// language-walk --tidy DRIVE:
//   Ends the programs a run left behind and points the desktop back at the profile's own, after a
//   run that may have been stopped half-way.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>
#include <winioctl.h>
#include <objidl.h>  // PROPID and IStream, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "control_ids.h"
#include "handles.h"
#include "page_controls.h"
#include "payload_entries.h"
#include "product_info.h"
#include "product_texts.h"
#include "screen_pixels.h"
#include "shortcut_reader.h"
#include "texts.h"
#include "uninstall_entry.h"
#include "window_probe.h"  // WaitFor and Pause only: its text helpers go through the code page

namespace {

// ---- configuration ---------------------------------------------------------------------------

constexpr DWORD kStartDeadlineMs = 30000;
constexpr DWORD kUiDeadlineMs = 5000;
constexpr DWORD kDialogTextDeadlineMs = 2000;  // the folder dialog's texts come with the dialog
constexpr DWORD kInstallDeadlineMs = 90000;
constexpr DWORD kExitDeadlineMs = 10000;
constexpr DWORD kRemovalDeadlineMs = 30000;
constexpr DWORD kSettleFirstMs = 300;
constexpr DWORD kSettleDeadlineMs = 4000;
constexpr DWORD kSettleStepMs = 100;
constexpr DWORD kFadeDeadlineMs = 3000;
constexpr BYTE kBoxFinalAlpha = 250;
constexpr UINT kSendTimeoutMs = 2000;
constexpr int kPixelTolerance = 1;  // levels per channel
// A message box's ground shows the skin's base colour, which the skin estimates from 2000 pixels
// of its picture taken at random: it differs by a few levels from start to start, whatever the
// code page (seen: up to 3 between two starts under 936). Glyphs differ by far more.
constexpr int kBoxGroundTolerance = 4;

constexpr wchar_t kWizardClass[] = L"" QL_WIZARD_CLASS;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kGalleryClass[] = L"QinglanSkinGallery";
constexpr wchar_t kWriterClass[] = L"QinglanWriterWindow";
// GBK, as the programs write them.
constexpr char kProgramTitle[] = "青岚笺语写作";
constexpr char kUninstallerTitle[] = "卸载程序";
constexpr char kUninstallQuestion[] = "确定要卸载“青岚笺语写作”及其全部组件吗？";
constexpr wchar_t kGalleryTitle[] = L"青岚笺语 皮肤一览";
// The directory /D= names below the scratch drive: Chinese characters and spaces.
constexpr wchar_t kTargetName[] = L"青岚 测试 目录";
// Profile folders with characters outside GBK: a Hangul syllable and an emoji.
constexpr wchar_t kProfileMarker[] = L"ql-language-profile";
constexpr wchar_t kProfileName[] = L"ql-language-profile 김 😀";
constexpr wchar_t kOddDesktopName[] = L"바탕 화면 김";
constexpr wchar_t kOddTempName[] = L"임시 김 😀";
constexpr wchar_t kLogDirName[] = L"ql-logs";
constexpr wchar_t kUninstallRoot[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Config {
    UINT codePage = 0;
    std::wstring installer, gallery;
    std::wstring drive;  // "T:"
    std::string driveUnix;
    std::wstring shots;      // this run's screenshots
    std::wstring reference;  // the 936 run's, empty when this run is the reference
    bool IsReference() const { return reference.empty(); }
};
Config g_config;

// Runs a step that reports its own failures and stops the test after a fatal one.
#define ASSERT_STEP(statement)                          \
    do {                                                \
        statement;                                      \
        if (::testing::Test::HasFatalFailure()) return; \
    } while (0)

// ---- texts -----------------------------------------------------------------------------------

std::wstring Decode(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return L"";
    int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

// The installer's headers hold GBK literals: their code page is 936 whatever the system's is.
std::wstring FromGbk(const std::string& gbk) {
    return Decode(936, gbk);
}
std::wstring FromUtf8(const std::string& utf8) {
    return Decode(CP_UTF8, utf8);
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return "";
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n,
                            nullptr, nullptr);
    return bytes;
}

// UTF-8 for a failure message, with line breaks made visible.
std::string Shown(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else
            out += c;
    }
    return Utf8(out);
}

// "" when equal, else where `shown` first departs from `expected`, a few characters either side.
std::string Difference(const std::wstring& shown, const std::wstring& expected) {
    if (shown == expected) return "";
    if (shown.size() + expected.size() < 120)
        return "reads \"" + Shown(shown) + "\", expected \"" + Shown(expected) + "\"";
    size_t at = 0;
    while (at < shown.size() && at < expected.size() && shown[at] == expected[at]) ++at;
    size_t from = at > 12 ? at - 12 : 0;
    auto excerpt = [&](const std::wstring& text) {
        return std::string(from > 0 ? u8"…" : "") + Shown(text.substr(from, 30)) +
               (from + 30 < text.size() ? u8"…" : "");
    };
    return "differs at character " + std::to_string(at) + " of " + std::to_string(expected.size()) +
           ": reads \"" + excerpt(shown) + "\", expected \"" + excerpt(expected) + "\"";
}

void ExpectText(const std::wstring& shown, const std::wstring& expected, const std::string& what) {
    std::string difference = Difference(shown, expected);
    if (!difference.empty()) ADD_FAILURE() << what << ": " << difference;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Join(const std::vector<std::wstring>& items, const wchar_t* separator = L", ") {
    std::wstring all;
    for (const std::wstring& item : items) all += (all.empty() ? L"" : separator) + item;
    return all;
}

// The Unix path behind a Z: path, for a person to open.
std::string UnixPath(const std::wstring& path) {
    std::wstring p = path;
    if (p.size() >= 2 && (p[0] == L'Z' || p[0] == L'z') && p[1] == L':') p.erase(0, 2);
    std::replace(p.begin(), p.end(), L'\\', L'/');
    return Utf8(p);
}

// ---- files -----------------------------------------------------------------------------------

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in `dir` (directories end in "\"), sorted.
std::vector<std::wstring> ListDirectory(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        names.push_back(name + (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? L"\\" : L""));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Every file and directory below `dir`, relative to it.
void ListTree(const std::wstring& dir, const std::wstring& prefix, std::vector<std::wstring>* out) {
    for (const std::wstring& name : ListDirectory(dir)) {
        out->push_back(prefix + name);
        if (name.back() == L'\\')
            ListTree(dir + L"\\" + name.substr(0, name.size() - 1), prefix + name, out);
    }
}

std::vector<std::wstring> Tree(const std::wstring& dir) {
    std::vector<std::wstring> all;
    ListTree(dir, L"", &all);
    return all;
}

void RemoveTree(const std::wstring& path) {
    if (!IsDirectory(path)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    for (const std::wstring& name : ListDirectory(path))
        RemoveTree(path + L"\\" + (name.back() == L'\\' ? name.substr(0, name.size() - 1) : name));
    RemoveDirectoryW(path.c_str());
}

int64_t SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WriteUtf8File(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    CloseHandle(file);
    return ok;
}

bool ReadBytes(const std::wstring& path, std::string* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes->clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// ---- the product's places --------------------------------------------------------------------

std::wstring TargetDirectory() {
    return g_config.drive + L"\\" + kTargetName;
}
std::wstring ProductDirectory() {
    return TargetDirectory() + FromGbk(kProductSubdir);
}
std::wstring ProgramPath() {
    return ProductDirectory() + L"\\" + FromGbk(kProgramEntry);
}
std::wstring UninstallerPath() {
    return ProductDirectory() + L"\\" + FromGbk(kUninstallerEntry);
}
// HKCU's key of the installation record.
std::wstring RecordKey() {
    return FromGbk(kUninstallKey);
}
std::wstring LogDirectory() {
    return g_config.drive + L"\\" + kLogDirName;
}

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH + 1] = {};
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path)))
        return L"";
    return path;
}

std::wstring ShortcutIn(const std::wstring& desktop) {
    return desktop + L"\\" + FromGbk(kShortcutName) + L".lnk";
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD n = GetEnvironmentVariableW(name, value, 32768);
    return n > 0 && n < 32768 ? std::wstring(value, n) : std::wstring();
}

// ---- processes -------------------------------------------------------------------------------

class Process {
  public:
    Process() = default;
    // Whatever a failed step leaves running is ended, so the next one starts alone.
    ~Process() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // `arguments` follow the quoted program name; started in its own folder.
    bool Start(const std::wstring& program, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" ");
        commandLine += arguments;
        std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &si, &pi))
            return false;
        process_.reset(pi.hProcess);
        CloseHandle(pi.hThread);
        pid_ = pi.dwProcessId;
        return true;
    }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_.get(); }
    bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process still runs at the deadline.
    long WaitExit(DWORD timeoutMs) const {
        if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }

  private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// Ends every program of the product or of a run that is still there: the installer, the
// uninstaller and its removal copy, the installed program, the gallery, and anything started from
// the scratch drive or the odd profile (a garbled installation's programs have garbled names).
// Returns what was ended.
std::vector<std::wstring> EndLeftovers(const std::wstring& drive) {
    const std::vector<std::wstring> names = {L"qinglan-setup.exe", L"qinglan-uninstall.exe",
                                             L"qinglan-skin-gallery.exe",
                                             FromGbk(kUninstallerEntry), FromGbk(kProgramEntry)};
    std::vector<std::wstring> ended;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ended;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) continue;
        HANDLE process =
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                        entry.th32ProcessID);
        if (!process) continue;
        wchar_t image[MAX_PATH * 2] = {};
        DWORD size = MAX_PATH * 2;
        std::wstring path =
            QueryFullProcessImageNameW(process, 0, image, &size) ? image : entry.szExeFile;
        bool ours = std::any_of(names.begin(), names.end(), [&](const std::wstring& n) {
            return SameIgnoringCase(n, entry.szExeFile);
        });
        ours = ours || (!drive.empty() && path.size() > drive.size() &&
                        SameIgnoringCase(path.substr(0, drive.size() + 1), drive + L"\\"));
        ours = ours || path.find(kProfileMarker) != std::wstring::npos;
        if (ours && TerminateProcess(process, 99)) {
            WaitForSingleObject(process, 5000);
            ended.push_back(path);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return ended;
}

// ---- registry --------------------------------------------------------------------------------

struct RegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

bool KeyExists(const std::wstring& key) {
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hkey);
    return true;
}

bool RecordExists() {
    return KeyExists(RecordKey());
}

std::vector<std::wstring> Subkeys(const std::wstring& key) {
    std::vector<std::wstring> names;
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(hkey, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(std::wstring(name, length));
    }
    RegCloseKey(hkey);
    std::sort(names.begin(), names.end());
    return names;
}

// Every value of the key by name; false when the key cannot be opened.
bool ReadValues(const std::wstring& key, std::map<std::wstring, RegValue>* values) {
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return false;
    values->clear();
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(hkey, i, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        RegValue value;
        value.type = type;
        value.data.resize(size);
        nameLength = 16384;
        if (RegEnumValueW(hkey, i, name, &nameLength, nullptr, &type, value.data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        value.data.resize(size);
        (*values)[std::wstring(name, nameLength)] = value;
    }
    RegCloseKey(hkey);
    return true;
}

std::wstring StringOf(const RegValue& value) {
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()),
                      value.data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

bool GetString(const std::wstring& key, const wchar_t* name, std::wstring* text) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, &buffer[0],
                     &size) != ERROR_SUCCESS)
        return false;
    buffer.resize(wcslen(buffer.c_str()));
    *text = buffer;
    return true;
}

bool GetNumber(const std::wstring& key, const wchar_t* name, DWORD* number) {
    DWORD size = sizeof(*number);
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, number,
                        &size) == ERROR_SUCCESS;
}

// One value unexpanded, for putting it back exactly; false when it does not exist.
bool ReadRawValue(const std::wstring& key, const wchar_t* name, RegValue* value) {
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(hkey, name, nullptr, &value->type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value->data.resize(size);
        rc = RegQueryValueExW(hkey, name, nullptr, &value->type, value->data.data(), &size);
    }
    RegCloseKey(hkey);
    return rc == ERROR_SUCCESS;
}

bool WriteRawValue(const std::wstring& key, const wchar_t* name, const RegValue& value) {
    HKEY hkey = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &hkey, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(hkey, name, 0, value.type, value.data.data(),
                             static_cast<DWORD>(value.data.size()));
    RegCloseKey(hkey);
    return rc == ERROR_SUCCESS;
}

RegValue StringValue(DWORD type, const std::wstring& text) {
    RegValue value;
    value.type = type;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

void DeleteValue(const std::wstring& key, const wchar_t* name) {
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &hkey) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(hkey, name);
    RegCloseKey(hkey);
}

// A desktop that a stopped run left pointing into its odd profile goes back to the profile's own.
void RepairDesktopSetting() {
    RegValue raw;
    if (ReadRawValue(kUserShellFolders, L"Desktop", &raw) &&
        StringOf(raw).find(kProfileMarker) != std::wstring::npos) {
        WriteRawValue(kUserShellFolders, L"Desktop",
                      StringValue(REG_EXPAND_SZ, L"%USERPROFILE%\\Desktop"));
        std::printf("tidy: the desktop setting pointed into a run's profile; put back\n");
    }
    if (ReadRawValue(kShellFolders, L"Desktop", &raw) &&
        StringOf(raw).find(kProfileMarker) != std::wstring::npos)
        WriteRawValue(kShellFolders, L"Desktop",
                      StringValue(REG_SZ, Environment(L"USERPROFILE") + L"\\Desktop"));
}

// ---- what a test leaves behind ---------------------------------------------------------------

// Takes back whatever a test made outside the scratch drive, whatever its outcome: records under
// Uninstall that were not there before (a garbled name included), new desktop entries, programs
// left running. The drive itself is emptied but for the target directory and the logs.
class Leftovers {
  public:
    Leftovers() {
        EndLeftovers(g_config.drive);
        ResetDrive();
        // Only this test's installation may answer the record checks.
        if (RecordExists() &&
            RegDeleteTreeW(HKEY_CURRENT_USER, RecordKey().c_str()) == ERROR_SUCCESS)
            std::printf("an installation record from before the test was removed\n");
        uninstallKeys_ = Subkeys(kUninstallRoot);
        desktop_ = DesktopDirectory();
        desktopEntries_ = ListDirectory(desktop_);
    }
    ~Leftovers() {
        for (const std::wstring& path : EndLeftovers(g_config.drive))
            std::printf("left running, ended: %s\n", Utf8(path).c_str());
        for (const std::wstring& key : NewUninstallKeys())
            RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kUninstallRoot) + L"\\" + key).c_str());
        for (const std::wstring& name : NewDesktopEntries()) RemoveTree(desktop_ + L"\\" + name);
        ResetDrive();
    }
    Leftovers(const Leftovers&) = delete;
    Leftovers& operator=(const Leftovers&) = delete;

    std::vector<std::wstring> NewUninstallKeys() const {
        return Added(uninstallKeys_, Subkeys(kUninstallRoot));
    }
    std::vector<std::wstring> NewDesktopEntries() const {
        return Added(desktopEntries_, ListDirectory(desktop_));
    }
    // Watches another desktop too (the odd profile's).
    void WatchDesktop(const std::wstring& dir) {
        extraDesktop_ = dir;
        extraEntries_ = ListDirectory(dir);
    }
    std::vector<std::wstring> NewEntriesOf(const std::wstring& dir) const {
        return Added(dir == extraDesktop_ ? extraEntries_ : desktopEntries_, ListDirectory(dir));
    }

    static void ResetDrive() {
        for (const std::wstring& name : ListDirectory(g_config.drive)) {
            std::wstring bare = name.back() == L'\\' ? name.substr(0, name.size() - 1) : name;
            if (bare != kLogDirName) RemoveTree(g_config.drive + L"\\" + bare);
        }
        CreateDirectoryW(TargetDirectory().c_str(), nullptr);
        CreateDirectoryW(LogDirectory().c_str(), nullptr);
    }

  private:
    static std::vector<std::wstring> Added(const std::vector<std::wstring>& before,
                                           const std::vector<std::wstring>& now) {
        std::vector<std::wstring> added;
        for (const std::wstring& name : now)
            if (std::find(before.begin(), before.end(), name) == before.end())
                added.push_back(name);
        return added;
    }
    std::vector<std::wstring> uninstallKeys_;
    std::wstring desktop_;
    std::vector<std::wstring> desktopEntries_;
    std::wstring extraDesktop_;
    std::vector<std::wstring> extraEntries_;
};

// ---- the installation, checked ---------------------------------------------------------------

// What the drive holds beyond the empty target directory, for failure messages.
std::string DriveReport() {
    std::vector<std::wstring> items;
    for (const std::wstring& item : Tree(g_config.drive))
        if (item.compare(0, wcslen(kLogDirName), kLogDirName) != 0 &&
            item != kTargetName + std::wstring(L"\\"))
            items.push_back(item);
    if (items.size() > 12) {
        size_t more = items.size() - 12;
        items.resize(12);
        items.push_back(L"… " + std::to_wstring(more) + L" more");
    }
    return "the drive " + Utf8(g_config.drive) + "\\ holds " +
           (items.empty() ? std::string("nothing else") : Utf8(Join(items)));
}

void ExpectPayloadFiles(const std::string& step) {
    const std::wstring product = ProductDirectory();
    if (!IsDirectory(product)) {
        ADD_FAILURE() << step << ": no product directory " << Utf8(product) << "; "
                      << DriveReport();
        return;
    }
    std::vector<std::wstring> expected;
    for (const PayloadEntry& e : kPayloadEntries) expected.push_back(FromGbk(e.name));
    std::sort(expected.begin(), expected.end());
    std::vector<std::wstring> listed = ListDirectory(product);
    std::vector<std::wstring> missing, extra;
    for (const std::wstring& name : expected)
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) missing.push_back(name);
    for (const std::wstring& name : listed)
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            extra.push_back(name);
    EXPECT_TRUE(missing.empty() && extra.empty())
        << step << ": " << Utf8(product) << " should hold exactly the " << kPayloadEntryCount
        << " payload files; missing: " << Utf8(Join(missing))
        << "; not expected: " << Utf8(Join(extra));
    for (const PayloadEntry& e : kPayloadEntries) {
        std::wstring path = product + L"\\" + FromGbk(e.name);
        if (!Exists(path)) continue;
        EXPECT_EQ(SizeOf(path), static_cast<int64_t>(e.size))
            << step << ": size of " << Utf8(FromGbk(e.name));
    }
}

class ComInit {
  public:
    ComInit() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComInit() { CoUninitialize(); }
};

void ExpectShortcut(const std::wstring& desktop, const Leftovers& leftovers,
                    const std::string& step) {
    const std::wstring file = ShortcutIn(desktop);
    if (!Exists(file)) {
        ADD_FAILURE() << step << ": no shortcut " << Utf8(file)
                      << "; new on that desktop: " << Utf8(Join(leftovers.NewEntriesOf(desktop)));
        return;
    }
    ShortcutInfo link = ReadShortcut(file);
    ASSERT_TRUE(link.loaded) << step << ": the shortcut " << Utf8(file) << " cannot be read";
    EXPECT_TRUE(SameIgnoringCase(link.target, ProgramPath()))
        << step << ": the shortcut's target is \"" << Utf8(link.target) << "\", expected \""
        << Utf8(ProgramPath()) << "\"";
    // Wine writes and reads a link's plain path in the system's code page (Windows keeps it in
    // UTF-16 too), so under another code page it holds '?' for the Chinese characters; the item
    // list above is what the shell starts.
    if (GetACP() == 936) {
        EXPECT_TRUE(SameIgnoringCase(link.plainPath, ProgramPath()))
            << step << ": the shortcut's plain path is \"" << Utf8(link.plainPath) << "\"";
    }
    EXPECT_TRUE(SameIgnoringCase(link.workingDirectory, ProductDirectory()))
        << step << ": the shortcut's working directory is \"" << Utf8(link.workingDirectory)
        << "\", expected the product directory \"" << Utf8(ProductDirectory()) << "\"";
}

// The record as lines "name<TAB>type<TAB>data" (UTF-8), with the scratch drive written as
// <drive>, so that runs on another letter compare.
std::vector<std::string> RecordLines(const std::map<std::wstring, RegValue>& values) {
    std::vector<std::string> lines;
    for (const auto& entry : values) {
        const RegValue& value = entry.second;
        std::string type, data;
        if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
            type = value.type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ";
            std::wstring text = StringOf(value);
            for (size_t at = 0; (at = text.find(g_config.drive + L"\\", at)) != std::wstring::npos;)
                text.replace(at, g_config.drive.size(), L"<drive>");
            data = Utf8(text);
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            type = "REG_DWORD";
            DWORD number;
            std::memcpy(&number, value.data.data(), 4);
            data = std::to_string(number);
        } else {
            type = "type " + std::to_string(value.type);
            char hex[4];
            for (BYTE b : value.data) {
                std::snprintf(hex, sizeof(hex), "%02x", b);
                data += hex;
            }
        }
        lines.push_back(Utf8(entry.first) + "\t" + type + "\t" + data);
    }
    return lines;
}

std::wstring ReferencePath(const wchar_t* name) {
    return g_config.reference + L"\\" + name;
}
std::wstring OwnPath(const wchar_t* name) {
    return g_config.shots + L"\\" + name;
}

void ExpectRecord(const Leftovers& leftovers, const std::string& step) {
    const std::wstring key = RecordKey();
    std::map<std::wstring, RegValue> values;
    if (!ReadValues(key, &values)) {
        ADD_FAILURE() << step << ": no installation record HKCU\\" << Utf8(key)
                      << "; new keys under Uninstall: " << Utf8(Join(leftovers.NewUninstallKeys()));
        return;
    }
    struct Text {
        const wchar_t* name;
        std::wstring value;
    };
    const std::wstring product = ProductDirectory();
    const Text texts[] = {
        {L"DisplayName", FromGbk(QL_PRODUCT_NAME)},
        {L"DisplayVersion", FromGbk(QL_DISPLAY_VERSION)},
        {L"Publisher", FromGbk(QL_PUBLISHER)},
        {L"DisplayIcon", ProgramPath()},
        {L"InstallLocation", product},
        {L"UninstallString", L"\"" + UninstallerPath() + L"\""},
    };
    for (const Text& t : texts) {
        std::wstring value;
        if (!GetString(key, t.name, &value)) {
            ADD_FAILURE() << step << ": the record has no text value " << Utf8(t.name);
            continue;
        }
        ExpectText(value, t.value, step + ": record value " + Utf8(t.name));
    }
    struct Number {
        const wchar_t* name;
        DWORD value;
    };
    const Number numbers[] = {
        {L"EstimatedSize", static_cast<DWORD>(kPayloadTotalBytes / 1024)},
        {L"NoModify", 1},
        {L"NoRepair", 1},
    };
    for (const Number& n : numbers) {
        DWORD value = 0;
        if (!GetNumber(key, n.name, &value)) {
            ADD_FAILURE() << step << ": the record has no number value " << Utf8(n.name);
            continue;
        }
        EXPECT_EQ(value, n.value) << step << ": record value " << Utf8(n.name);
    }

    // Every value, as the run under 936 recorded it.
    std::vector<std::string> lines = RecordLines(values);
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    if (g_config.IsReference()) {
        EXPECT_TRUE(WriteUtf8File(OwnPath(L"record.txt"), text)) << "cannot write record.txt";
        return;
    }
    std::string referenceText;
    if (!ReadBytes(ReferencePath(L"record.txt"), &referenceText)) {
        ADD_FAILURE() << step << ": no reference record " << UnixPath(ReferencePath(L"record.txt"))
                      << " (the run under 936 writes it)";
        return;
    }
    std::vector<std::string> reference = Lines(referenceText);
    for (const std::string& line : reference)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end())
            << step << ": the record lacks, as 936 recorded it: " << line;
    for (const std::string& line : lines)
        EXPECT_NE(std::find(reference.begin(), reference.end(), line), reference.end())
            << step << ": the record has what 936 did not record: " << line;
}

void ExpectInstalled(const std::wstring& desktop, const Leftovers& leftovers,
                     const std::string& step) {
    ExpectPayloadFiles(step);
    ExpectShortcut(desktop, leftovers, step);
    ExpectRecord(leftovers, step);
}

// 卸载程序.exe /S, then the removal it hands to its copy: the files, the product directory, the
// shortcut and the record must all go.
void UninstallAndExpectNothingLeft(const std::wstring& desktop, const Leftovers& leftovers,
                                   const std::string& step) {
    const std::wstring uninstaller = UninstallerPath();
    ASSERT_TRUE(Exists(uninstaller)) << step << ": no uninstaller " << Utf8(uninstaller);
    Process process;
    ASSERT_TRUE(process.Start(uninstaller, L"/S"))
        << step << ": cannot start " << Utf8(uninstaller) << ", error " << GetLastError();
    EXPECT_EQ(process.WaitExit(kExitDeadlineMs), 0) << step << ": uninstaller /S exit code";
    const std::wstring shortcut = ShortcutIn(desktop);
    auto start = std::chrono::steady_clock::now();
    bool gone =
        WaitFor([&] { return !Exists(ProductDirectory()) && !Exists(shortcut) && !RecordExists(); },
                kRemovalDeadlineMs, 100);
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                       .count();
    std::printf("%s: removal %s after %lld ms\n", step.c_str(), gone ? "complete" : "incomplete",
                ms);
    const std::vector<std::wstring> onDesktop = leftovers.NewEntriesOf(desktop);
    EXPECT_TRUE(onDesktop.empty()) << step << ": left on the desktop: " << Utf8(Join(onDesktop));
    if (gone) return;
    std::vector<std::wstring> left;
    for (const std::wstring& name : Tree(ProductDirectory())) left.push_back(name);
    ADD_FAILURE() << step << ": " << kRemovalDeadlineMs << " ms after uninstaller /S still there:"
                  << (Exists(ProductDirectory())
                          ? " the product directory (holding " + Utf8(Join(left)) + ")"
                          : "")
                  << (Exists(shortcut) ? " the shortcut " + Utf8(shortcut) : "")
                  << (RecordExists() ? std::string(" the record") : "");
}

struct SilentRun {
    long code;  // -1: still running at the deadline, -2: could not start
    std::string log;
};

SilentRun InstallSilently(const std::wstring& logName) {
    const std::wstring log = LogDirectory() + L"\\" + logName;
    DeleteFileW(log.c_str());
    Process setup;
    // /D= is the last argument, its spaces unquoted.
    if (!setup.Start(g_config.installer, L"/S /LOG=" + log + L" /D=" + TargetDirectory()))
        return {-2, ""};
    SilentRun run{setup.WaitExit(kInstallDeadlineMs), ""};
    ReadBytes(log, &run.log);
    return run;
}

// ---- windows of another process --------------------------------------------------------------

std::wstring WindowClass(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

DWORD WindowProcess(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

const wchar_t kNoAnswer[] = L"<no answer>";

// The window's text as UTF-16, as the window reports it; kNoAnswer when it does not answer.
std::wstring WindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!hwnd || !SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                      kSendTimeoutMs, &length))
        return kNoAnswer;
    // An ANSI window may count bytes: room enough either way.
    std::wstring text(length * 2 + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return kNoAnswer;
    text.resize(std::min<size_t>(copied, wcslen(text.c_str())));
    return text;
}

bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &answer))
        return false;
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevel() {
    std::vector<HWND> found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND VisibleWindowOf(DWORD pid, const wchar_t* cls, HWND owner = nullptr) {
    for (HWND hwnd : TopLevel()) {
        if (WindowProcess(hwnd) != pid || !IsWindowVisible(hwnd) || WindowClass(hwnd) != cls)
            continue;
        if (owner && GetWindow(hwnd, GW_OWNER) != owner) continue;
        return hwnd;
    }
    return nullptr;
}

bool Click(HWND button) {
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

void Press(HWND button, const char* name) {
    ASSERT_TRUE(button) << name << " does not exist";
    ASSERT_TRUE(Click(button)) << "cannot click " << name;
}

bool Visible(HWND hwnd) {
    return hwnd && IsWindowVisible(hwnd);
}

// Every text of a dialog's children, for failure messages.
std::string DialogTexts(HWND dialog) {
    std::vector<std::wstring> texts = {L"title \"" + WindowText(dialog) + L"\""};
    for (HWND child : Children(dialog)) {
        std::wstring text = WindowText(child);
        if (!text.empty()) texts.push_back(WindowClass(child) + L" \"" + text + L"\"");
    }
    return Shown(Join(texts, L"; "));
}

// Memory committed in another process, e.g. for a structure a message there points at.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process),
          p_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (p_) VirtualFreeEx(process_, p_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    void* get() const { return p_; }

  private:
    HANDLE process_;
    void* p_;
};

// ---- screenshots -----------------------------------------------------------------------------

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s built-in PNG encoder.
const CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool SavePng(const Shot& shot, const std::wstring& path) {
    if (shot.pixels.empty()) return false;
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(
            shot.width, shot.height, shot.width * 4, PixelFormat32bppRGB,
            reinterpret_cast<BYTE*>(const_cast<uint32_t*>(shot.pixels.data())),
            &image) != Gdiplus::Ok)
        return false;
    bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &kPngEncoder,
                                                          nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

bool LoadPng(const std::wstring& path, Shot* shot) {
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &image) != Gdiplus::Ok)
        return false;
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &width);
    Gdiplus::DllExports::GdipGetImageHeight(image, &height);
    Gdiplus::BitmapData data = {};
    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    bool ok = Gdiplus::DllExports::GdipBitmapLockBits(image, &all, Gdiplus::ImageLockModeRead,
                                                      PixelFormat32bppRGB, &data) == Gdiplus::Ok;
    if (ok) {
        shot->width = static_cast<int>(width);
        shot->height = static_cast<int>(height);
        shot->pixels.resize(static_cast<size_t>(width) * height);
        for (UINT y = 0; y < height; y++) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
            for (UINT x = 0; x < width; x++)
                shot->pixels[static_cast<size_t>(y) * width + x] = row[x] & 0xFFFFFF;
        }
        Gdiplus::DllExports::GdipBitmapUnlockBits(image, &data);
    }
    Gdiplus::DllExports::GdipDisposeImage(image);
    return ok;
}

// What a screenshot's comparison leaves out: rectangles that change by themselves (each with its
// reason), and everything outside the window's region when it has one. The screen there, past the
// cut corners, still shows whatever was drawn before the window came: not the window's picture.
struct Mask {
    RECT r;
    std::string why;
};
struct Exclusions {
    std::vector<Mask> masks;
    std::vector<RECT> region;  // the window's region in shot coordinates; empty: none
};

// A child window's rectangle within the screenshot of `window`.
Mask MaskOf(HWND window, HWND child, const std::string& why) {
    RECT outer = {}, inner = {};
    GetWindowRect(window, &outer);
    GetWindowRect(child, &inner);
    OffsetRect(&inner, -outer.left, -outer.top);
    return {inner, why};
}

// The caret of the window's thread, when it shows one in the window: it blinks.
void AddCaretMask(HWND window, std::vector<Mask>* masks) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret)
        return;
    RECT caret = info.rcCaret;
    MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
    RECT outer = {};
    GetWindowRect(window, &outer);
    OffsetRect(&caret, -outer.left, -outer.top);
    InflateRect(&caret, 1, 1);
    masks->push_back({caret, "caret"});
}

// The rectangles of the window's region (window coordinates, as the shot's).
std::vector<RECT> RegionOf(HWND window) {
    std::vector<RECT> rects;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) {
        DWORD size = GetRegionData(region, 0, nullptr);
        std::vector<BYTE> data(size);
        auto* header = reinterpret_cast<RGNDATA*>(data.data());
        if (size && GetRegionData(region, size, header) == size) {
            const auto* r = reinterpret_cast<const RECT*>(header->Buffer);
            rects.assign(r, r + header->rdh.nCount);
        }
    }
    DeleteObject(region);
    return rects;
}

// 1 for every pixel either run leaves out.
std::vector<uint8_t> ExcludedPixels(int width, int height, const Exclusions& a,
                                    const Exclusions& b) {
    auto fill = [&](std::vector<uint8_t>* pixels, const RECT& r, uint8_t value) {
        for (int y = std::max<int>(0, r.top); y < std::min<int>(height, r.bottom); y++)
            for (int x = std::max<int>(0, r.left); x < std::min<int>(width, r.right); x++)
                (*pixels)[static_cast<size_t>(y) * width + x] = value;
    };
    std::vector<uint8_t> excluded(static_cast<size_t>(width) * height, 0);
    for (const Exclusions* e : {&a, &b}) {
        if (!e->region.empty()) {
            std::vector<uint8_t> outside(excluded.size(), 1);
            for (const RECT& r : e->region) fill(&outside, r, 0);
            for (size_t i = 0; i < excluded.size(); i++) excluded[i] |= outside[i];
        }
        for (const Mask& m : e->masks) fill(&excluded, m.r, 1);
    }
    return excluded;
}

struct Comparison {
    int differing = 0;
    RECT box = {1 << 30, 1 << 30, -1, -1};
    int maxDelta = 0;
};

int ChannelDelta(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

Comparison Compare(const Shot& a, const Shot& b, const std::vector<uint8_t>& excluded,
                   int tolerance) {
    Comparison c;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++) {
            size_t i = static_cast<size_t>(y) * a.width + x;
            int delta = ChannelDelta(a.pixels[i], b.pixels[i]);
            if (delta <= tolerance || excluded[i]) continue;
            c.differing++;
            c.maxDelta = std::max(c.maxDelta, delta);
            c.box.left = std::min<LONG>(c.box.left, x);
            c.box.top = std::min<LONG>(c.box.top, y);
            c.box.right = std::max<LONG>(c.box.right, x + 1);
            c.box.bottom = std::max<LONG>(c.box.bottom, y + 1);
        }
    return c;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") - (" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The picture of `window` once two captures in a row agree outside what is left out: painting
// and fades have settled.
Shot SettledShot(HWND window, const Exclusions& exclusions, const std::string& name) {
    Pause(kSettleFirstMs);
    RECT r = {};
    GetWindowRect(window, &r);
    Shot last = Capture(r);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettleDeadlineMs);
    Comparison change;
    while (std::chrono::steady_clock::now() < deadline) {
        Pause(kSettleStepMs);
        RECT now = {};
        GetWindowRect(window, &now);
        Shot next = Capture(now);
        if (EqualRect(&now, &r) && !next.pixels.empty() && next.width == last.width &&
            next.height == last.height) {
            change = Compare(last, next,
                             ExcludedPixels(next.width, next.height, exclusions, Exclusions()), 0);
            if (change.differing == 0) return next;
        }
        r = now;
        last = next;
    }
    std::printf("%s: the picture did not settle within %lu ms (%d pixels still changing in %s)\n",
                name.c_str(), kSettleDeadlineMs, change.differing, Describe(change.box).c_str());
    return last;
}

// "mask L T R B why" and "region L T R B" lines.
std::string ExclusionsText(const Exclusions& e) {
    std::string text;
    auto line = [&](const char* kind, const RECT& r, const std::string& why) {
        text += std::string(kind) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
                " " + std::to_string(r.right) + " " + std::to_string(r.bottom) +
                (why.empty() ? "" : " " + why) + "\n";
    };
    for (const Mask& m : e.masks) line("mask", m.r, m.why);
    for (const RECT& r : e.region) line("region", r, "");
    return text;
}

Exclusions ParseExclusions(const std::string& text) {
    Exclusions e;
    for (const std::string& line : Lines(text)) {
        std::istringstream in(line);
        std::string kind;
        RECT r = {};
        if (!(in >> kind >> r.left >> r.top >> r.right >> r.bottom)) continue;
        if (kind == "region") {
            e.region.push_back(r);
        } else if (kind == "mask") {
            std::string why;
            std::getline(in, why);
            e.masks.push_back({r, why});
        }
    }
    return e;
}

// Differing pixels red, left-out ones blue, the rest the reference faded to grey.
Shot DiffImage(const Shot& reference, const Shot& shot, const std::vector<uint8_t>& excluded,
               int tolerance) {
    Shot diff = reference;
    for (size_t i = 0; i < diff.pixels.size(); i++) {
        uint32_t& p = diff.pixels[i];
        int grey = (int((p >> 16) & 0xFF) * 3 + int((p >> 8) & 0xFF) * 6 + int(p & 0xFF)) / 10;
        uint32_t faded = static_cast<uint32_t>(160 + grey * 95 / 255);
        if (excluded[i])
            p = ((faded / 2) << 16) | ((faded / 2) << 8) | 0xFF;
        else if (ChannelDelta(p, shot.pixels[i]) > tolerance)
            p = 0xFF0000;
        else
            p = (faded << 16) | (faded << 8) | faded;
    }
    return diff;
}

// Saves the screenshot `name`.png with what its comparison leaves out; unless this run is the
// reference, compares it with the reference's and keeps a diff image beside it when they differ.
void RecordShot(const std::string& name, const Shot& shot, const Exclusions& exclusions,
                int tolerance) {
    const std::wstring wideName = FromUtf8(name);
    const std::wstring file = OwnPath((wideName + L".png").c_str());
    ASSERT_FALSE(shot.pixels.empty()) << name << ": nothing captured";
    EXPECT_TRUE(SavePng(shot, file)) << name << ": cannot save " << UnixPath(file);
    WriteUtf8File(OwnPath((wideName + L".masks.txt").c_str()), ExclusionsText(exclusions));
    if (g_config.IsReference()) return;

    const std::wstring referenceFile = ReferencePath((wideName + L".png").c_str());
    Shot reference;
    ASSERT_TRUE(LoadPng(referenceFile, &reference))
        << name << ": no reference screenshot " << UnixPath(referenceFile)
        << " (the run under 936 takes it)";
    ASSERT_TRUE(reference.width == shot.width && reference.height == shot.height)
        << name << ": " << shot.width << "x" << shot.height << ", the reference under 936 is "
        << reference.width << "x" << reference.height << " (" << UnixPath(file) << ", "
        << UnixPath(referenceFile) << ")";
    std::string referenceText;
    ReadBytes(ReferencePath((wideName + L".masks.txt").c_str()), &referenceText);
    std::vector<uint8_t> excluded =
        ExcludedPixels(shot.width, shot.height, exclusions, ParseExclusions(referenceText));
    Comparison c = Compare(reference, shot, excluded, tolerance);
    const std::wstring diffFile = OwnPath((wideName + L"-diff.png").c_str());
    DeleteFileW(diffFile.c_str());
    if (c.differing == 0) return;
    SavePng(DiffImage(reference, shot, excluded, tolerance), diffFile);
    ADD_FAILURE() << name << ": " << c.differing << " of " << shot.width * shot.height
                  << " pixels differ from the screenshot under 936 by more than " << tolerance
                  << " level (up to " << c.maxDelta << "), all within " << Describe(c.box)
                  << "; see " << UnixPath(file) << ", " << UnixPath(referenceFile) << " and "
                  << UnixPath(diffFile);
}

// The skin blends a rounded window's corner pixels with what the screen showed behind it, which
// is whatever an earlier window left there.
constexpr int kCornerBlend = 5;

void ShootWindow(HWND window, const std::string& name, std::vector<Mask> masks,
                 int tolerance = kPixelTolerance) {
    Exclusions exclusions;
    exclusions.masks = std::move(masks);
    exclusions.region = RegionOf(window);
    RECT r = {};
    GetWindowRect(window, &r);
    const LONG w = r.right - r.left, h = r.bottom - r.top, c = kCornerBlend;
    if (!exclusions.region.empty())
        for (const RECT& corner : {RECT{0, 0, c, c}, RECT{w - c, 0, w, c}, RECT{0, h - c, c, h},
                                   RECT{w - c, h - c, w, h}})
            exclusions.masks.push_back({corner, "rounded corner over the backdrop"});
    AddCaretMask(window, &exclusions.masks);
    Shot shot = SettledShot(window, exclusions, name);
    // A caret may have appeared or moved while the picture settled.
    AddCaretMask(window, &exclusions.masks);
    RecordShot(name, shot, exclusions, tolerance);
}

// ---- the wizard ------------------------------------------------------------------------------

struct Wizard {
    const Process* process = nullptr;
    HWND window = nullptr;
    HWND tab = nullptr;
    HWND cancel = nullptr;

    HWND Control(int id) const {
        if (id == kId按钮1) return cancel;
        if (id == kId编辑框2) return GetDlgItem(GetDlgItem(tab, kId分组框1), id);
        return GetDlgItem(tab, id);
    }
    int Page() const {
        LRESULT page = -2;
        if (!Send(tab, TCM_GETCURSEL, 0, 0, &page)) return -2;
        return static_cast<int>(page);
    }
};

std::string PageProblem(const Wizard& w, int page) {
    int current = w.Page();
    if (current != page) return "the current page is " + std::to_string(current);
    return PageControlsProblem(w, page);
}

void ExpectPage(const Wizard& w, int page, const char* step) {
    std::string problem;
    bool ok = WaitFor(
        [&] {
            problem = PageProblem(w, page);
            return problem.empty();
        },
        kUiDeadlineMs);
    ASSERT_TRUE(ok) << step << ": expected page " << page << " with its controls only, but "
                    << problem;
}

void FindWizard(const Process& setup, Wizard* w) {
    w->process = &setup;
    WaitFor(
        [&] {
            w->window = VisibleWindowOf(setup.pid(), kWizardClass);
            return w->window != nullptr || !setup.Running();
        },
        kStartDeadlineMs, 50);
    if (!w->window) {
        std::vector<std::wstring> seen;
        for (HWND hwnd : TopLevel())
            if (WindowProcess(hwnd) == setup.pid())
                seen.push_back(WindowClass(hwnd) + L" \"" + WindowText(hwnd) + L"\"" +
                               (IsWindowVisible(hwnd) ? L"" : L" (hidden)"));
        FAIL() << "start: no wizard window within " << kStartDeadlineMs << " ms"
               << (setup.Running() ? "" : " (the installer ended)")
               << "; its windows: " << (seen.empty() ? std::string("none") : Shown(Join(seen)));
    }
    w->tab = GetDlgItem(w->window, kId选择夹1);
    w->cancel = GetDlgItem(w->window, kId按钮1);
    ASSERT_TRUE(w->tab) << u8"start: the wizard has no 选择夹1";
    ASSERT_TRUE(w->cancel) << u8"start: the wizard has no 按钮1";
}

// A page title as the tab control holds it, read as UTF-16 through the installer's memory.
std::wstring PageTitle(const Wizard& w, int page) {
    struct Request {
        TCITEMW item;
        wchar_t text[128];
    };
    RemoteMemory remote(w.process->handle(), sizeof(Request));
    if (!remote.get()) return kNoAnswer;
    auto* there = static_cast<Request*>(remote.get());
    Request request = {};
    request.item.mask = TCIF_TEXT;
    request.item.pszText = there->text;
    request.item.cchTextMax = 128;
    SIZE_T done = 0;
    if (!WriteProcessMemory(w.process->handle(), there, &request, sizeof(request), &done) ||
        !Send(w.tab, TCM_GETITEMW, page, reinterpret_cast<LPARAM>(there)) ||
        !ReadProcessMemory(w.process->handle(), there->text, request.text, sizeof(request.text),
                           &done))
        return kNoAnswer;
    request.text[127] = L'\0';
    return request.text;
}

// The window title, every control's text and every page title as UTF-16. 编辑框1 shows the
// directory /D= proposed instead of the default.
void ExpectWizardTexts(const Wizard& w) {
    ExpectText(WindowText(w.window), FromUtf8(written::kWindowTitle), "window title");
    for (const written::ControlText& c : written::kControlTexts) {
        std::wstring expected = c.id == kId编辑框1 ? TargetDirectory() : FromUtf8(c.text);
        ExpectText(WindowText(w.Control(c.id)), expected, c.name);
    }
    int page = 0;
    for (const char* title : written::kPageTitles) {
        ExpectText(PageTitle(w, page), FromUtf8(title), "title of page " + std::to_string(page));
        ++page;
    }
}

void ShootWizard(const Wizard& w, int page) {
    std::vector<Mask> masks;
    // The two drawing panels animate on their own.
    if (page == 0) masks.push_back(MaskOf(w.window, w.Control(kId画板1), u8"画板1 animates"));
    if (page == 5) masks.push_back(MaskOf(w.window, w.Control(kId画板2), u8"画板2 animates"));
    ShootWindow(w.window, "page-" + std::to_string(page), masks);
}

HWND DialogOf(DWORD pid, HWND besides = nullptr) {
    for (HWND hwnd : TopLevel())
        if (hwnd != besides && WindowProcess(hwnd) == pid && IsWindowVisible(hwnd) &&
            WindowClass(hwnd) == kDialogClass)
            return hwnd;
    return nullptr;
}

void CloseDialog(HWND dialog, int buttonId, const char* step) {
    HWND button = GetDlgItem(dialog, buttonId);
    ASSERT_TRUE(button) << step << ": the dialog has no button " << buttonId;
    ASSERT_TRUE(Click(button)) << step;
    ASSERT_TRUE(
        WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kUiDeadlineMs))
        << step << ": the dialog is still open after pressing button " << buttonId;
}

// 卸载程序.exe without /S asks first, in its own words; 否 leaves everything as it is.
void ExpectUninstallerAsks() {
    const std::wstring uninstaller = UninstallerPath();
    Process process;
    ASSERT_TRUE(process.Start(uninstaller, L""))
        << "cannot start " << Utf8(uninstaller) << ", error " << GetLastError();
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = DialogOf(process.pid())) != nullptr; }, kUiDeadlineMs))
        << "the uninstaller did not ask";
    ExpectText(WindowText(box), FromGbk(kUninstallerTitle), "the uninstaller's question, title");
    const std::wstring question = FromGbk(kUninstallQuestion);
    bool asked = false;
    for (HWND child : Children(box)) asked = asked || WindowText(child) == question;
    EXPECT_TRUE(asked) << "the uninstaller's question does not read \"" << Utf8(question)
                       << "\"; it shows: " << DialogTexts(box);
    ASSERT_STEP(CloseDialog(box, IDNO, "the uninstaller's question"));
    EXPECT_EQ(process.WaitExit(kExitDeadlineMs), 0) << "uninstaller, answered 否: exit code";
    EXPECT_TRUE(Exists(ProgramPath())) << "the uninstaller answered 否 removed the program";
}

// Page 0 → 1 → (licence accepted) → 2; a screenshot of each page on the way when `shoot`.
void WalkToDirectoryPage(const Wizard& w, bool shoot) {
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    if (shoot) ASSERT_STEP(ShootWizard(w, 0));
    ASSERT_STEP(Press(w.Control(kId按钮2), u8"按钮2 下一步》"));
    ASSERT_STEP(ExpectPage(w, kLicencePage, u8"按钮2 下一步》 on page 0"));
    if (shoot) ASSERT_STEP(ShootWizard(w, 1));
    ASSERT_STEP(Press(w.Control(kId选择框1), u8"选择框1 同意协议"));
    HWND next = w.Control(kId按钮3);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(next) != FALSE; }, kUiDeadlineMs))
        << u8"page 1: 按钮3 stays disabled after ticking 选择框1 同意协议";
    ASSERT_STEP(Press(next, u8"按钮3 下一步》"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, u8"按钮3 下一步》 on page 1"));
}

// ---- the odd profile -------------------------------------------------------------------------

// The desktop (as the shell reads it from the registry) and TEMP/TMP (as the installer and the
// uninstaller inherit them) pointed at folders with characters outside GBK, for the life of the
// object; everything is put back afterwards.
class OddProfile {
  public:
    OddProfile() {
        root_ = Environment(L"USERPROFILE") + L"\\" + kProfileName;
        desktop_ = root_ + L"\\" + kOddDesktopName;
        temp_ = root_ + L"\\" + kOddTempName;
        RemoveTree(root_);
        ok_ = CreateDirectoryW(root_.c_str(), nullptr) &&
              CreateDirectoryW(desktop_.c_str(), nullptr) &&
              CreateDirectoryW(temp_.c_str(), nullptr);
        hadUser_ = ReadRawValue(kUserShellFolders, L"Desktop", &user_);
        hadShell_ = ReadRawValue(kShellFolders, L"Desktop", &shell_);
        tempWas_ = Environment(L"TEMP");
        tmpWas_ = Environment(L"TMP");
        ok_ = ok_ &&
              WriteRawValue(kUserShellFolders, L"Desktop", StringValue(REG_EXPAND_SZ, desktop_)) &&
              WriteRawValue(kShellFolders, L"Desktop", StringValue(REG_SZ, desktop_)) &&
              SetEnvironmentVariableW(L"TEMP", temp_.c_str()) &&
              SetEnvironmentVariableW(L"TMP", temp_.c_str());
    }
    ~OddProfile() {
        if (hadUser_)
            WriteRawValue(kUserShellFolders, L"Desktop", user_);
        else
            DeleteValue(kUserShellFolders, L"Desktop");
        if (hadShell_)
            WriteRawValue(kShellFolders, L"Desktop", shell_);
        else
            DeleteValue(kShellFolders, L"Desktop");
        SetEnvironmentVariableW(L"TEMP", tempWas_.empty() ? nullptr : tempWas_.c_str());
        SetEnvironmentVariableW(L"TMP", tmpWas_.empty() ? nullptr : tmpWas_.c_str());
        RemoveTree(root_);
    }
    OddProfile(const OddProfile&) = delete;
    OddProfile& operator=(const OddProfile&) = delete;
    bool ok() const { return ok_; }
    const std::wstring& desktop() const { return desktop_; }
    const std::wstring& temp() const { return temp_; }

  private:
    std::wstring root_, desktop_, temp_, tempWas_, tmpWas_;
    RegValue user_, shell_;
    bool hadUser_ = false, hadShell_ = false, ok_ = false;
};

// ---- the tests -------------------------------------------------------------------------------

void PrintLog(const char* step, const SilentRun& run) {
    std::printf("%s: exit code %ld; log:\n%s\n", step, run.code,
                run.log.empty() ? "(none)" : run.log.c_str());
}

TEST(DisplayLanguage, SilentInstallationAndRemoval) {
    Leftovers leftovers;
    const std::wstring desktop = DesktopDirectory();
    ASSERT_FALSE(desktop.empty()) << "the shell names no desktop directory";
    SilentRun run = InstallSilently(L"silent.log");
    PrintLog("silent installation", run);
    EXPECT_EQ(run.code, 0) << "qinglan-setup.exe /S /D=" << Utf8(TargetDirectory())
                           << ": exit code; " << DriveReport();
    ASSERT_STEP(ExpectInstalled(desktop, leftovers, "silent installation"));
    ASSERT_STEP(
        UninstallAndExpectNothingLeft(desktop, leftovers, "silent installation, uninstaller /S"));
}

TEST(DisplayLanguage, ProfileOutsideGbk) {
    Leftovers leftovers;
    OddProfile profile;
    ASSERT_TRUE(profile.ok()) << "cannot point the desktop and TEMP at " << Utf8(profile.desktop())
                              << " and " << Utf8(profile.temp());
    ASSERT_EQ(Utf8(DesktopDirectory()), Utf8(profile.desktop()))
        << "the shell does not follow the registry's desktop folder";
    leftovers.WatchDesktop(profile.desktop());
    SilentRun run = InstallSilently(L"profile.log");
    PrintLog("odd profile", run);
    EXPECT_EQ(run.code, 0) << "qinglan-setup.exe /S with desktop " << Utf8(profile.desktop())
                           << " and TEMP " << Utf8(profile.temp()) << ": exit code; "
                           << DriveReport();
    ASSERT_STEP(ExpectInstalled(profile.desktop(), leftovers, "odd profile"));
    ASSERT_STEP(
        UninstallAndExpectNothingLeft(profile.desktop(), leftovers, "odd profile, uninstaller /S"));
    // The removal copy in TEMP goes at the next restart, by design.
    std::printf("odd profile: TEMP holds after the removal: %s\n",
                Utf8(Join(Tree(profile.temp()))).c_str());
}

TEST(DisplayLanguage, WizardPagesTextsAndInstallation) {
    Leftovers leftovers;
    const std::wstring desktop = DesktopDirectory();
    Process setup;
    // Without /S the wizard proposes the /D= directory on its directory page.
    ASSERT_TRUE(setup.Start(g_config.installer, L"/D=" + TargetDirectory()))
        << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    ExpectWizardTexts(w);

    ASSERT_STEP(WalkToDirectoryPage(w, true));
    ExpectText(WindowText(w.Control(kId编辑框1)), TargetDirectory(), u8"page 2: 编辑框1");
    ASSERT_STEP(ShootWizard(w, 2));

    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5 下一步》"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步》 on page 2"));
    // The cancel button goes within the watcher's period on this page.
    EXPECT_TRUE(WaitFor([&] { return !Visible(w.cancel); }, kUiDeadlineMs))
        << u8"page 3: 按钮1 取消安装 stays visible";
    ASSERT_STEP(ShootWizard(w, 3));

    ASSERT_STEP(Press(w.Control(kId按钮6), u8"按钮6 确认安装"));
    HWND box = nullptr;
    bool reached = WaitFor(
        [&] {
            if (w.Page() == 4) return true;
            box = DialogOf(setup.pid());
            return box != nullptr;
        },
        kInstallDeadlineMs, 50);
    if (box) {
        std::string texts = DialogTexts(box);
        CloseDialog(box, IDOK, "failure message box");
        FAIL() << u8"按钮6 确认安装: a message box instead of page 4: " << texts << "; "
               << DriveReport();
    }
    ASSERT_TRUE(reached) << u8"按钮6 确认安装: page 4 not reached within " << kInstallDeadlineMs
                         << " ms";
    ASSERT_STEP(ExpectPage(w, kUsagePage, u8"按钮6 确认安装"));
    std::wstring info;
    for (const char* piece : written::kInfoTexts) info += FromUtf8(piece);
    ExpectText(WindowText(w.Control(kId编辑框2)), info, u8"page 4: 编辑框2 after the installation");
    ExpectText(WindowText(w.Control(kId标签2)), L"0", u8"page 4: 标签2");
    ASSERT_STEP(ShootWizard(w, 4));

    HWND counter = w.Control(kId标签2);
    for (int step = 1; step <= 4; ++step) {
        ASSERT_STEP(Press(w.Control(kId按钮12), u8"按钮12 我知道了"));
        if (step < 4) {
            std::wstring want = std::to_wstring(step);
            EXPECT_TRUE(WaitFor([&] { return WindowText(counter) == want; }, kUiDeadlineMs))
                << u8"按钮12 我知道了, click " << step << u8": 标签2 reads "
                << Shown(WindowText(counter));
        }
    }
    ASSERT_STEP(ExpectPage(w, kFinishPage, u8"fourth click on 按钮12 我知道了"));
    ASSERT_STEP(ShootWizard(w, 5));

    // 启动软件 stays ticked: the installed program starts, with its own title.
    ASSERT_STEP(Press(w.Control(kId按钮7), u8"按钮7 完成安装"));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮7 完成安装: installer exit code";
    HWND writer = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (writer = FindWindowW(kWriterClass, nullptr)) != nullptr; },
                        kUiDeadlineMs))
        << u8"按钮7 完成安装 with 选择框6 ticked: the program did not start";
    if (writer) {
        ExpectText(WindowText(writer), FromGbk(kProgramTitle), "the program's title");
        DWORD writerPid = WindowProcess(writer);
        Send(writer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor(
            [&] {
                HWND left = FindWindowW(kWriterClass, nullptr);
                return !left || WindowProcess(left) != writerPid;
            },
            kUiDeadlineMs))
            << "the program's window did not close";
        if (HANDLE ended = OpenProcess(SYNCHRONIZE, FALSE, writerPid)) {
            WaitForSingleObject(ended, kExitDeadlineMs);
            CloseHandle(ended);
        }
    }

    ASSERT_STEP(ExpectInstalled(desktop, leftovers, "wizard installation"));
    ASSERT_STEP(ExpectUninstallerAsks());
    ASSERT_STEP(
        UninstallAndExpectNothingLeft(desktop, leftovers, "wizard installation, uninstaller /S"));
}

TEST(DisplayLanguage, EmptyDirectoryMessageBox) {
    Leftovers leftovers;
    Process setup;
    ASSERT_TRUE(setup.Start(g_config.installer, L"/D=" + TargetDirectory()))
        << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(WalkToDirectoryPage(w, false));

    // 更改目录, the folder dialog cancelled: the field empties.
    ASSERT_STEP(Press(w.Control(kId按钮4), u8"按钮4 更改目录"));
    HWND folder = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (folder = VisibleWindowOf(setup.pid(), kDialogClass, w.window)) != nullptr; },
        kUiDeadlineMs))
        << u8"按钮4 更改目录: no folder dialog";
    const std::wstring chooseTitle = FromUtf8(written::kChooseFolderTitle);
    EXPECT_TRUE(WaitFor(
        [&] {
            for (HWND child : Children(folder))
                if (WindowText(child) == chooseTitle) return true;
            return false;
        },
        kDialogTextDeadlineMs))
        << "the folder dialog does not say \"" << written::kChooseFolderTitle
        << "\"; it shows: " << DialogTexts(folder);
    ASSERT_STEP(CloseDialog(folder, IDCANCEL, "folder dialog, cancelled"));
    HWND edit = w.Control(kId编辑框1);
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit).empty(); }, kUiDeadlineMs))
        << u8"cancelling the folder dialog left 编辑框1 at \"" << Shown(WindowText(edit)) << "\"";

    // 下一步》 with the field empty: the skinned message box.
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5 下一步》"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = DialogOf(setup.pid())) != nullptr; }, kUiDeadlineMs))
        << u8"按钮5 下一步》 with an empty directory: no message box";
    BYTE alpha = 0;
    bool faded = WaitFor(
        [&] {
            DWORD flags = 0;
            COLORREF key = 0;
            return GetLayeredWindowAttributes(box, &key, &alpha, &flags) && alpha == kBoxFinalAlpha;
        },
        kFadeDeadlineMs, 10);
    EXPECT_TRUE(faded) << "the message box's fade-in stopped at alpha " << int(alpha);
    ExpectText(WindowText(box), FromUtf8(written::kMessageTitle), "message box title");
    const std::wstring message = FromUtf8(written::kEmptyDirectoryMessage);
    bool said = false;
    for (HWND child : Children(box)) said = said || WindowText(child) == message;
    EXPECT_TRUE(said) << "the message box does not say \"" << written::kEmptyDirectoryMessage
                      << "\"; it shows: " << DialogTexts(box);
    RECT boxRect = {};
    GetWindowRect(box, &boxRect);
    std::printf("message box at (%ld, %ld), %ld x %ld\n", boxRect.left, boxRect.top,
                boxRect.right - boxRect.left, boxRect.bottom - boxRect.top);
    ASSERT_STEP(ShootWindow(box, "msgbox", {}, kBoxGroundTolerance));
    ASSERT_STEP(CloseDialog(box, IDOK, "empty-directory message box"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, "after the empty-directory message"));
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
}

TEST(DisplayLanguage, SkinGallery) {
    Leftovers leftovers;
    Process gallery;
    ASSERT_TRUE(gallery.Start(g_config.gallery, L"")) << "cannot start " << Utf8(g_config.gallery);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor(
                    [&] {
                        window = VisibleWindowOf(gallery.pid(), kGalleryClass);
                        return window != nullptr || !gallery.Running();
                    },
                    kStartDeadlineMs, 50) &&
                window)
        << "no gallery window";
    ExpectText(WindowText(window), kGalleryTitle, "gallery title");
    ASSERT_STEP(ShootWindow(window, "gallery", {}));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(gallery.WaitExit(kExitDeadlineMs), 0) << "the gallery did not end after WM_CLOSE";
}

// ---- the scratch drive -----------------------------------------------------------------------

// Wine's mount manager learns of a drive letter linked in dosdevices only through this request
// (as winecfg makes it); without it the letter reads and writes files but volume queries fail.
// Layout of Wine's struct mountmgr_unix_drive, followed by the Unix mount point.
struct MountManagerUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool AnnounceDrive(const std::wstring& drive, const std::string& unixPath) {
    HANDLE manager =
        CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE || drive.size() != 2) return false;
    std::vector<char> request(sizeof(MountManagerUnixDrive) + unixPath.size() + 1, '\0');
    MountManagerUnixDrive header = {};
    header.size = static_cast<ULONG>(request.size());
    header.type = DRIVE_FIXED;
    header.letter = static_cast<WCHAR>(drive[0] | 0x20);  // mountmgr wants it lower case
    header.mountPointOffset = sizeof(header);
    std::memcpy(request.data(), &header, sizeof(header));
    std::memcpy(request.data() + sizeof(header), unixPath.data(), unixPath.size());
    DWORD returned = 0;
    bool ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(),
                              static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok;
}

std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

class GdiplusRunning {
  public:
    GdiplusRunning() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusRunning() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

}  // namespace

int main() {
    // Arguments come as UTF-16: the CRT's narrow ones went through the ANSI code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    testing::InitGoogleTest(&argc, argv);
    std::printf("language-walk: ANSI code page %u, OEM code page %u\n", GetACP(), GetOEMCP());
    if (argc == 3 && std::wstring(argv[1]) == L"--tidy") {
        RepairDesktopSetting();
        for (const std::wstring& path : EndLeftovers(argv[2]))
            std::printf("tidy: ended %s\n", Utf8(path).c_str());
        return 0;
    }
    if (argc < 7 || argc > 8) {
        std::fprintf(stderr,
                     "usage: language-walk [gtest flags] CODE-PAGE INSTALLER GALLERY DRIVE: "
                     "DRIVE-UNIX-DIR SHOT-DIR [REFERENCE-DIR]\n"
                     "       language-walk --tidy DRIVE:\n");
        return 2;
    }
    g_config.codePage = static_cast<UINT>(_wtoi(argv[1]));
    g_config.installer = WindowsPath(argv[2]);
    g_config.gallery = WindowsPath(argv[3]);
    g_config.drive = argv[4];
    g_config.driveUnix = Utf8(argv[5]);
    g_config.shots = WindowsPath(argv[6]);
    if (argc == 8) g_config.reference = WindowsPath(argv[7]);
    if (GetACP() != g_config.codePage) {
        std::fprintf(stderr,
                     "language-walk: runs under ANSI code page %u, expected %u: the "
                     "locale does not give Wine that code page\n",
                     GetACP(), g_config.codePage);
        return 1;
    }
    if (!AnnounceDrive(g_config.drive, g_config.driveUnix)) {
        std::fprintf(stderr, "cannot announce %s (%s) to Wine's mount manager, error %lu\n",
                     Utf8(g_config.drive).c_str(), g_config.driveUnix.c_str(), GetLastError());
        return 1;
    }
    RepairDesktopSetting();
    CreateDirectoryW(g_config.shots.c_str(), nullptr);
    // The pointer rests off every window, so no hover shows in a screenshot.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    std::string run =
        "code page " + std::to_string(g_config.codePage) + "\ndrive " + Utf8(g_config.drive) + "\n";
    WriteUtf8File(g_config.shots + L"\\run.txt", run);
    std::string reference;
    if (!g_config.IsReference() && ReadBytes(g_config.reference + L"\\run.txt", &reference) &&
        reference.find("drive " + Utf8(g_config.drive)) == std::string::npos)
        std::printf(
            "language-walk: the reference ran on another drive letter (%s); the "
            "directory page's screenshot will show it\n",
            reference.c_str());

    ComInit com;
    GdiplusRunning gdiplus;
    if (!gdiplus.ok()) {
        std::fprintf(stderr, "GDI+ does not start\n");
        return 1;
    }
    int rc = RUN_ALL_TESTS();
    LocalFree(argv);
    return rc;
}

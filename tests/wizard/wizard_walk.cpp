// Walks the real installer's wizard from outside its process, as a user would: finds the window
// and its controls by class and ID, presses buttons with posted BM_CLICKs (several handlers open
// modal dialogs, so nothing here waits inside a click) and reads texts and states back.
//
// wizard-walk [gtest flags] INSTALLER.exe DRIVE: UNIX-DIR   (the walk installs on DRIVE:, which
// maps the empty scratch directory UNIX-DIR)
// QL_SCREENSHOT_DIR names the directory that receives page-0.png ... page-5.png.
#include <windows.h>
#include <commctrl.h>
#include <winioctl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "gdi_handles.h"
#include "handles.h"
#include "page_controls.h"
#include "paths.h"
#include "payload_entries.h"
#include "product_texts.h"
#include "screen_pixels.h"
#include "test_support.h"
#include "uninstall_entry.h"
#include "window_probe.h"

namespace {

// What the user sees comes from the texts as written for the product (product_texts.h), kept
// apart from the installer's own constants. UTF-8, so that failures print readably; texts read
// from windows are GBK and converted before comparing.
constexpr char kWriterClass[] = "QinglanWriterWindow";
constexpr char kWriterTitle[] = "青岚笺语写作";  // GBK, for FindWindowA
constexpr char kTargetName[] = "写作目录";       // GBK; the directory chosen below the drive
constexpr char kDialogClass[] = "#32770";

// Deadlines; every wait polls and returns as soon as its condition holds.
constexpr DWORD kStartDeadlineMs = 30000;
constexpr DWORD kUiDeadlineMs = 5000;
constexpr DWORD kWatcherDeadlineMs = 500;  // five periods of the 100 ms cancel-button watcher
constexpr DWORD kInstallDeadlineMs = 90000;
constexpr DWORD kExitDeadlineMs = 10000;
constexpr DWORD kNoWriterWindowMs = 2000;
constexpr DWORD kPaintSettleMs = 300;
constexpr UINT kSendTimeoutMs = 2000;

struct WalkConfig {
    std::string installer;  // Windows path
    std::string drive;      // "T:"
    std::string recorder;   // url-recorder.exe beside the driver
    std::string screenshots;
};
WalkConfig g_config;

std::string TargetDirectory() {
    return g_config.drive + "\\" + kTargetName;
}

// ---- small utilities -------------------------------------------------------------------------

// Runs a step that reports its own failures and stops the walk after a fatal one. Unlike
// ASSERT_NO_FATAL_FAILURE it does not repeat the statement, whose Chinese step names would print
// in the source's execution charset.
#define ASSERT_STEP(statement)                          \
    do {                                                \
        statement;                                      \
        if (::testing::Test::HasFatalFailure()) return; \
    } while (0)

// A message to a window of another process that gives up instead of hanging the driver.
bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr,
          UINT timeoutMs = kSendTimeoutMs) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, timeoutMs, &answer)) return false;
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

constexpr char kNoAnswer[] = "<window did not answer>";

std::string ShownText(HWND hwnd) {
    return Utf8(TextOf(hwnd, kNoAnswer));
}

bool Click(HWND button) {
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

void Press(HWND button, const char* name) {
    ASSERT_TRUE(button) << name << " does not exist";
    ASSERT_TRUE(Click(button)) << "cannot click " << name;
}

bool Visible(HWND hwnd) {
    return hwnd && IsWindowVisible(hwnd);
}

bool Enabled(HWND hwnd) {
    return hwnd && IsWindowEnabled(hwnd);
}

LRESULT CheckState(HWND box) {
    LRESULT state = -1;
    Send(box, BM_GETCHECK, 0, 0, &state);
    return state;
}

// A visible top-level window of process `pid` with the class (and owner, when given).
HWND FindProcessWindow(DWORD pid, const char* cls, HWND owner = nullptr) {
    for (HWND hwnd : TopLevelWindows()) {
        if (ProcessOf(hwnd) != pid || !IsWindowVisible(hwnd) || ClassOf(hwnd) != cls) continue;
        if (owner && GetWindow(hwnd, GW_OWNER) != owner) continue;
        return hwnd;
    }
    return nullptr;
}

// Memory committed in another process, e.g. for a string a message there points at.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, const void* data, size_t size)
        : process_(process),
          p_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        SIZE_T written = 0;
        if (p_ && (!WriteProcessMemory(process, p_, data, size, &written) || written != size)) {
            VirtualFreeEx(process_, p_, 0, MEM_RELEASE);
            p_ = nullptr;
        }
    }
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

// ---- the installer process -------------------------------------------------------------------

class InstallerProcess {
  public:
    InstallerProcess() = default;
    // Whatever a failed test leaves running is ended, so the next test starts alone.
    ~InstallerProcess() {
        if (process_.get() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    InstallerProcess(const InstallerProcess&) = delete;
    InstallerProcess& operator=(const InstallerProcess&) = delete;

    // `arguments` (GBK) follow the program name; `program` is the installer unless given.
    bool Start(const std::string& arguments = "", const std::string& program = "") {
        return StartWith(WideFromGbk(arguments), program);
    }
    // The same with arguments GBK may not hold, as the system hands them over.
    bool StartWith(const std::wstring& arguments, const std::string& program = "") {
        const std::wstring exe = WideFromGbk(program.empty() ? g_config.installer : program);
        std::wstring commandLine =
            L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        // Started in its own folder, as a double click in the file manager does.
        std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
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
    HANDLE handle() const { return process_.get(); }
    DWORD pid() const { return pid_; }
    bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process is still running at the deadline.
    long WaitExit(DWORD timeoutMs) const {
        if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }

  private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// The wizard window of one installer process and its controls, found from outside.
struct Wizard {
    const InstallerProcess* process = nullptr;
    HWND window = nullptr;
    HWND tab = nullptr;     // 选择夹1
    HWND cancel = nullptr;  // 按钮1

    HWND Control(int id) const { return GetDlgItem(tab, id); }
    int Page() const {
        LRESULT page = -2;
        if (!Send(tab, TCM_GETCURSEL, 0, 0, &page, 500)) return -2;
        return static_cast<int>(page);
    }
};

// "" when page `page` is current and exactly its controls are visible, else what is wrong.
std::string PageProblem(const Wizard& w, int page) {
    int current = w.Page();
    if (current != page) return "current page is " + std::to_string(current);
    const std::string problem = PageControlsProblem(w, page);
    if (!problem.empty()) return problem;
    HWND counter = w.Control(kId标签2);
    if (!counter) return u8"标签2 does not exist";
    if (Visible(counter)) return u8"标签2 is visible";
    return "";
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

void FindWizard(const InstallerProcess& setup, Wizard* w) {
    w->process = &setup;
    WaitFor(
        [&] {
            w->window = FindProcessWindow(setup.pid(), QL_WIZARD_CLASS);
            return w->window != nullptr || !setup.Running();
        },
        kStartDeadlineMs, 50);
    if (!w->window) {
        std::string seen;
        for (HWND hwnd : TopLevelWindows())
            if (ProcessOf(hwnd) == setup.pid())
                seen += " " + ClassOf(hwnd) + (IsWindowVisible(hwnd) ? "" : "(hidden)");
        FAIL() << "start: no visible window of class " << QL_WIZARD_CLASS
               << " from the installer within " << kStartDeadlineMs << " ms"
               << (setup.Running() ? "" : " (the installer exited)")
               << "; its top-level windows:" << (seen.empty() ? " none" : seen);
    }
    w->tab = GetDlgItem(w->window, kId选择夹1);
    w->cancel = GetDlgItem(w->window, kId按钮1);
    ASSERT_TRUE(w->tab) << u8"start: the wizard has no child 选择夹1 (ID " << kId选择夹1 << ")";
    ASSERT_EQ(ClassOf(w->tab), WC_TABCONTROLA) << u8"start: 选择夹1 is not a tab control";
    ASSERT_TRUE(w->cancel) << u8"start: the wizard has no child 按钮1 (ID " << kId按钮1 << ")";
}

// ---- screen pixels and screenshots -----------------------------------------------------------

GdiBitmap CaptureScreen(const RECT& r) {
    WindowDc screen(nullptr);
    MemoryDc memory(CreateCompatibleDC(screen.get()));
    GdiBitmap shot(CreateCompatibleBitmap(screen.get(), r.right - r.left, r.bottom - r.top));
    if (!shot.get()) return shot;
    ScopedSelect select(memory.get(), shot.get());
    BitBlt(memory.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen.get(), r.left, r.top,
           SRCCOPY);
    return shot;
}

std::vector<uint32_t> PixelsOf(HWND hwnd) {
    RECT r;
    if (!GetWindowRect(hwnd, &r) || r.right <= r.left || r.bottom <= r.top) return {};
    return Capture(r).pixels;
}

bool SavePng(HBITMAP bitmap, const std::string& path) {
    // {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s built-in PNG encoder.
    static const CLSID kPngEncoder = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Gdiplus::Ok)
        return false;
    std::wstring widePath = WideFromGbk(path);
    bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder,
                                                          nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

// The wizard as it is on the screen now, saved as `name`.png.
void SaveWindowShot(const Wizard& w, const std::string& name) {
    if (g_config.screenshots.empty()) return;
    RECT r;
    ASSERT_TRUE(GetWindowRect(w.window, &r)) << "screenshot " << name;
    GdiBitmap shot = CaptureScreen(r);
    std::string path = g_config.screenshots + "\\" + name + ".png";
    EXPECT_TRUE(shot.get() && SavePng(shot.get(), path))
        << "screenshot " << name << ": could not save " << Utf8(path);
}

// The wizard after the page has had time to paint.
void SaveScreenshot(const Wizard& w, int page) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kPaintSettleMs));
    SaveWindowShot(w, "page-" + std::to_string(page));
}

// ---- dialogs of the installer ----------------------------------------------------------------

// Presses a dialog's button and waits until the dialog is gone.
void CloseDialog(HWND dialog, int buttonId, const char* step) {
    HWND button = GetDlgItem(dialog, buttonId);
    ASSERT_TRUE(button) << step << ": the dialog has no button " << buttonId;
    ASSERT_TRUE(Click(button)) << step;
    ASSERT_TRUE(
        WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kUiDeadlineMs))
        << step << ": the dialog is still open after pressing button " << buttonId;
}

HWND WaitForFolderDialog(const Wizard& w, const char* step) {
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindProcessWindow(w.process->pid(), kDialogClass, w.window);
            return dialog != nullptr;
        },
        kUiDeadlineMs);
    EXPECT_TRUE(dialog) << step << ": no folder dialog (" << kDialogClass
                        << " owned by the wizard) appeared";
    if (!dialog) return dialog;
    auto saysTitle = [&] {
        for (HWND child : ChildWindows(dialog))
            if (ShownText(child) == written::kChooseFolderTitle) return true;
        return false;
    };
    EXPECT_TRUE(WaitFor(saysTitle, kUiDeadlineMs))
        << step << ": the folder dialog does not say \"" << written::kChooseFolderTitle << "\"";
    return dialog;
}

// 按钮4 更改目录, the folder dialog driven to `path` through BFFM_SETSELECTIONA (Wine's dialog has
// no edit box to type into), then 确定.
void ChooseFolder(const Wizard& w, const std::string& path, const char* step) {
    HWND edit = w.Control(kId编辑框1);
    ASSERT_STEP(Press(w.Control(kId按钮4), u8"按钮4"));
    HWND dialog = WaitForFolderDialog(w, step);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(w.window))
        << step << ": the wizard window stays enabled while the folder dialog is open";
    RemoteMemory text(w.process->handle(), path.c_str(), path.size() + 1);
    ASSERT_TRUE(text.get()) << step << ": cannot place the path in the installer's memory";
    // Wine's dialog may still be filling its tree at the first request and then select the
    // desktop; a second request after a pause lands on the path.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kPaintSettleMs));
        ASSERT_TRUE(Send(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(text.get())))
            << step << ": the folder dialog did not answer BFFM_SETSELECTIONA";
    }
    ASSERT_STEP(CloseDialog(dialog, IDOK, step));
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit, kNoAnswer) == path; }, kUiDeadlineMs))
        << step << u8": 编辑框1 shows \"" << ShownText(edit) << "\", expected \"" << Utf8(path)
        << "\"";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(w.window) != FALSE; }, kUiDeadlineMs))
        << step << ": the wizard window is still disabled after the folder dialog closed";
}

// The writer program's top-level window, wherever it runs.
HWND FindWriterWindow() {
    return FindWindowA(kWriterClass, kWriterTitle);
}

// Closes every writer window and waits for its process to end.
void CloseWriters() {
    for (int i = 0; i < 5; ++i) {
        HWND writer = FindWriterWindow();
        if (!writer) return;
        KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(writer)));
        PostMessageA(writer, WM_CLOSE, 0, 0);
        if (process.get()) WaitForSingleObject(process.get(), kExitDeadlineMs);
    }
}

// Takes back what a walk's installation leaves in the prefix outside the scratch drive, whatever
// the walk's outcome: the desktop shortcut and the per-user installation record.
class InstallationCleanup {
  public:
    InstallationCleanup() : shortcut_(GbkForDisplay(ShortcutFile(DesktopDirectory()))) {}
    ~InstallationCleanup() {
        DeleteFileA(shortcut_.c_str());
        std::string location = ReadInstallLocation(kUninstallKey);
        std::string target = TargetDirectory();
        if (!location.empty() &&
            CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, location.c_str(),
                           static_cast<int>(target.size()), target.c_str(), -1) == CSTR_EQUAL)
            DeleteUninstallEntry(kUninstallKey);
    }
    InstallationCleanup(const InstallationCleanup&) = delete;
    InstallationCleanup& operator=(const InstallationCleanup&) = delete;
    const std::string& shortcut() const { return shortcut_; }

  private:
    std::string shortcut_;
};

// ---- the texts as written for the product ----------------------------------------------------

HWND ControlOf(const Wizard& w, int id) {
    if (id == kId按钮1) return w.cancel;
    if (id == kId编辑框2) return GetDlgItem(w.Control(kId分组框1), id);
    return w.Control(id);
}

// A page title as the tab control reports it, read through the installer's own memory.
std::string PageTitle(const Wizard& w, int page) {
    struct Request {
        TCITEMA item;
        char text[64];
    } request = {};
    RemoteMemory remote(w.process->handle(), &request, sizeof(request));
    if (!remote.get()) return kNoAnswer;
    auto* there = static_cast<Request*>(remote.get());
    request.item.mask = TCIF_TEXT;
    request.item.pszText = there->text;
    request.item.cchTextMax = sizeof(request.text);
    SIZE_T done = 0;
    if (!WriteProcessMemory(w.process->handle(), there, &request, sizeof(request), &done) ||
        !Send(w.tab, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(there)) ||
        !ReadProcessMemory(w.process->handle(), there->text, request.text, sizeof(request.text),
                           &done))
        return kNoAnswer;
    request.text[sizeof(request.text) - 1] = '\0';
    return Utf8(request.text);
}

// The window title, every control's text and every page title, each as the window reports it.
void ExpectTextsAsWritten(const Wizard& w) {
    EXPECT_EQ(ShownText(w.window), written::kWindowTitle) << "window title";
    for (const written::ControlText& c : written::kControlTexts)
        EXPECT_EQ(FirstDifference(ShownText(ControlOf(w, c.id)), c.text), "") << c.name;
    int page = 0;
    for (const char* title : written::kPageTitles) {
        EXPECT_EQ(PageTitle(w, page), title) << "title of page " << page;
        ++page;
    }
}

std::string InfoTextAsWritten() {
    std::string text;
    for (const char* piece : written::kInfoTexts) text += piece;
    return text;
}

// ---- walk steps shared by the tests ----------------------------------------------------------

// Page 0 → 1 → (licence accepted) → 2.
void WalkToDirectoryPage(const Wizard& w) {
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    ASSERT_STEP(Press(w.Control(kId按钮2), u8"按钮2"));
    ASSERT_STEP(ExpectPage(w, kLicencePage, u8"按钮2 下一步 on page 0"));
    ASSERT_STEP(Press(w.Control(kId选择框1), u8"选择框1"));
    HWND next1 = w.Control(kId按钮3);
    ASSERT_TRUE(WaitFor([&] { return Enabled(next1); }, kUiDeadlineMs))
        << u8"page 1: 按钮3 stays disabled after checking 选择框1";
    ASSERT_STEP(Press(w.Control(kId按钮3), u8"按钮3"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, u8"按钮3 下一步 on page 1"));
}

// 按钮6 确认安装 on page 3, then the installed files and the shortcut.
void InstallAndCheck(const Wizard& w, const InstallationCleanup& cleanup) {
    ASSERT_STEP(Press(w.Control(kId按钮6), u8"按钮6"));
    auto start = std::chrono::steady_clock::now();
    // While the files are written the window answers within 200 ms and shows its progress; one
    // picture of it is kept.
    HWND bar = w.Control(kId进度条1);
    int probes = 0, unanswered = 0;
    bool pictured = false;
    bool writing = false;
    bool reached = WaitFor(
        [&] {
            // From the first chunk written on, every message is answered within 200 ms.
            DWORD_PTR pos = 0;
            SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 200, &pos);
            writing = writing || pos > 0;
            if (writing) {
                DWORD_PTR result = 0;
                auto sent = std::chrono::steady_clock::now();
                probes++;
                if (!SendMessageTimeoutA(w.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result)) {
                    unanswered++;
                    std::printf(
                        "installation: no answer within 200 ms at %lld ms, progress %d\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::milliseconds>(sent - start)
                                .count()),
                        static_cast<int>(pos));
                }
            }
            if (!pictured && pos > 0 && pos < 1000) {
                SaveWindowShot(w, "installing");
                pictured = true;
            }
            return w.Page() == 4;
        },
        kInstallDeadlineMs, 20);
    ASSERT_TRUE(reached) << u8"按钮6 确认安装: page 4 not reached within " << kInstallDeadlineMs
                         << " ms; 编辑框2 reads \""
                         << ShownText(GetDlgItem(w.Control(kId分组框1), kId编辑框2)) << "\"";
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    std::printf("installation: page 4 after %lld ms, %d probes, progress pictured: %s\n",
                static_cast<long long>(ms), probes, pictured ? "yes" : "no");
    EXPECT_EQ(unanswered, 0) << "installation: the window did not answer WM_NULL within 200 ms";
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), SendMessageA(bar, PBM_GETRANGE, FALSE, 0))
        << "installation: the progress bar did not reach its maximum";
    ASSERT_STEP(ExpectPage(w, kUsagePage, u8"按钮6 确认安装"));
    EXPECT_EQ(FirstDifference(ShownText(ControlOf(w, kId编辑框2)), InfoTextAsWritten()), "")
        << u8"installation: 编辑框2 after a successful installation";

    std::string product = ProductDirectory(TargetDirectory());
    std::vector<std::string> expected;
    for (const PayloadEntry& e : kPayloadEntries) expected.push_back(e.name);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> listed = ListTree(product);
    std::vector<std::string> shownListed, shownExpected;
    for (const std::string& name : listed) shownListed.push_back(Utf8(name));
    for (const std::string& name : expected) shownExpected.push_back(Utf8(name));
    EXPECT_EQ(shownListed, shownExpected) << "installation: the files in " << Utf8(product)
                                          << u8" (17 payload files, no 安装文件.zip left)";
    for (const PayloadEntry& e : kPayloadEntries)
        EXPECT_EQ(FileSize(JoinPath(product, e.name)), static_cast<int64_t>(e.size))
            << "installation: size of " << Utf8(e.name);
    EXPECT_TRUE(FileExists(cleanup.shortcut()))
        << "installation: no desktop shortcut " << Utf8(cleanup.shortcut());
}

// One click on 按钮12 我知道了 on page 4; `step` is the value 标签2 must then hold.
void TutorialStep(const Wizard& w, int step) {
    HWND counter = w.Control(kId标签2);
    ASSERT_STEP(Press(w.Control(kId按钮12), u8"按钮12"));
    std::string want = std::to_string(step);
    ASSERT_TRUE(WaitFor([&] { return TextOf(counter, kNoAnswer) == want; }, kUiDeadlineMs))
        << u8"按钮12 click " << step << u8": 标签2 reads \"" << ShownText(counter)
        << "\", expected \"" << want << "\"";
}

void TutorialToLastPage(const Wizard& w, bool checkPictures) {
    HWND picture = w.Control(kId图片框1);
    for (int step = 1; step <= 3; ++step) {
        std::vector<uint32_t> before;
        if (checkPictures) {
            before = PixelsOf(picture);
            ASSERT_FALSE(before.empty()) << u8"cannot capture 图片框1 before click " << step;
        }
        ASSERT_STEP(TutorialStep(w, step));
        if (checkPictures) {
            EXPECT_TRUE(WaitFor([&] { return PixelsOf(picture) != before; }, kUiDeadlineMs, 50))
                << u8"按钮12 click " << step << u8": the picture in 图片框1 did not change";
        }
        EXPECT_EQ(w.Page(), kUsagePage) << u8"按钮12 click " << step << " left page 4";
    }
    ASSERT_STEP(TutorialStep(w, 4));
    ASSERT_STEP(ExpectPage(w, kFinishPage, u8"fourth click on 按钮12"));
}

// From the welcome page to the finish page: the target directory chosen with the folder dialog,
// the installation made and checked, the usage notes read.
void InstallIntoTheTargetDirectory(const Wizard& w, const InstallationCleanup& cleanup) {
    ASSERT_STEP(WalkToDirectoryPage(w));
    ASSERT_STEP(ChooseFolder(w, TargetDirectory(), u8"按钮4 更改目录"));
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步 on page 2"));
    ASSERT_STEP(InstallAndCheck(w, cleanup));
    ASSERT_STEP(TutorialToLastPage(w, false));
}

// On the finish page: 选择框6 启动软件 unticked, then 按钮7 完成安装 ends the installer with 0.
void FinishWithoutStartingTheProgram(const Wizard& w, const InstallerProcess& setup) {
    HWND start = w.Control(kId选择框6);
    ASSERT_TRUE(Click(start));
    ASSERT_TRUE(WaitFor([&] { return CheckState(start) == BST_UNCHECKED; }, kUiDeadlineMs))
        << u8"page 5: 选择框6 stays checked after a click";
    ASSERT_STEP(Press(w.Control(kId按钮7), u8"按钮7"));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮7 完成安装: installer exit code";
}

// The 17 payload files in `product`, each at its size, and nothing else.
void ExpectThePayloadFiles(const std::string& product) {
    std::vector<std::string> expected, listed;
    for (const PayloadEntry& e : kPayloadEntries) expected.push_back(Utf8(e.name));
    for (const std::string& name : ListTree(product)) listed.push_back(Utf8(name));
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected) << "the 17 payload files in " << Utf8(product);
    for (const PayloadEntry& e : kPayloadEntries)
        EXPECT_EQ(FileSize(JoinPath(product, e.name)), static_cast<int64_t>(e.size)) << e.name;
}

}  // namespace

// ---- the walks -------------------------------------------------------------------------------

TEST(WizardWalk, EveryPageInstallAndFinishStartingTheProgram) {
    CloseWriters();
    ASSERT_FALSE(FindWriterWindow()) << "a writer window is open before the walk";
    InstallationCleanup cleanup;
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer) << ", error "
                               << GetLastError();
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));

    // Page 0: every text as the windows report it, the title's line end, the cancel button.
    ASSERT_STEP(ExpectTextsAsWritten(w));
    std::string title = ShownText(w.window);
    EXPECT_TRUE(title.size() >= 2 && title.compare(title.size() - 2, 2, "\r\n") == 0)
        << "the window title does not end with \\r\\n";
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    EXPECT_TRUE(Visible(w.cancel)) << u8"page 0: 按钮1 取消安装 is hidden";
    ASSERT_STEP(SaveScreenshot(w, 0));

    // Page 1: the licence gate.
    ASSERT_STEP(Press(w.Control(kId按钮2), u8"按钮2"));
    ASSERT_STEP(ExpectPage(w, kLicencePage, u8"按钮2 下一步 on page 0"));
    HWND accept = w.Control(kId选择框1);
    HWND next1 = w.Control(kId按钮3);
    EXPECT_EQ(CheckState(accept), BST_UNCHECKED) << u8"page 1: 选择框1 starts checked";
    EXPECT_FALSE(Enabled(next1)) << u8"page 1: 按钮3 is enabled before 选择框1 is checked";
    ASSERT_STEP(SaveScreenshot(w, 1));
    struct GateCase {
        LRESULT check;
        bool enabled;
    };
    const GateCase gate[] = {{BST_CHECKED, true}, {BST_UNCHECKED, false}, {BST_CHECKED, true}};
    for (size_t i = 0; i < sizeof(gate) / sizeof(gate[0]); ++i) {
        ASSERT_TRUE(Click(accept));
        EXPECT_TRUE(WaitFor(
            [&] {
                return CheckState(accept) == gate[i].check && Enabled(next1) == gate[i].enabled;
            },
            kUiDeadlineMs))
            << u8"page 1, click " << i + 1 << u8" on 选择框1: check state " << CheckState(accept)
            << u8", 按钮3 " << (Enabled(next1) ? "enabled" : "disabled") << "; expected "
            << gate[i].check << ", " << (gate[i].enabled ? "enabled" : "disabled");
    }
    ASSERT_TRUE(Enabled(next1));
    ASSERT_TRUE(Click(next1));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, u8"按钮3 下一步 on page 1"));

    // Page 2: the directory field refuses typing and follows the folder dialog only.
    HWND edit = w.Control(kId编辑框1);
    EXPECT_EQ(ShownText(edit), "D:\\") << u8"page 2: initial 编辑框1";
    ASSERT_STEP(SaveScreenshot(w, 2));
    for (WPARAM ch : {WPARAM('x'), WPARAM('\b'), WPARAM('\b'), WPARAM('9')})
        PostMessageA(edit, WM_CHAR, ch, 1);
    // The characters were posted before this click, so they have been handled once it opens.
    ASSERT_STEP(Press(w.Control(kId按钮4), u8"按钮4"));
    HWND dialog = WaitForFolderDialog(w, u8"按钮4 更改目录, first time");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ShownText(edit), "D:\\") << u8"page 2: typing into 编辑框1 changed it";
    EXPECT_FALSE(IsWindowEnabled(w.window))
        << "the wizard window stays enabled while the folder dialog is open";
    ASSERT_STEP(CloseDialog(dialog, IDCANCEL, "folder dialog, cancelled"));
    EXPECT_TRUE(WaitFor([&] { return TextOf(edit, kNoAnswer).empty(); }, kUiDeadlineMs))
        << u8"cancelling the folder dialog left 编辑框1 at \"" << ShownText(edit) << "\"";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(w.window) != FALSE; }, kUiDeadlineMs))
        << "the wizard window stays disabled after the folder dialog was cancelled";

    // Empty directory: the message box, and the wizard stays on page 2.
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows())
                if (ProcessOf(hwnd) == setup.pid() && IsWindowVisible(hwnd) &&
                    ClassOf(hwnd) == kDialogClass && ShownText(hwnd) == written::kMessageTitle)
                    box = hwnd;
            return box != nullptr;
        },
        kUiDeadlineMs))
        << u8"按钮5 with an empty directory: no message box titled \"" << written::kMessageTitle
        << "\"";
    std::vector<std::string> statics;
    for (HWND child : ChildWindows(box))
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) statics.push_back(ShownText(child));
    EXPECT_NE(std::find(statics.begin(), statics.end(), written::kEmptyDirectoryMessage),
              statics.end())
        << "the message box does not say \"" << written::kEmptyDirectoryMessage << "\"";
    ASSERT_STEP(CloseDialog(box, IDOK, "empty-directory message box"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, "after the empty-directory message"));

    ASSERT_STEP(ChooseFolder(w, TargetDirectory(), u8"按钮4 更改目录, second time"));

    // Page 3: the cancel button goes while it is current and comes back on page 2.
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步 on page 2"));
    EXPECT_TRUE(WaitFor([&] { return !Visible(w.cancel); }, kWatcherDeadlineMs))
        << u8"page 3: 按钮1 取消安装 still visible after " << kWatcherDeadlineMs << " ms";
    ASSERT_STEP(SaveScreenshot(w, 3));
    ASSERT_STEP(Press(w.Control(kId按钮11), u8"按钮11"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, u8"按钮11 上一步 on page 3"));
    EXPECT_TRUE(WaitFor([&] { return Visible(w.cancel); }, kWatcherDeadlineMs))
        << u8"back on page 2: 按钮1 取消安装 still hidden after " << kWatcherDeadlineMs << " ms";
    EXPECT_EQ(ShownText(edit), Utf8(TargetDirectory())) << u8"back on page 2: 编辑框1 changed";
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步 on page 2, again"));
    EXPECT_TRUE(WaitFor([&] { return !Visible(w.cancel); }, kWatcherDeadlineMs))
        << u8"page 3 again: 按钮1 取消安装 still visible after " << kWatcherDeadlineMs << " ms";

    // Page 4: installed; the cancel button is gone for good.
    ASSERT_STEP(InstallAndCheck(w, cleanup));
    EXPECT_TRUE(WaitFor([&] { return !Visible(w.cancel); }, kWatcherDeadlineMs))
        << u8"page 4: 按钮1 取消安装 visible";
    ASSERT_STEP(SaveScreenshot(w, 4));
    HWND counter = w.Control(kId标签2);
    EXPECT_EQ(ShownText(counter), "0") << u8"page 4: 标签2 before the tutorial";
    ASSERT_STEP(TutorialToLastPage(w, true));

    // Page 5: finish with 选择框6 checked starts the installed program.
    EXPECT_FALSE(Visible(w.cancel)) << u8"page 5: 按钮1 取消安装 came back";
    ASSERT_STEP(SaveScreenshot(w, 5));
    EXPECT_FALSE(Visible(w.cancel)) << u8"page 5, later: 按钮1 取消安装 came back";
    HWND startBox = w.Control(kId选择框6);
    ASSERT_EQ(CheckState(startBox), BST_CHECKED) << u8"page 5: 选择框6 unchecked";
    ASSERT_STEP(Press(w.Control(kId按钮7), u8"按钮7"));
    // The wizard goes first: it does not stay on the screen while the program gets ready.
    HWND writer = nullptr;
    bool bothShown = false;
    EXPECT_TRUE(WaitFor(
        [&] {
            writer = FindWriterWindow();
            bothShown = bothShown || (writer && IsWindowVisible(w.window));
            return writer != nullptr;
        },
        kExitDeadlineMs, 5))
        << u8"按钮7 完成安装 with 选择框6 checked: no writer window appeared";
    EXPECT_FALSE(bothShown) << u8"按钮7 完成安装: the wizard was still on the screen when the "
                               u8"program's window appeared";
    if (writer) {
        KernelHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, ProcessOf(writer)));
        char image[MAX_PATH * 2] = {};
        DWORD size = sizeof(image);
        ASSERT_TRUE(process.get() && QueryFullProcessImageNameA(process.get(), 0, image, &size))
            << "the writer's process";
        EXPECT_EQ(lstrcmpiA(image, ProgramPath(TargetDirectory()).c_str()), 0)
            << "the started program is " << Utf8(image) << ", expected "
            << Utf8(ProgramPath(TargetDirectory()));
        PostMessageA(writer, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process.get(), kExitDeadlineMs), WAIT_OBJECT_0)
            << "the writer did not end after WM_CLOSE";
    }
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮7 完成安装: installer exit code";
}

TEST(WizardWalk, FinishWithoutStartingTheProgram) {
    CloseWriters();
    ASSERT_FALSE(FindWriterWindow()) << "a writer window is open before the walk";
    InstallationCleanup cleanup;
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    // Same directory as the first walk: installing over an installation must work too.
    ASSERT_STEP(InstallIntoTheTargetDirectory(w, cleanup));
    ASSERT_STEP(FinishWithoutStartingTheProgram(w, setup));
    EXPECT_FALSE(WaitFor([] { return FindWriterWindow() != nullptr; }, kNoWriterWindowMs, 50))
        << u8"按钮7 完成安装 with 选择框6 unchecked started the writer";
    CloseWriters();
}

TEST(WizardWalk, CancelOnTheWelcomePage) {
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    ASSERT_TRUE(Visible(w.cancel)) << u8"page 0: 按钮1 取消安装 is hidden";
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
    EXPECT_FALSE(IsWindow(w.window)) << u8"按钮1 取消安装: the wizard window is still there";
}

namespace {

// The "tencent" protocol pointed at url-recorder.exe for the life of the object. Registered
// machine-wide: Wine 8's ShellExecute ignores HKCU\Software\Classes (SE_ERR_NOASSOC there).
class ChatProtocol {
  public:
    explicit ChatProtocol(const std::string& recordFile) {
        std::string command = "\"" + g_config.recorder + "\" \"%1\" \"" + recordFile + "\"";
        ok_ = SetValue(kKey, "", "URL:tencent Protocol") && SetValue(kKey, "URL Protocol", "") &&
              SetValue(std::string(kKey) + "\\shell\\open\\command", "", command);
    }
    ~ChatProtocol() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey); }
    ChatProtocol(const ChatProtocol&) = delete;
    ChatProtocol& operator=(const ChatProtocol&) = delete;
    bool ok() const { return ok_; }

  private:
    static constexpr char kKey[] = "Software\\Classes\\tencent";
    static bool SetValue(const std::string& key, const char* name, const std::string& value) {
        HKEY hkey = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &hkey, nullptr) != ERROR_SUCCESS)
            return false;
        LONG rc =
            RegSetValueExA(hkey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        RegCloseKey(hkey);
        return rc == ERROR_SUCCESS;
    }
    bool ok_ = false;
};

}  // namespace

TEST(WizardWalk, ChatButtonOpensTheAuthorsChatLink) {
    TempDir scratch;
    std::string record = scratch / "url.txt";
    ChatProtocol protocol(record);
    ASSERT_TRUE(protocol.ok()) << "cannot register the tencent protocol";
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(ExpectPage(w, kWelcomePage, "start"));
    ASSERT_STEP(Press(w.Control(kId按钮8), u8"按钮8"));
    EXPECT_TRUE(WaitFor([&] { return FileExists(record); }, kUiDeadlineMs * 2, 50))
        << u8"按钮8: the tencent protocol handler was not started";
    EXPECT_EQ(ReadText(record), written::kChatUrl) << u8"按钮8: the chat URL";
    EXPECT_EQ(w.Page(), kWelcomePage) << u8"按钮8 left page 0";
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
}

namespace {

// Wine's mount manager learns of drive letters only when it starts or through this request (as
// winecfg makes it); a letter merely linked in dosdevices afterwards reads and writes files but
// stays unknown to volume queries and to the shell's namespace, so the folder dialog cannot go
// there. Layout of Wine's struct mountmgr_unix_drive, followed by the Unix mount point.
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

bool AnnounceDrive(const std::string& drive, const std::string& unixPath) {
    FileHandle manager(CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
    if (!manager || drive.size() != 2) return false;
    std::vector<char> request(sizeof(MountManagerUnixDrive) + unixPath.size() + 1, '\0');
    MountManagerUnixDrive header = {};
    header.size = static_cast<ULONG>(request.size());
    header.type = DRIVE_FIXED;
    header.letter = static_cast<WCHAR>(drive[0] | 0x20);  // mountmgr wants it lower case
    header.mountPointOffset = sizeof(header);
    std::copy(unixPath.begin(), unixPath.end(), request.begin() + sizeof(header));
    std::memcpy(request.data(), &header, sizeof(header));
    DWORD returned = 0;
    return DeviceIoControl(manager.get(), kDefineUnixDrive, request.data(),
                           static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
}

}  // namespace

// ---- filesystem faults through the wizard ----------------------------------------------------
// Run by run_faults.sh, which maps a tmpfs as the drive (QL_FAULT_DRIVE=1) and, where it can, a
// read-only directory below it (QL_READONLY_DIR, the directory to choose, GBK-free ASCII).

namespace {

// Every file below the drive with its size; directories have size -1.
std::map<std::string, int64_t> DriveContents() {
    std::map<std::string, int64_t> contents;
    std::string root = g_config.drive + "\\";
    for (const std::string& name : ListTree(root))
        contents[Utf8(name)] = name.back() == '\\' ? -1 : FileSize(root + name);
    return contents;
}

// Writes zeros to `path` until the volume refuses more, leaving `leaveBytes` free.
bool FillDrive(const std::string& path, uint64_t leaveBytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::vector<char> zeros(1u << 20, '\0');
    for (DWORD chunk = static_cast<DWORD>(zeros.size()); chunk >= 4096; chunk /= 16) {
        for (;;) {
            uint64_t free = 0;
            if (!FreeBytesFor(g_config.drive + "\\", &free) || free < leaveBytes + chunk) break;
            DWORD done = 0;
            if (!WriteFile(file.get(), zeros.data(), chunk, &done, nullptr) || done != chunk) break;
        }
    }
    return true;
}

// Suspends every thread of a process for the life of the object.
class Suspension {
  public:
    explicit Suspension(DWORD pid) {
        KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Thread32First(snapshot.get(), &entry); more;
             more = Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID != pid) continue;
            HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
            if (!thread) continue;
            if (SuspendThread(thread) == static_cast<DWORD>(-1))
                CloseHandle(thread);
            else
                threads_.push_back(thread);
        }
    }
    ~Suspension() {
        for (HANDLE thread : threads_) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    Suspension(const Suspension&) = delete;
    Suspension& operator=(const Suspension&) = delete;
    size_t count() const { return threads_.size(); }

  private:
    std::vector<HANDLE> threads_;
};

// A visible top-level window of the installer other than the wizard, titled `title`.
HWND FindMessageBox(const Wizard& w, const char* title) {
    for (HWND hwnd : TopLevelWindows())
        if (hwnd != w.window && ProcessOf(hwnd) == w.process->pid() && IsWindowVisible(hwnd) &&
            ShownText(hwnd) == title)
            return hwnd;
    return nullptr;
}

std::string TextsOf(HWND box) {
    std::string texts;
    for (HWND child : ChildWindows(box)) texts += ShownText(child) + "\n";
    return texts;
}

struct FaultCase {
    const char* name;
    std::string directory;                            // chosen in the folder dialog (GBK)
    std::function<bool(const std::string&)> prepare;  // before the walk; false: cannot run
    bool fillWhileWriting;                            // fill the drive after the first chunk
    const char* message;                              // part of the message box's text (UTF-8)
};

// The drive's files are removed between cases, so each starts from the fixture alone.
void ClearDrive(const std::string& keep) {
    std::string root = g_config.drive + "\\";
    for (const std::string& name : ListTree(root)) {
        size_t separator = name.find('\\');
        if (separator == std::string::npos)
            DeleteFileA((root + name).c_str());
        else if (separator == name.size() - 1 && name.substr(0, separator) != keep)
            RemoveTree(root + name.substr(0, separator));
    }
}

void RunFault(const FaultCase& c) {
    SCOPED_TRACE(c.name);
    InstallationCleanup cleanup;
    DeleteFileA(cleanup.shortcut().c_str());
    ASSERT_TRUE(c.prepare(c.directory)) << c.name << ": cannot prepare the fault";
    const std::string filler = g_config.drive + "\\filler.bin";
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(WalkToDirectoryPage(w));
    ASSERT_STEP(ChooseFolder(w, c.directory, u8"按钮4 更改目录"));
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步 on page 2"));
    std::map<std::string, int64_t> before = DriveContents();

    ASSERT_STEP(Press(w.Control(kId按钮6), u8"按钮6"));
    if (c.fillWhileWriting) {
        // Stop the installer once it has written something, take the rest of the room, go on.
        HWND bar = w.Control(kId进度条1);
        DWORD_PTR pos = 0;
        ASSERT_TRUE(WaitFor(
            [&] {
                SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 200, &pos);
                return pos > 0;
            },
            kInstallDeadlineMs, 5))
            << c.name << ": the installation wrote nothing";
        // Nothing may be sent to the installer's windows while it is suspended.
        Suspension stopped(setup.pid());
        ASSERT_GT(stopped.count(), 0u) << c.name << ": cannot suspend the installer";
        std::printf("%s: suspended at progress %d, %zu files in the product directory\n", c.name,
                    static_cast<int>(pos), ListTree(ProductDirectory(c.directory)).size());
        ASSERT_TRUE(FillDrive(filler, 0)) << c.name << ": cannot fill the drive";
    }
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindMessageBox(w, written::kMessageTitle)) != nullptr; },
                kInstallDeadlineMs, 50))
        << c.name << u8": no message box titled 安装提示：; page " << w.Page();
    std::string texts = TextsOf(box);
    std::printf("%s: %s", c.name, texts.c_str());
    EXPECT_NE(texts.find(c.message), std::string::npos)
        << c.name << ": the message box says \"" << texts << "\", expected \"" << c.message << "\"";
    ASSERT_STEP(CloseDialog(box, IDOK, "failure message box"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, "after the failure message"));
    if (c.fillWhileWriting) {
        EXPECT_TRUE(DeleteFileA(filler.c_str())) << "filler";
    }
    EXPECT_EQ(DriveContents(), before)
        << c.name << ": the failed run changed the drive (left or removed files)";
    EXPECT_FALSE(FileExists(cleanup.shortcut())) << c.name << ": a desktop shortcut was made";

    ASSERT_STEP(Press(w.Control(kId按钮11), u8"按钮11"));
    ASSERT_STEP(ExpectPage(w, kDirectoryPage, u8"按钮11 上一步 after the failure"));
    ASSERT_TRUE(WaitFor([&] { return Visible(w.cancel); }, kUiDeadlineMs));
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || DirectoryExists(path);
}

// A directory of exactly `length` characters below the drive, made with the long-path API.
std::string LongDirectory(size_t length) {
    std::string path = g_config.drive;
    while (path.size() < length) {
        size_t segment = std::min<size_t>(60, length - path.size() - 1);
        if (segment == 0) segment = 1;
        path += "\\" + std::string(segment, 'a');
    }
    return path.substr(0, length);
}

bool MakeLongDirectory(const std::string& path) {
    std::wstring wide = L"\\\\?\\" + WideFromGbk(path);
    for (size_t i = 7; i <= wide.size(); ++i)
        if (i == wide.size() || wide[i] == L'\\')
            CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(WizardFaults, EachFaultIsReportedAndUndone) {
    if (!std::getenv("QL_FAULT_DRIVE")) GTEST_SKIP() << "run by run_faults.sh on a tmpfs drive";
    const std::string drive = g_config.drive;
    const char* readOnly = std::getenv("QL_READONLY_DIR");
    const std::vector<FaultCase> cases = {
        {"disk too small", drive + "\\small",
         [&](const std::string& dir) {
             // Everything but 8 MiB taken: the check before writing refuses.
             return MakeDirectory(dir) && FillDrive(drive + "\\filler.bin", 8u << 20);
         },
         false, u8"安装失败：磁盘空间不足"},
        {"disk fills while writing", drive + "\\full", MakeDirectory, true, u8"安装失败：无法写入"},
        {"path longer than 259", LongDirectory(250), MakeLongDirectory, false,
         u8"安装失败：路径过长"},
        {"file in place of the product directory", drive + "\\blocked",
         [](const std::string& dir) {
             return MakeDirectory(dir) && WriteText(ProductDirectory(dir), "keep");
         },
         false, u8"安装失败：无法创建安装目录"},
        {"read-only product directory", readOnly ? drive + "\\" + readOnly : std::string(),
         [&](const std::string& dir) {
             return DirectoryExists(ProductDirectory(dir)) &&
                    !CanCreateFilesIn(ProductDirectory(dir));
         },
         false, u8"安装失败：无法在所选目录"},
    };
    for (const FaultCase& c : cases) {
        if (c.directory.empty()) {
            std::printf("%s: skipped, no read-only directory could be mapped\n", c.name);
            continue;
        }
        ClearDrive(readOnly ? readOnly : "");
        RunFault(c);
        DeleteFileA((drive + "\\filler.bin").c_str());
    }
}

// ---- one installer at a time, unattended installation, a running program ---------------------

namespace {

constexpr char kProgramRunning[] = u8"青岚笺语写作正在运行，请先关闭它，然后再安装。";

// The windows of the class (visible or not) of process `pid`, or of every process when 0.
int WindowsOfClass(DWORD pid, const char* cls) {
    int count = 0;
    for (HWND hwnd : TopLevelWindows())
        if ((!pid || ProcessOf(hwnd) == pid) && ClassOf(hwnd) == cls) count++;
    return count;
}

struct SilentRun {
    long code;         // -1: still running at the deadline (then ended), -2: could not start
    bool windowShown;  // a visible window (a message box, the wizard) at some moment of the run
};

// A visible top-level window of process `pid`.
bool ShowsAWindow(DWORD pid) {
    for (HWND hwnd : TopLevelWindows())
        if (ProcessOf(hwnd) == pid && IsWindowVisible(hwnd)) return true;
    return false;
}

// Runs the installer (or `program`) with `arguments` to its end or the deadline, watching for
// windows.
SilentRun RunInstaller(const std::string& arguments, const std::string& program = "",
                       DWORD deadlineMs = kInstallDeadlineMs) {
    InstallerProcess setup;
    if (!setup.Start(arguments, program)) return {-2, false};
    bool shown = false;
    WaitFor(
        [&] {
            shown = shown || ShowsAWindow(setup.pid());
            return !setup.Running();
        },
        deadlineMs, 10);
    return {setup.WaitExit(0), shown};
}

// A copy of the installer whose payload archive has eight damaged bytes in its first entry's
// compressed data. The archive is found by its block header: count 1, length, then "PK\3\4".
bool WriteDamagedInstaller(const std::string& path) {
    std::string bytes = ReadText(g_config.installer);
    auto u16 = [&](size_t at) {
        return size_t(uint8_t(bytes[at])) | size_t(uint8_t(bytes[at + 1])) << 8;
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    const std::string signature("PK\x03\x04", 4);
    // The block: count 1 and the archive's length, then the archive.
    for (size_t at = bytes.find(signature, 8); at != std::string::npos && at + 30 < bytes.size();
         at = bytes.find(signature, at + 1)) {
        if (u32(at - 8) != 1 || u32(at - 4) > bytes.size() - at) continue;
        size_t data = at + 30 + u16(at + 26) + u16(at + 28);
        size_t compressed = u32(at + 18);
        if (compressed < 16 || data + compressed > bytes.size()) return false;
        for (size_t i = data + compressed / 2; i < data + compressed / 2 + 8; ++i) bytes[i] ^= 0x5A;
        return WriteText(path, bytes);
    }
    return false;
}

// A visible message box (#32770) of process `pid`.
HWND WaitForBoxOf(DWORD pid) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindProcessWindow(pid, kDialogClass)) != nullptr; },
            kStartDeadlineMs, 50);
    return box;
}

// Every file below `dir` with its bytes.
std::map<std::string, std::string> FilesWithBytes(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const std::string& name : ListTree(dir))
        if (name.back() != '\\') files[Utf8(name)] = ReadText(JoinPath(dir, name));
    return files;
}

}  // namespace

TEST(WizardWalk, AFolderWhoseNameGbkCannotHoldIsRefused) {
    // A folder the user named in Korean: the installer's paths are GBK and cannot name it, and a
    // name with "?" in it would be another place. Refused with a message; the field keeps what
    // it had.
    const std::wstring folder = WideFromGbk(g_config.drive) + L"\\\uae40\uc791\uac00";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    struct RemoveFolder {
        const std::wstring& path;
        ~RemoveFolder() { RemoveDirectoryW(path.c_str()); }
    } removeFolder{folder};
    InstallerProcess setup;
    ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(WalkToDirectoryPage(w));
    HWND edit = w.Control(kId编辑框1);
    const std::string before = TextOf(edit, kNoAnswer);

    const char* step = u8"按钮4 更改目录 to a Korean folder";
    ASSERT_STEP(Press(w.Control(kId按钮4), u8"按钮4"));
    HWND dialog = WaitForFolderDialog(w, step);
    ASSERT_TRUE(dialog);
    RemoteMemory text(w.process->handle(), folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
    ASSERT_TRUE(text.get()) << step << ": cannot place the path in the installer's memory";
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kPaintSettleMs));
        ASSERT_TRUE(Send(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(text.get())))
            << step << ": the folder dialog did not answer BFFM_SETSELECTIONW";
    }
    ASSERT_STEP(CloseDialog(dialog, IDOK, step));

    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindMessageBox(w, written::kMessageTitle)) != nullptr; },
                kUiDeadlineMs))
        << step << ": no message box";
    const std::string texts = TextsOf(box);
    EXPECT_NE(texts.find(written::kFailDirectoryCharacters), std::string::npos) << texts;
    ASSERT_STEP(CloseDialog(box, IDOK, step));
    EXPECT_EQ(TextOf(edit, kNoAnswer), before) << u8"编辑框1 changed after the refusal";
    EXPECT_EQ(w.Page(), kDirectoryPage);
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
}

TEST(WizardWalk, SecondStartBringsTheOpenWizardToTheFront) {
    // /D= without /S: the wizard proposes that directory.
    const std::string proposed = TargetDirectory() + "\\由 参数 提议";
    InstallerProcess first;
    ASSERT_TRUE(first.Start("/D=" + proposed)) << "cannot start " << Utf8(g_config.installer);
    Wizard w;
    ASSERT_STEP(FindWizard(first, &w));
    ASSERT_STEP(WalkToDirectoryPage(w));
    EXPECT_EQ(ShownText(w.Control(kId编辑框1)), Utf8(proposed)) << "page 2 with /D=";
    ShowWindow(w.window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(w.window) != FALSE; }, kUiDeadlineMs))
        << "the wizard could not be minimised";

    InstallerProcess second;
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitExit(kStartDeadlineMs), 0) << "second start: exit code";
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(w.window) && GetForegroundWindow() == w.window; },
                        kUiDeadlineMs))
        << "second start: the first wizard is " << (IsIconic(w.window) ? "minimised" : "restored")
        << (GetForegroundWindow() == w.window ? " in front" : " behind another window");
    EXPECT_EQ(WindowsOfClass(0, QL_WIZARD_CLASS), 1) << "wizard windows after the second start";

    ASSERT_STEP(ExpectPage(w, kDirectoryPage, "after the second start"));
    ASSERT_TRUE(Click(w.cancel));
    EXPECT_EQ(first.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装: installer exit code";
}

TEST(WizardWalk, SilentInstallationAndItsRefusals) {
    CloseWriters();
    InstallationCleanup cleanup;
    DeleteFileA(cleanup.shortcut().c_str());
    TempDir scratch;
    const std::string damaged = scratch / "damaged-setup.exe";
    ASSERT_TRUE(WriteDamagedInstaller(damaged)) << "cannot find the payload in the installer";
    const std::string below = TargetDirectory() + "\\";
    struct Case {
        const char* name;
        std::string directory;  // after /D= (GBK), made first when `make` is set
        bool make;
        std::function<bool()> prepare;  // more to set up before the run
        std::string program;            // "" for the installer
        long code;                      // the documented exit code
        const char* logLine;            // in the log (UTF-8)
        // "/D=..." quoted as one whole argument before /LOG=, as scripts pass it, instead of
        // unquoted at the end
        bool quotedWhole = false;
    };
    const std::vector<Case> cases = {
        {"parent missing", below + "没有\\这一层", false, [] { return true; }, "", 3,
         u8"安装失败：无法创建安装目录"},
        {"relative directory", "相对目录", false, [] { return true; }, "", 3,
         u8"安装失败：安装目录“相对目录”无效"},
        {"file in place of the product directory", below + "挡住", true,
         [&] { return WriteText(ProductDirectory(below + "挡住"), "keep"); }, "", 3,
         u8"安装失败：无法创建安装目录"},
        {"damaged installer", below + "损坏", true, [] { return true; }, damaged, 2,
         u8"安装程序已损坏，请重新下载。"},
        {"installed, /D= with spaces", below + "静默 安装 目录", true, [] { return true; }, "", 0,
         u8"安装成功。"},
        {"installed, \"/D=\" with spaces quoted whole", below + "引号 中的 目录", true,
         [] { return true; }, "", 0, u8"安装成功。", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(!c.make || MakeDirectory(c.directory)) << "cannot make the directory";
        ASSERT_TRUE(c.prepare());
        const std::string log = scratch / "安装 日志.log";
        DeleteFileA(log.c_str());
        std::map<std::string, int64_t> before = DriveContents();
        const std::string logSwitch = "/LOG=\"" + log + "\"";
        SilentRun run = RunInstaller(c.quotedWhole ? "/S \"/D=" + c.directory + "\" " + logSwitch
                                                   : "/S " + logSwitch + " /D=" + c.directory,
                                     c.program);
        EXPECT_EQ(run.code, c.code) << c.name << ": exit code";
        EXPECT_FALSE(run.windowShown) << c.name << ": /S showed a window";
        std::string text = ReadText(log);
        std::printf("%s: exit %ld; log:\n%s", c.name, run.code, text.c_str());
        EXPECT_NE(text.find(c.logLine), std::string::npos) << c.name << ": log";
        EXPECT_NE(text.find(u8"退出代码：" + std::to_string(c.code)), std::string::npos)
            << c.name << ": log";
        if (c.code != 0) {
            EXPECT_EQ(DriveContents(), before) << c.name << ": the refused run changed the drive";
            EXPECT_FALSE(FileExists(cleanup.shortcut())) << c.name << ": a shortcut was made";
            EXPECT_EQ(ReadInstallLocation(kUninstallKey), "") << c.name << ": a record was made";
            continue;
        }
        // The same files, shortcut and record as the wizard's installation.
        const std::string product = ProductDirectory(c.directory);
        ExpectThePayloadFiles(product);
        EXPECT_TRUE(FileExists(cleanup.shortcut())) << "no desktop shortcut";
        EXPECT_EQ(Utf8(ReadInstallLocation(kUninstallKey)), Utf8(product)) << "the record";
    }

    // /D= naming a directory with a character GBK has not (a Korean name): the installer cannot
    // name it, so it refuses it before writing anything.
    {
        const std::string log = scratch / "korean.log";
        const std::wstring korean = WideFromGbk(below) + L"\uae40\uc791\uac00";
        CreateDirectoryW(korean.c_str(), nullptr);
        std::map<std::string, int64_t> before = DriveContents();
        const std::string recordBefore = ReadInstallLocation(kUninstallKey);
        InstallerProcess setup;
        ASSERT_TRUE(setup.StartWith(L"/S /LOG=\"" + WideFromGbk(log) + L"\" /D=" + korean));
        EXPECT_EQ(setup.WaitExit(kInstallDeadlineMs), 3) << "Korean /D=: exit code";
        std::string text = ReadText(log);
        EXPECT_NE(text.find(written::kFailDirectoryCharacters), std::string::npos) << text;
        EXPECT_EQ(DriveContents(), before) << "Korean /D=: the refused run changed the drive";
        EXPECT_EQ(ReadInstallLocation(kUninstallKey), recordBefore)
            << "Korean /D=: the record changed";
        RemoveDirectoryW(korean.c_str());
    }

    // /? and an argument not understood: the switches in a message box, nothing installed.
    struct BoxCase {
        const char* arguments;
        long code;
        const char* first;  // the start of the message (UTF-8)
    };
    const BoxCase boxes[] = {
        {"/?", 0, u8"青岚笺语写作安装程序的命令行参数："},
        {"/X", 1, u8"无法识别的参数：/X"},
    };
    for (const BoxCase& b : boxes) {
        SCOPED_TRACE(b.arguments);
        InstallerProcess setup;
        ASSERT_TRUE(setup.Start(b.arguments));
        HWND box = WaitForBoxOf(setup.pid());
        ASSERT_TRUE(box) << b.arguments << ": no message box";
        std::string texts = TextsOf(box);
        EXPECT_NE(texts.find(b.first), std::string::npos) << texts;
        for (const char* sw : {"/S", "/D=", "/LOG=", "/?"})
            EXPECT_NE(texts.find(sw), std::string::npos) << sw << " not explained: " << texts;
        // Skinned as every other box of the installer: it fades in and has rounded corners.
        BYTE alpha = 0;
        EXPECT_TRUE(WaitFor(
            [&] {
                DWORD flags = 0;
                COLORREF key = 0;
                return GetLayeredWindowAttributes(box, &key, &alpha, &flags) && alpha == 250;
            },
            kUiDeadlineMs))
            << b.arguments << ": the box is not skinned (alpha " << int(alpha) << ")";
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(GetWindowRgn(box, region), ERROR) << b.arguments << ": the box is not rounded";
        DeleteObject(region);
        EXPECT_EQ(WindowsOfClass(setup.pid(), QL_WIZARD_CLASS), 0);
        ASSERT_STEP(CloseDialog(box, IDOK, b.arguments));
        EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), b.code) << b.arguments << ": exit code";
    }
}

// With /S nothing waits on a window: what ends an unattended start before it installs (a switch
// it does not understand, /?, an open wizard) ends it at once and is said in the log.
TEST(WizardWalk, UnattendedRefusalsEndAtOnceAndSayWhyInTheLog) {
    constexpr DWORD kAtOnceMs = 5000;
    struct Case {
        const char* name;
        std::string arguments;  // before /LOG=
        bool wizardOpen;        // another installer shows its wizard meanwhile
        long code;
        const char* logLine;  // UTF-8
    };
    const std::vector<Case> cases = {
        {"a switch not understood", "/S /X", false, 1, u8"无法识别的参数：/X"},
        {"the switch list", "/S /?", false, 0, u8"青岚笺语写作安装程序的命令行参数："},
        {"the wizard is open", "/S", true, 7, u8"另一个安装程序正在运行"},
    };
    TempDir scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerProcess wizardProcess;
        Wizard w;
        if (c.wizardOpen) {
            ASSERT_TRUE(wizardProcess.Start());
            ASSERT_STEP(FindWizard(wizardProcess, &w));
        }
        const std::string log = scratch / "拒绝 日志.log";
        DeleteFileA(log.c_str());
        std::map<std::string, int64_t> before = DriveContents();
        const std::string recordBefore = ReadInstallLocation(kUninstallKey);
        auto start = std::chrono::steady_clock::now();
        SilentRun run = RunInstaller(c.arguments + " /LOG=\"" + log + "\"", "", kAtOnceMs);
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
        std::string text = ReadText(log);
        std::printf("%s: exit %ld after %lld ms; log:\n%s", c.name, run.code,
                    static_cast<long long>(ms), text.c_str());
        EXPECT_EQ(run.code, c.code)
            << c.name << ": exit code (-1: still running after " << kAtOnceMs << " ms)";
        EXPECT_FALSE(run.windowShown) << c.name << ": a window was shown";
        EXPECT_NE(text.find(c.logLine), std::string::npos) << c.name << ": log";
        EXPECT_NE(text.find(u8"退出代码：" + std::to_string(c.code)), std::string::npos)
            << c.name << ": log";
        EXPECT_EQ(DriveContents(), before) << c.name << ": the drive changed";
        EXPECT_EQ(ReadInstallLocation(kUninstallKey), recordBefore) << c.name << ": the record";
        if (c.wizardOpen) {
            ASSERT_STEP(ExpectPage(w, kWelcomePage, "after the unattended start"));
            ASSERT_TRUE(Click(w.cancel));
            EXPECT_EQ(wizardProcess.WaitExit(kExitDeadlineMs), 0) << u8"按钮1 取消安装";
        }
    }
}

// /S without /D= updates an earlier installation where it is, as the wizard proposes: no second
// copy in the default directory, the one record still names the first place.
TEST(WizardWalk, UnattendedRunWithoutDirectoryUpdatesTheEarlierInstallation) {
    CloseWriters();
    InstallationCleanup cleanup;
    {
        InstallerProcess setup;
        ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
        Wizard w;
        ASSERT_STEP(FindWizard(setup, &w));
        ASSERT_STEP(InstallIntoTheTargetDirectory(w, cleanup));
        ASSERT_STEP(FinishWithoutStartingTheProgram(w, setup));
    }
    const std::string product = ProductDirectory(TargetDirectory());
    const std::string recorded = ReadInstallLocation(kUninstallKey);
    ASSERT_EQ(Utf8(recorded), Utf8(NormalisePath(product)));
    const std::string defaultProduct = ProductDirectory("D:\\");
    const bool defaultExisted = DirectoryExists(defaultProduct);
    TempDir scratch;
    const std::string log = scratch / "update.log";

    // The program runs from the earlier place: that is where the check looks, and it is named.
    {
        InstallerProcess writer;
        ASSERT_TRUE(writer.Start("", JoinPath(product, kProgramEntry)));
        ASSERT_TRUE(WaitFor([] { return FindWriterWindow() != nullptr; }, kStartDeadlineMs, 50))
            << "the installed program showed no window";
        const std::map<std::string, std::string> before = FilesWithBytes(product);
        SilentRun run = RunInstaller("/S /LOG=\"" + log + "\"");
        std::string text = ReadText(log);
        std::printf("update without /D= while the program runs: exit %ld; log:\n%s", run.code,
                    text.c_str());
        EXPECT_EQ(run.code, 6) << "exit code while the program runs";
        EXPECT_NE(text.find(kProgramRunning), std::string::npos) << text;
        EXPECT_TRUE(FilesWithBytes(product) == before) << "the installation changed";
        CloseWriters();
        ASSERT_FALSE(FindWriterWindow()) << "the writer did not close";
    }

    // Something for the update to mend: a damaged file and a missing one.
    ASSERT_TRUE(WriteText(JoinPath(product, "krnln.fnr"), "damaged"));
    ASSERT_TRUE(DeleteFileA(JoinPath(product, "spec.fne").c_str()));
    SilentRun run = RunInstaller("/S /LOG=\"" + log + "\"");
    std::string text = ReadText(log);
    std::printf("update without /D=: exit %ld; log:\n%s", run.code, text.c_str());
    EXPECT_EQ(run.code, 0) << "exit code";
    EXPECT_FALSE(run.windowShown) << "/S showed a window";
    EXPECT_NE(text.find(u8"安装目录：" + Utf8(TargetDirectory())), std::string::npos) << text;
    ExpectThePayloadFiles(product);
    EXPECT_EQ(DirectoryExists(defaultProduct), defaultExisted)
        << "a second copy in " << Utf8(defaultProduct);
    EXPECT_EQ(Utf8(ReadInstallLocation(kUninstallKey)), Utf8(recorded)) << "the record moved";
}

// Installed from the wizard, the program started from its finish page; a second installation
// into the proposed place names the running program, changes nothing, and works once it is closed.
TEST(WizardWalk, RunningProgramIsNamedAndTheRetryInstalls) {
    CloseWriters();
    InstallationCleanup cleanup;
    {
        InstallerProcess setup;
        ASSERT_TRUE(setup.Start()) << "cannot start " << Utf8(g_config.installer);
        Wizard w;
        ASSERT_STEP(FindWizard(setup, &w));
        ASSERT_STEP(InstallIntoTheTargetDirectory(w, cleanup));
        ASSERT_EQ(CheckState(w.Control(kId选择框6)), BST_CHECKED);
        ASSERT_STEP(Press(w.Control(kId按钮7), u8"按钮7"));
        EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮7 完成安装: installer exit code";
    }
    ASSERT_TRUE(WaitFor([] { return FindWriterWindow() != nullptr; }, kExitDeadlineMs, 50))
        << u8"按钮7 完成安装 started no writer";

    InstallerProcess setup;
    ASSERT_TRUE(setup.Start());
    Wizard w;
    ASSERT_STEP(FindWizard(setup, &w));
    ASSERT_STEP(WalkToDirectoryPage(w));
    EXPECT_EQ(ShownText(w.Control(kId编辑框1)), Utf8(TargetDirectory()))
        << u8"page 2 does not propose the earlier installation's place";
    ASSERT_STEP(Press(w.Control(kId按钮5), u8"按钮5"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, u8"按钮5 下一步 on page 2"));
    const std::string product = ProductDirectory(TargetDirectory());
    const std::map<std::string, std::string> before = FilesWithBytes(product);
    ASSERT_EQ(before.size(), kPayloadEntryCount);

    ASSERT_STEP(Press(w.Control(kId按钮6), u8"按钮6 with the program running"));
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindMessageBox(w, written::kMessageTitle)) != nullptr; },
                kInstallDeadlineMs, 50))
        << u8"no message box titled 安装提示： while the program runs; page " << w.Page();
    std::string texts = TextsOf(box);
    std::printf("program running: %s", texts.c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(kPaintSettleMs));
    ASSERT_STEP(SaveWindowShot(w, "program-running"));
    EXPECT_NE(texts.find(kProgramRunning), std::string::npos) << texts;
    ASSERT_STEP(CloseDialog(box, IDOK, "program-running message box"));
    ASSERT_STEP(ExpectPage(w, kConfirmPage, "after the program-running message"));
    EXPECT_TRUE(FilesWithBytes(product) == before)
        << "the earlier installation changed while the program ran";

    CloseWriters();
    ASSERT_FALSE(FindWriterWindow()) << "the writer did not close";
    ASSERT_STEP(InstallAndCheck(w, cleanup));
    ASSERT_STEP(TutorialToLastPage(w, false));
    ASSERT_TRUE(Click(w.Control(kId选择框6)));
    ASSERT_TRUE(
        WaitFor([&] { return CheckState(w.Control(kId选择框6)) == BST_UNCHECKED; }, kUiDeadlineMs));
    ASSERT_STEP(Press(w.Control(kId按钮7), u8"按钮7"));
    EXPECT_EQ(setup.WaitExit(kExitDeadlineMs), 0) << u8"按钮7 完成安装: installer exit code";
}

// /S on the tmpfs drive of the fault walk: no room, and a product directory that takes no files.
TEST(WizardFaults, SilentInstallationExitCodes) {
    if (!std::getenv("QL_FAULT_DRIVE")) GTEST_SKIP() << "run by run_faults.sh on a tmpfs drive";
    const std::string drive = g_config.drive;
    const char* readOnly = std::getenv("QL_READONLY_DIR");
    const std::string filler = drive + "\\filler.bin";
    struct Case {
        const char* name;
        std::string directory;
        std::function<bool()> prepare;
        long code;
        const char* logLine;
    };
    const std::vector<Case> cases = {
        {"disk too small", drive + "\\small",
         [&] { return MakeDirectory(drive + "\\small") && FillDrive(filler, 8u << 20); }, 4,
         u8"安装失败：磁盘空间不足"},
        {"read-only product directory", readOnly ? drive + "\\" + readOnly : std::string(),
         [] { return true; }, 5, u8"安装失败：无法在所选目录"},
    };
    TempDir scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.directory.empty()) continue;
        ClearDrive(readOnly ? readOnly : "");
        InstallationCleanup cleanup;
        DeleteFileA(cleanup.shortcut().c_str());
        ASSERT_TRUE(c.prepare()) << c.name << ": cannot prepare";
        const std::string log = scratch / "setup.log";
        std::map<std::string, int64_t> before = DriveContents();
        SilentRun run = RunInstaller("/S /LOG=" + log + " /D=" + c.directory);
        std::string text = ReadText(log);
        std::printf("%s: exit %ld; log:\n%s", c.name, run.code, text.c_str());
        EXPECT_EQ(run.code, c.code) << c.name << ": exit code";
        EXPECT_NE(text.find(c.logLine), std::string::npos) << c.name << ": log";
        EXPECT_EQ(DriveContents(), before) << c.name << ": the refused run changed the drive";
        EXPECT_FALSE(FileExists(cleanup.shortcut())) << c.name << ": a shortcut was made";
        DeleteFileA(filler.c_str());
    }
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: wizard-walk [gtest flags] INSTALLER.exe [DRIVE: [UNIX-DIR]]\n");
        return 2;
    }
    g_config.installer = argv[1];
    g_config.drive = argc >= 3 ? argv[2] : "D:";
    char self[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    g_config.recorder = JoinPath(ParentPath(self), "url-recorder.exe");
    if (const char* dir = std::getenv("QL_SCREENSHOT_DIR")) g_config.screenshots = dir;
    if (argc >= 4 && !AnnounceDrive(g_config.drive, argv[3])) {
        std::fprintf(stderr, "cannot announce %s (%s) to Wine's mount manager, error %lu\n",
                     g_config.drive.c_str(), argv[3], GetLastError());
        return 1;
    }
    CreateDirectoryA(TargetDirectory().c_str(), nullptr);
    GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}

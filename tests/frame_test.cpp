// The skinned wizard in this process: frame pixels read back from the screen, the close button's
// states, the tooltip, the animated panels, and what a whole walk leaves behind.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "canvas.h"
#include "control_ids.h"
#include "navigation.h"
#include "registry.h"
#include "shell_ops.h"
#include "skin_setup.h"
#include "skin_support.h"
#include "wizard_window.h"

namespace {

int Red(COLORREF c) {
    return GetRValue(c);
}
int Green(COLORREF c) {
    return GetGValue(c);
}
int Luma(COLORREF c) {
    return (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10;
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        PumpMessages();
        Sleep(5);
    }
}

// True once `count()` equals `want`, trying for up to three seconds while pumping messages.
bool SettlesAt(int (*count)(), int want) {
    for (int n = 0; n < 300; n++) {
        if (count() == want) return true;
        PumpFor(10);
    }
    return false;
}

std::vector<DWORD> ThreadIds() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    std::vector<DWORD> ids;
    for (BOOL ok = Thread32First(snap, &entry); ok; ok = Thread32Next(snap, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.push_back(entry.th32ThreadID);
    CloseHandle(snap);
    return ids;
}

int ThreadCount() {
    return static_cast<int>(ThreadIds().size());
}

// The module each thread started in, for a count that did not come back: which library's worker
// is still there says more than the number.
std::string ThreadOrigins() {
    using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    std::string out;
    for (DWORD id : ThreadIds()) {
        char module[MAX_PATH] = "?";
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
        void* start = nullptr;
        const int kWin32StartAddress = 9;
        HMODULE owner = nullptr;
        if (thread && query &&
            query(thread, kWin32StartAddress, &start, sizeof(start), nullptr) == 0 &&
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(start), &owner))
            GetModuleFileNameA(owner, module, MAX_PATH);
        if (thread) CloseHandle(thread);
        const char* leaf = strrchr(module, '\\');
        out += " " + std::to_string(id) + ":" + (leaf ? leaf + 1 : module);
    }
    return out;
}

// The thread count once it has stopped changing for a moment: short-lived workers (a working-set
// trim, a message box's fade) have finished.
int SteadyThreadCount() {
    int last = ThreadCount();
    for (int same = 0, n = 0; same < 3 && n < 60; n++) {
        PumpFor(100);
        int now = ThreadCount();
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    EnumChildWindows(hwnd, CountWindow, lp);
    return TRUE;
}

int UserWindowCount() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

// The installer's start-up, in this process: engine, skinned wizard, shown and painted.
class SkinnedWizard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SkinGlobalSetUp();
        SkinModuleStartUp();
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        WizardWindow::RegisterClasses(GetModuleHandleA(nullptr));
    }
    static void TearDownTestSuite() { SkinExitRoutine(); }

    void SetUp() override {
        threadsBefore_ = ThreadCount();
        ASSERT_TRUE(wizard_.Create(GetModuleHandleA(nullptr), PayloadBytes()));
        ShowWindow(wizard_.hwnd(), SW_SHOW);
        UpdateWindow(wizard_.hwnd());
        SetCursorPos(5, 5);  // off the window
        PumpFor(400);
        GetWindowRect(wizard_.hwnd(), &rect_);
        screen_.emplace(nullptr);
    }
    void TearDown() override {
        screen_.reset();
        if (IsWindow(wizard_.hwnd())) DestroyWindow(wizard_.hwnd());
        PumpFor(50);
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    COLORREF At(int x, int y) const {
        return GetPixel(screen_->get(), rect_.left + x, rect_.top + y);
    }
    void MouseTo(int x, int y) { SetCursorPos(rect_.left + x, rect_.top + y); }
    WindowSkinRecord& Record() { return *WindowRecord(FindWindowIndex(wizard_.hwnd())); }
    void Send(UINT msg, int x, int y) {
        SendMessageA(wizard_.hwnd(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }

    WizardWindow wizard_;
    RECT rect_ = {};
    std::optional<WindowDc> screen_;
    int threadsBefore_ = 0;
};

TEST_F(SkinnedWizard, FrameShapeOutlineCaptionAndNoTabStrip) {
    ASSERT_GE(FindWindowIndex(wizard_.hwnd()), 1);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(wizard_.hwnd(), region), ERROR);
    for (POINT corner : {POINT{0, 0}, POINT{900, 0}, POINT{0, 660}, POINT{900, 660}})
        EXPECT_FALSE(PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
    EXPECT_TRUE(PtInRegion(region, 450, 330));
    EXPECT_TRUE(PtInRegion(region, 3, 3));
    DeleteObject(region);
    EXPECT_FALSE(GetWindowLongPtrA(wizard_.hwnd(), GWL_STYLE) & WS_CAPTION);

    // Dark outer line, light inner line, on the left edge half way down.
    COLORREF outer = At(0, 330), inner = At(1, 330), inside = At(6, 330);
    EXPECT_LT(Luma(outer), Luma(inside) - 30);
    EXPECT_GT(Luma(inner), Luma(inside) + 30);

    // The icon at (9, 5): the caption differs from the bare backdrop there, not left of it.
    WindowSkinRecord& r = Record();
    CanvasImage drawn(r.backgroundDc), bare(r.captionBackdropDc);
    int iconPixels = 0, leftOfIcon = 0, white = 0;
    for (int y = 5; y < 22; y++) {
        for (int x = 9; x < 26; x++) iconPixels += drawn.At(x, y) != bare.At(x, y);
        for (int x = 2; x < 8; x++) leftOfIcon += drawn.At(x, y) != bare.At(x, y);
    }
    EXPECT_GT(iconPixels, 100);
    EXPECT_EQ(leftOfIcon, 0);
    // The bold white title with its grey outline from (29, 8).
    for (int y = 8; y < 30; y++)
        for (int x = 29; x < 500; x++) {
            uint32_t p = drawn.At(x, y);
            white += ((p >> 16) & 0xFF) > 240 && ((p >> 8) & 0xFF) > 240 && (p & 0xFF) > 240;
        }
    EXPECT_GT(white, 150);

    // Where the system would draw the first tab there is only the skin's backdrop.
    uint32_t back = drawn.At(60, 28);
    EXPECT_EQ(At(60, 28), RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF));
    // The tab panel's faint white inner line one pixel inside its edge.
    uint32_t under = drawn.At(60, 25);
    EXPECT_GT(Luma(At(60, 25)), Luma(RGB((under >> 16) & 0xFF, (under >> 8) & 0xFF, under & 0xFF)));
}

TEST_F(SkinnedWizard, CloseButtonLightsUpAndDims) {
    const int px = 867, py = 4;  // inside the close button, off its glyph, where the red is strong
    COLORREF normal = At(px, py);
    MouseTo(883, 10);
    PumpFor(8 * 20 + 150);
    COLORREF lit = At(px, py);
    EXPECT_GT(Red(lit) - Green(lit), 60) << std::hex << lit;
    MouseTo(450, 330);
    PumpFor(8 * 20 + 150);
    COLORREF dimmed = At(px, py);
    EXPECT_LE(std::abs(Red(dimmed) - Red(normal)), 8);
    EXPECT_LE(std::abs(Green(dimmed) - Green(normal)), 8);
}

TEST_F(SkinnedWizard, PressingShowsRedAtOnceAndReleasingElsewhereKeepsTheWindow) {
    MouseTo(883, 10);
    PumpFor(100);
    Send(WM_LBUTTONDOWN, 883, 10);
    PumpFor(50);  // the window surface reaches the screen asynchronously
    COLORREF pressed = At(867, 3);
    // The pressed gradient starts from opaque red at the top of the button.
    EXPECT_GT(Red(pressed), 200) << std::hex << pressed;
    EXPECT_GT(Red(pressed) - Green(pressed), 100) << std::hex << pressed;
    Send(WM_MOUSEMOVE, 450, 330);
    Send(WM_LBUTTONUP, 450, 330);
    PumpFor(100);
    EXPECT_TRUE(IsWindow(wizard_.hwnd()));
}

TEST_F(SkinnedWizard, ReleasingOverTheCloseButtonEndsTheProgram) {
    MouseTo(883, 10);
    PumpFor(100);
    Send(WM_LBUTTONDOWN, 883, 10);
    Send(WM_LBUTTONUP, 883, 10);
    PumpFor(200);
    EXPECT_FALSE(IsWindow(wizard_.hwnd()));
}

TEST_F(SkinnedWizard, HoveringTheCloseButtonShowsItsTooltip) {
    MouseTo(880, 9);
    PumpFor(100);
    MouseTo(883, 10);
    HWND tip = nullptr;
    for (int n = 0; n < 60 && !tip; n++) {
        PumpFor(50);
        HWND found = FindWindowA(TOOLTIPS_CLASSA, nullptr);
        if (found && IsWindowVisible(found)) tip = found;
    }
    ASSERT_NE(tip, nullptr) << "no tooltip became visible";
    char text[64] = {};
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.lpszText = text;
    SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "关闭");
}

TEST_F(SkinnedWizard, PanelsAnimateInTheirDelayPattern) {
    // The first picture panel sits at (736, 64) in the window, 128 x 160: grab it whole each time
    // (one copy from the screen, fast enough to see every frame).
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 128, -160, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    GdiBitmap grab(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc grabDc(CreateCompatibleDC(nullptr));
    HGDIOBJ previous = SelectObject(grabDc.get(), grab.get());
    auto sample = [&] {
        BitBlt(grabDc.get(), 0, 0, 128, 160, screen_->get(), rect_.left + 736, rect_.top + 64,
               SRCCOPY);
        const COLORREF* p = static_cast<const COLORREF*>(bits);
        return std::vector<COLORREF>(p, p + 128 * 160);
    };
    std::vector<COLORREF> last = sample();
    std::vector<DWORD> changes;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 2200) {
        PumpMessages();
        std::vector<COLORREF> now = sample();
        if (now != last) changes.push_back(GetTickCount());
        last = now;
        Sleep(2);
    }
    SelectObject(grabDc.get(), previous);
    ASSERT_GE(changes.size(), 8u) << "the picture hardly changed";
    int shortGaps = 0, longGaps = 0;
    for (size_t k = 1; k < changes.size(); k++) {
        DWORD gap = changes[k] - changes[k - 1];
        shortGaps += gap >= 60 && gap <= 150;
        longGaps += gap >= 160 && gap <= 260;
    }
    EXPECT_GE(shortGaps, 4);
    EXPECT_GE(longGaps, 1);
}

TEST_F(SkinnedWizard, AWalkOverAllPagesLeavesNothingBehind) {
    // Warm up once, so caches that live as long as the window exist before counting (the
    // tooltip's first showing included).
    for (int page = 0; page < 6; page++) {
        wizard_.SetCurrentPage(static_cast<WizardPage>(page));
        PumpFor(60);
    }
    MouseTo(883, 10);
    PumpFor(1200);
    MouseTo(450, 330);
    PumpFor(300);
    wizard_.SetCurrentPage(kWelcomePage);
    PumpFor(100);
    const int threads = SteadyThreadCount();
    const int gdi = GdiObjectCount(), windows = UserWindowCount();
    for (int round = 0; round < 3; round++) {
        for (int page = 0; page < 6; page++) {
            wizard_.SetCurrentPage(static_cast<WizardPage>(page));
            PumpFor(40);
        }
        MouseTo(883, 10);
        PumpFor(250);
        MouseTo(450, 330);
        PumpFor(250);
    }
    wizard_.SetCurrentPage(kWelcomePage);
    PumpFor(200);
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserWindowCount(), windows);
    // Short-lived workers (a working-set trim when another window takes the focus) may still be
    // finishing: the count must come back, not be back at this very instant.
    EXPECT_TRUE(SettlesAt(ThreadCount, threads))
        << ThreadCount() << " threads, " << threads << " before; started in" << ThreadOrigins();

    // Closing the window stops both animation threads.
    DestroyWindow(wizard_.hwnd());
    EXPECT_TRUE(SettlesAt(ThreadCount, threadsBefore_))
        << ThreadCount() << " threads, " << threadsBefore_ << " before the window; started in"
        << ThreadOrigins();
}

// ---- stress: many repetitions of what a user does, nothing piling up ---------------------------

struct Counts {
    int gdi, windows, threads;
};

Counts CountNow() {
    int threads = SteadyThreadCount();
    return {GdiObjectCount(), UserWindowCount(), threads};
}

// Prints the figures and checks they came back; threads may take a moment to end.
void ExpectFlat(const char* what, const Counts& before) {
    SettlesAt(ThreadCount, before.threads);
    Counts after = CountNow();
    std::printf("%s: GDI objects %d -> %d, windows %d -> %d, threads %d -> %d\n", what, before.gdi,
                after.gdi, before.windows, after.windows, before.threads, after.threads);
    EXPECT_EQ(after.gdi, before.gdi) << what << ": GDI objects";
    EXPECT_EQ(after.windows, before.windows) << what << ": windows";
    EXPECT_EQ(after.threads, before.threads) << what << ": threads";
}

class StressedWizard : public SkinnedWizard {
  protected:
    // Every page once, so caches that live as long as the window exist before counting.
    void WarmUp() {
        for (int page = 0; page < 6; page++) {
            wizard_.SetCurrentPage(static_cast<WizardPage>(page));
            PumpFor(40);
        }
        wizard_.SetCurrentPage(kWelcomePage);
        PumpFor(100);
    }
};

TEST_F(StressedWizard, AThousandPageSwitches) {
    WarmUp();
    Counts before = CountNow();
    for (int i = 0; i < 1000; i++) {
        wizard_.SetCurrentPage(static_cast<WizardPage>(i % kPageCount));
        PumpMessages();
    }
    wizard_.SetCurrentPage(kWelcomePage);
    PumpFor(200);
    ASSERT_TRUE(IsWindow(wizard_.hwnd()));
    ExpectFlat("1000 page switches", before);
}

BOOL CALLBACK CollectControl(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// Hovers every control of every page: `moves` WM_MOUSEMOVEs in all, a WM_MOUSELEAVE after each
// control's four.
void MoveOverControls(WizardWindow& wizard, int moves) {
    int done = 0;
    for (int page = 0; done < moves; page = (page + 1) % 6) {
        wizard.SetCurrentPage(static_cast<WizardPage>(page));
        std::vector<HWND> controls;
        EnumChildWindows(wizard.hwnd(), CollectControl, reinterpret_cast<LPARAM>(&controls));
        ASSERT_FALSE(controls.empty());
        for (HWND control : controls) {
            RECT r;
            GetClientRect(control, &r);
            for (int step = 0; step < 4 && done < moves; step++, done++)
                SendMessageA(control, WM_MOUSEMOVE, 0,
                             MAKELPARAM(r.right * (step + 1) / 5, r.bottom / 2));
            SendMessageA(control, WM_MOUSELEAVE, 0, 0);
            PumpMessages();
        }
    }
    wizard.SetCurrentPage(kWelcomePage);
    PumpFor(300);
}

TEST_F(StressedWizard, TenThousandMouseMovesOverEveryControl) {
    WarmUp();
    // Every control hovered on every page first: hover pictures are made once and kept.
    ASSERT_NO_FATAL_FAILURE(MoveOverControls(wizard_, 2000));
    Counts before = CountNow();
    ASSERT_NO_FATAL_FAILURE(MoveOverControls(wizard_, 10000));
    ASSERT_TRUE(IsWindow(wizard_.hwnd()));
    ExpectFlat("10000 mouse moves", before);
}

constexpr char kStressBoxTitle[] = "stress";

BOOL CALLBACK CloseStressBox(HWND hwnd, LPARAM) {
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof(title));
    if (IsWindowVisible(hwnd) && lstrcmpA(title, kStressBoxTitle) == 0)
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Runs inside each box's modal loop and presses its OK.
void CALLBACK CloseBoxesOnTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseStressBox, 0);
}

TEST_F(StressedWizard, AHundredMessageBoxes) {
    WarmUp();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseBoxesOnTimer);
    ASSERT_NE(timer, 0u);
    // The first box loads what every later one shares.
    ShowMessageBox(wizard_.hwnd(), "warm-up", kStressBoxTitle, MB_OK);
    PumpFor(100);
    Counts before = CountNow();
    int shown = 0;
    for (int i = 0; i < 100; i++)
        shown += ShowMessageBox(wizard_.hwnd(), "box", kStressBoxTitle, MB_OK) == IDOK - 1;
    KillTimer(nullptr, timer);
    PumpFor(300);
    EXPECT_EQ(shown, 100) << "boxes answered OK";
    ASSERT_TRUE(IsWindow(wizard_.hwnd()));
    ExpectFlat("100 message boxes", before);
}

TEST_F(StressedWizard, FiftyDeactivations) {
    WarmUp();
    Counts before = CountNow();
    for (int i = 0; i < 50; i++) {
        SendMessageA(wizard_.hwnd(), WM_ACTIVATEAPP, FALSE, 0);
        PumpFor(5);
    }
    PumpFor(300);
    ASSERT_TRUE(IsWindow(wizard_.hwnd()));
    ExpectFlat("50 deactivations", before);
}

}  // namespace

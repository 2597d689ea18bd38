// The real installer's message boxes, driven from outside its process with real mouse input: the
// empty-directory box fades in to alpha 250, is rounded, shows the skin's caption and legible
// text, answers the mouse on its close button and surface, and every later box is skinned too
// while the folder dialog is left alone.
//
// msgbox-walk [gtest flags] INSTALLER SCREENSHOT-DIR   (paths in Unix or Windows form)
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>  // PROPID and IStream, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "wizard_pages.h"
#include "gdiplus_session.h"
#include "handles.h"
#include "screen_pixels.h"
#include "window_probe.h"

namespace {

constexpr char kBoxTitle[] = "安装提示：";  // GBK, compared with the window's own text
constexpr char kBoxText[] = "安装目录不能为空，请选择安装目录~！";
constexpr DWORD kStartDeadlineMs = 30000;
constexpr DWORD kUiDeadlineMs = 5000;
constexpr DWORD kFadeDeadlineMs = 1000;  // "about a second"
constexpr BYTE kFinalAlpha = 250;
constexpr DWORD kPollMs = 10;

std::string g_installer, g_screenshots;

// The box of process `pid` titled `title`, 0 when there is none.
HWND FindBox(DWORD pid) {
    for (HWND hwnd : VisibleWindows(pid, "#32770"))
        if (TextOf(hwnd) == kBoxTitle) return hwnd;
    return nullptr;
}

BYTE AlphaOf(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags)) return 0;
    return alpha;
}

RECT RectOf(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

// ---- screen pixels ------------------------------------------------------------------------------

int Red(uint32_t p) {
    return (p >> 16) & 0xFF;
}
int Green(uint32_t p) {
    return (p >> 8) & 0xFF;
}
int Blue(uint32_t p) {
    return p & 0xFF;
}
int Luma(uint32_t p) {
    return (Red(p) * 3 + Green(p) * 6 + Blue(p)) / 10;
}
uint32_t FromColorRef(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// How much redder than green the pixels of a rectangle are, in sum.
long Redness(const Shot& s, int left, int top, int right, int bottom) {
    long sum = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++) sum += std::max(0, Red(s.At(x, y)) - Green(s.At(x, y)));
    return sum;
}

int Differences(const Shot& a, const Shot& b, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++) n += a.At(x, y) != b.At(x, y);
    return n;
}

bool SavePng(const Shot& s, const std::string& path) {
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(
            s.width, s.height, s.width * 4, PixelFormat32bppRGB,
            reinterpret_cast<BYTE*>(const_cast<uint32_t*>(s.pixels.data())), &image) != Gdiplus::Ok)
        return false;
    static const CLSID kPng = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    std::wstring wide(path.begin(), path.end());
    bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, wide.c_str(), &kPng, nullptr) ==
                 Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

// ---- real mouse input ---------------------------------------------------------------------------

void MouseTo(int x, int y) {
    SetCursorPos(x, y);
    Pause(60);
}
void Button(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    Pause(80);
}

// ---- the installer -----------------------------------------------------------------------------

class Installer {
  public:
    ~Installer() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    bool Start() {
        std::string commandLine = "\"" + g_installer + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi))
            return false;
        process_.reset(pi.hProcess);
        CloseHandle(pi.hThread);
        pid_ = pi.dwProcessId;
        return WaitFor(
            [&] {
                std::vector<HWND> w = VisibleWindows(pid_, QL_WIZARD_CLASS);
                window_ = w.empty() ? nullptr : w.front();
                return window_ != nullptr;
            },
            kStartDeadlineMs, 50);
    }
    DWORD pid() const { return pid_; }
    HWND window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(GetDlgItem(window_, kId选择夹1), id); }
    int Page() const {
        DWORD_PTR page = static_cast<DWORD_PTR>(-1);
        SendMessageTimeoutA(GetDlgItem(window_, kId选择夹1), TCM_GETCURSEL, 0, 0, SMTO_NORMAL, 2000,
                            &page);
        return static_cast<int>(page);
    }
    void Click(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

  private:
    KernelHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
};

// The directory page with 编辑框1 emptied, as a user who cancelled the folder dialog leaves it.
void ToEmptyDirectoryPage(const Installer& setup) {
    setup.Click(kId按钮2);
    ASSERT_TRUE(WaitFor([&] { return setup.Page() == 1; }, kUiDeadlineMs, kPollMs))
        << "licence page";
    setup.Click(kId选择框1);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(setup.Control(kId按钮3)) != FALSE; },
                        kUiDeadlineMs, kPollMs))
        << "licence not accepted";
    setup.Click(kId按钮3);
    ASSERT_TRUE(WaitFor([&] { return setup.Page() == 2; }, kUiDeadlineMs, kPollMs))
        << "directory page";
    DWORD_PTR done = 0;
    ASSERT_TRUE(SendMessageTimeoutA(setup.Control(kId编辑框1), WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(""), SMTO_NORMAL, 2000, &done));
}

// Presses 按钮5 and waits for the empty-directory box; then for its fade-in.
HWND OpenBox(const Installer& setup, DWORD* fadeMs) {
    setup.Click(kId按钮5);
    HWND box = nullptr;
    EXPECT_TRUE(
        WaitFor([&] { return (box = FindBox(setup.pid())) != nullptr; }, kUiDeadlineMs, kPollMs))
        << "no message box titled with the installer's message title";
    if (!box) return nullptr;
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_LAYERED) << "the box is not layered";
    bool faded = WaitFor([&] { return AlphaOf(box) == kFinalAlpha; }, 2 * kFadeDeadlineMs, 5);
    *fadeMs = static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
    EXPECT_TRUE(faded) << "alpha stopped at " << int(AlphaOf(box));
    return box;
}

void ExpectRounded(HWND box) {
    const RECT r = RectOf(box);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(box, region);
    EXPECT_TRUE(kind == SIMPLEREGION || kind == COMPLEXREGION) << "the box has no region";
    for (POINT corner : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
        EXPECT_FALSE(PtInRegion(region, corner.x, corner.y))
            << "corner " << corner.x << "," << corner.y << " is not cut";
    for (POINT inside : {POINT{2, 2}, POINT{w / 2, h / 2}, POINT{w - 3, h - 3}})
        EXPECT_TRUE(PtInRegion(region, inside.x, inside.y)) << inside.x << "," << inside.y;
    DeleteObject(region);
}

HWND TextStatic(HWND box) {
    for (HWND c = FindWindowExA(box, nullptr, "Static", nullptr); c;
         c = FindWindowExA(box, c, "Static", nullptr))
        if (TextOf(c) == kBoxText) return c;
    return nullptr;
}

class MessageBoxWalk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(setup_.Start()) << "the installer did not show its window";
        ASSERT_NO_FATAL_FAILURE(ToEmptyDirectoryPage(setup_));
        DWORD fade = 0;
        box_ = OpenBox(setup_, &fade);
        ASSERT_TRUE(box_);
        std::printf("empty-directory box: alpha %d after %lu ms\n", int(AlphaOf(box_)), fade);
        EXPECT_LE(fade, kFadeDeadlineMs);
        Pause(300);  // the statics paint after the frame
        rect_ = RectOf(box_);
        w_ = rect_.right - rect_.left;
        h_ = rect_.bottom - rect_.top;
    }
    void MouseAt(int x, int y) { MouseTo(rect_.left + x, rect_.top + y); }
    Shot Now() const { return Capture(rect_); }
    // Inside the close button's glow, off its glyph.
    void CloseArea(int* l, int* t, int* r, int* b) const {
        *l = w_ - 30, *t = 5, *r = w_ - 8, *b = 20;
    }

    Installer setup_;
    HWND box_ = nullptr;
    RECT rect_ = {};
    int w_ = 0, h_ = 0;
};

TEST_F(MessageBoxWalk, FadesInRoundedWithTheSkinsCaptionAndLegibleText) {
    EXPECT_EQ(AlphaOf(box_), kFinalAlpha);
    Pause(300);
    EXPECT_EQ(AlphaOf(box_), kFinalAlpha) << "the alpha did not stay at 250";
    ExpectRounded(box_);

    MouseTo(5, 5);  // nothing hot in the picture
    Pause(200);
    Shot shot = Now();
    if (!g_screenshots.empty()) {
        EXPECT_TRUE(SavePng(shot, g_screenshots + "\\msgbox.png")) << "screenshot not saved";
    }

    // No system caption: none of its colours in the caption band, which runs light to dark.
    const uint32_t captionColours[] = {FromColorRef(GetSysColor(COLOR_ACTIVECAPTION)),
                                       FromColorRef(GetSysColor(COLOR_GRADIENTACTIVECAPTION)),
                                       FromColorRef(GetSysColor(COLOR_INACTIVECAPTION))};
    int systemCaption = 0;
    for (int y = 2; y < 24; y++)
        for (int x = 3; x < w_ - 3; x++)
            for (uint32_t c : captionColours) systemCaption += shot.At(x, y) == c;
    EXPECT_LT(systemCaption, 10) << "system caption colours in the caption band";
    // The caption text, black with a white halo, from x = 25 between the icon and the button.
    int dark = 0, darkLeftOfText = 0;
    for (int y = 4; y < 24; y++) {
        for (int x = 25; x < w_ - 40; x++) dark += Luma(shot.At(x, y)) < 70;
        for (int x = 23; x < 25; x++) darkLeftOfText += Luma(shot.At(x, y)) < 70;
    }
    EXPECT_GT(dark, 25) << "no dark caption text";
    // The program icon at (5, 5): not the plain band.
    int iconPixels = 0;
    for (int y = 6; y < 21; y++)
        for (int x = 6; x < 21; x++) iconPixels += shot.At(x, y) != shot.At(3, y);
    EXPECT_GT(iconPixels, 60) << "no icon at (5, 5)";

    // The text: dark letters on a light, skinned ground, not on the dialog's grey.
    HWND text = TextStatic(box_);
    ASSERT_TRUE(text) << "no static says the empty-directory text";
    RECT t = RectOf(text);
    OffsetRect(&t, -rect_.left, -rect_.top);
    const uint32_t face = FromColorRef(GetSysColor(COLOR_3DFACE));
    int letters = 0, light = 0, grey = 0, all = 0;
    for (int y = t.top; y < t.bottom; y++)
        for (int x = t.left; x < t.right; x++, all++) {
            uint32_t p = shot.At(x, y);
            letters += Luma(p) < 60;
            light += Luma(p) > 170;
            grey += p == face;
        }
    std::printf("text static %ldx%ld: %d dark, %d light, %d dialog grey of %d\n", t.right - t.left,
                t.bottom - t.top, letters, light, grey, all);
    EXPECT_GT(letters, 60) << "too few dark text pixels";
    EXPECT_GT(light, all / 3) << "the text's ground is not light";
    EXPECT_LT(grey, all / 20) << "the text sits on the dialog's grey";
}

TEST_F(MessageBoxWalk, CloseButtonLightsUnderTheMouseAndGoesBack) {
    int l, t, r, b;
    CloseArea(&l, &t, &r, &b);
    MouseTo(5, 5);
    Shot normal = Now();
    MouseAt(w_ - 18, 13);
    Pause(150);
    Shot hot = Now();
    EXPECT_GT(Redness(hot, l, t, r, b), Redness(normal, l, t, r, b) + 20 * (r - l) * (b - t) / 4)
        << "the close button does not light up red";
    MouseAt(w_ / 2, 14);  // along the caption
    Pause(150);
    EXPECT_EQ(Differences(Now(), normal, l, t, r, b), 0) << "not back to normal across the caption";
    MouseAt(w_ - 18, 13);
    Pause(150);
    EXPECT_GT(Differences(Now(), normal, l, t, r, b), 20);
    MouseTo(5, 5);  // straight off the box
    Pause(250);
    EXPECT_EQ(Differences(Now(), normal, l, t, r, b), 0) << "not back to normal off the box";
}

TEST_F(MessageBoxWalk, PressOnCloseAndReleaseElsewhereKeepsTheBox) {
    MouseAt(w_ - 18, 13);
    Button(true);
    MouseAt(w_ / 2, h_ / 2 + 10);
    Button(false);
    Pause(400);
    EXPECT_TRUE(IsWindow(box_) && IsWindowVisible(box_)) << "the box closed";
    RECT now = RectOf(box_);
    EXPECT_EQ(now.left, rect_.left);
    EXPECT_EQ(now.top, rect_.top);
}

TEST_F(MessageBoxWalk, PressingTheSurfaceDragsTheBox) {
    // A free point of the caption band, and one of the body below the text.
    const POINT grips[] = {{w_ - 50, 12}, {8, h_ - 8}};
    for (POINT grip : grips) {
        RECT before = RectOf(box_);
        MouseTo(before.left + grip.x, before.top + grip.y);
        Button(true);
        for (int step = 1; step <= 4; step++)
            MouseTo(before.left + grip.x + 15 * step, before.top + grip.y + 10 * step);
        Button(false);
        Pause(200);
        RECT after = RectOf(box_);
        EXPECT_NEAR(after.left - before.left, 60, 3) << "grip " << grip.x << "," << grip.y;
        EXPECT_NEAR(after.top - before.top, 40, 3) << "grip " << grip.x << "," << grip.y;
    }
    EXPECT_TRUE(IsWindow(box_));
}

TEST_F(MessageBoxWalk, ClickOnCloseClosesLikeCancelAndLaterBoxesAreSkinnedToo) {
    MouseAt(w_ - 18, 13);
    Button(true);
    Button(false);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box_); }, kUiDeadlineMs, kPollMs))
        << "the box stays open";
    EXPECT_EQ(setup_.Page(), kDirectoryPage) << "the wizard left the directory page";
    MouseTo(5, 5);

    // A second box: skinned the same way.
    DWORD fade = 0;
    HWND second = OpenBox(setup_, &fade);
    ASSERT_TRUE(second);
    EXPECT_NE(second, box_);
    std::printf("second box: alpha %d after %lu ms\n", int(AlphaOf(second)), fade);
    EXPECT_LE(fade, kFadeDeadlineMs);
    ExpectRounded(second);
    PostMessageA(GetDlgItem(second, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(second); }, kUiDeadlineMs, kPollMs));

    // The folder dialog is a dialog too, but no message box: it stays the system's.
    setup_.Click(kId按钮4);
    HWND folder = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            std::vector<HWND> dialogs = VisibleWindows(setup_.pid(), "#32770");
            folder = dialogs.empty() ? nullptr : dialogs.front();
            return folder != nullptr;
        },
        kUiDeadlineMs, kPollMs))
        << "no folder dialog";
    Pause(500);
    EXPECT_FALSE(GetWindowLongPtrA(folder, GWL_EXSTYLE) & WS_EX_LAYERED) << "folder dialog layered";
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(folder, region), ERROR) << "the folder dialog was given a region";
    DeleteObject(region);
    PostMessageA(GetDlgItem(folder, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(folder); }, kUiDeadlineMs, kPollMs));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: msgbox-walk [gtest flags] INSTALLER [SCREENSHOT-DIR]\n");
        return 2;
    }
    g_installer = WindowsPath(argv[1]);
    if (argc >= 3) {
        g_screenshots = WindowsPath(argv[2]);
        CreateDirectoryA(g_screenshots.c_str(), nullptr);
    }
    GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}

// Skinned message boxes in this process: the hook, the frame's message table, its painting, the
// static painter, and what a hundred boxes leave behind. Each box runs on a thread of its own, as
// the installer's runs on its user-interface thread; this thread looks at it and sends it messages.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "canvas.h"
#include "gbk_text.h"
#include "images.h"
#include "drawing.h"
#include "main_window_skin.h"
#include "message_box_frame.h"
#include "paths.h"
#include "registry.h"
#include "shell_ops.h"
#include "skin_support.h"
#include "static_painter.h"
#include "texts.h"
#include "window_probe.h"

namespace {

constexpr char kTitle[] = "安装提示：";
constexpr char kText[] = "安装目录不能为空，请选择安装目录~！";
constexpr DWORD kPollMs = 5;

BYTE AlphaOf(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    return GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) ? alpha : 0;
}

int Luma(uint32_t p) {
    return (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
}

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM lp) {
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd)) *reinterpret_cast<HWND*>(lp) = hwnd;
    return TRUE;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A dialog of the "#32770" class made from an empty template.
HWND MakePlainDialog() {
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl = {};
    tpl.t.style = WS_POPUP | WS_CAPTION;
    tpl.t.cx = 120;
    tpl.t.cy = 60;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, PlainDialogProc,
                                      0);
}

// Runs `body` on a thread of its own; its dialogs are found by that thread's id.
class UiThread {
  public:
    explicit UiThread(std::function<int()> body)
        : thread_([this, body] {
              id_ = GetCurrentThreadId();
              result_ = body();
              done_ = true;
          }) {
        WaitFor([&] { return id_ != 0; }, 5000, kPollMs);
    }
    ~UiThread() {
        // A failed test may leave a box open: close whatever the thread still shows.
        while (!done_) {
            if (HWND box = Dialog()) PostMessageA(box, WM_CLOSE, 0, 0);
            Sleep(20);
        }
        thread_.join();
    }
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // The thread's visible dialog, 0 when none.
    HWND Dialog() const {
        HWND found = nullptr;
        EnumThreadWindows(id_, FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    HWND WaitForDialog() const {
        HWND box = nullptr;
        WaitFor([&] { return (box = Dialog()) != nullptr; }, 10000, kPollMs);
        return box;
    }
    bool done() const { return done_; }
    int Result() {
        WaitFor([&] { return done_.load(); }, 10000, kPollMs);
        return result_;
    }

  private:
    std::atomic<DWORD> id_{0};
    std::atomic<bool> done_{false};
    int result_ = -100;
    std::thread thread_;
};

int ShowBox(UINT flags = MB_OK | MB_TOPMOST) {
    return ShowMessageBox(nullptr, kText, kTitle, flags);
}

class MessageBoxSkin : public SkinTest {
  protected:
    void SetUp() override {
        SkinTest::SetUp();
        static MainWindowSkin skin;  // the base colour and the skin picture, as the installer has
        const ImageBytes& picture = SkinImages().windowBackground;
        skin.SetWindowBackground("", picture.data, picture.size, std::nullopt, 0x0051AE51, 3);
        BindMessageBoxSkin(LoadIconA(nullptr, IDI_APPLICATION));
        SetMessageBoxPreparation(InstallMessageBoxHook);
    }
    void TearDown() override {
        SetMessageBoxPreparation(nullptr);
        SkinTest::TearDown();
    }

    // A box on its own thread, faded in.
    HWND OpenBox(UiThread& ui) {
        HWND box = ui.WaitForDialog();
        EXPECT_TRUE(box) << "no message box";
        EXPECT_TRUE(WaitFor([&] { return AlphaOf(box) == 250; }, 1000, kPollMs))
            << "alpha " << int(AlphaOf(box)) << " after a second";
        return box;
    }
    WindowSkinRecord* RecordOf(HWND box) { return WindowRecord(FindWindowIndex(box)); }
};

TEST_F(MessageBoxSkin, TheHookSkinsTheBoxAndFadesItIn) {
    UiThread ui([] { return ShowBox(); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    WindowSkinRecord* r = RecordOf(box);
    ASSERT_TRUE(r) << "the box is not in the window table";
    EXPECT_EQ(GetWindowLongPtrW(box, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(MessageBoxFrameProc));
    EXPECT_NE(SkinProp(box, kPropHwProc), 0);
    EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(PendingMessageBoxHook(), nullptr) << "the hook outlives the box's activation";
    Sleep(300);
    EXPECT_EQ(AlphaOf(box), 250) << "the alpha did not stay at 250";

    // Its statics: the text, and the icon place the system always makes.
    int texts = 0, icons = 0;
    for (int k = 1; k <= r->staticTable.Count(); k++) {
        texts += r->staticTable[k].kind == 1;
        icons += r->staticTable[k].kind == 2;
    }
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(icons, 1);

    // The caption band on the screen is the skin's surface.
    ASSERT_TRUE(r->backgroundDc);
    CanvasImage surface(r->backgroundDc);
    RECT frame;
    GetWindowRect(box, &frame);
    HDC screen = GetDC(nullptr);
    int same = 0, all = 0, dark = 0;
    for (int y = 2; y < 24; y++)
        for (int x = 2; x < surface.width() - 2; x += 3, all++) {
            uint32_t p = surface.At(x, y) & 0xFFFFFF;
            COLORREF s = GetPixel(screen, frame.left + x, frame.top + y);
            same += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == s;
            if (x >= 25 && x < surface.width() - 40) dark += Luma(p) < 70;
        }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(same, all * 9 / 10) << "the screen's caption band is not the skin's";
    EXPECT_GT(dark, 8) << "no caption text on the skin's surface";
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, HitTestGivesCloseOnlyOverTheButton) {
    UiThread ui([] { return ShowBox(); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    RECT f;
    GetWindowRect(box, &f);
    const int w = f.right - f.left, h = f.bottom - f.top;
    ASSERT_EQ(RecordOf(box)->captionButtonStrip.x, w - 36);
    struct Case {
        int x, y;
        LRESULT hit;
    };
    const Case cases[] = {
        {w - 35, 4, HTCLOSE},      {w - 36, 10, HTCAPTION}, {w - 6, 10, HTCLOSE},
        {w - 5, 10, HTCAPTION},    {w - 20, 3, HTCAPTION},  {w - 20, 4, HTCLOSE},
        {w - 20, 25, HTCLOSE},     {w - 20, 26, HTCAPTION}, {10, 10, HTCAPTION},
        {w / 2, h - 5, HTCAPTION},
    };
    for (const Case& c : cases) {
        const LPARAM lp = MAKELPARAM(f.left + c.x, f.top + c.y);
        EXPECT_EQ(MessageBoxHitTest(box, lp), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(SendMessageA(box, WM_NCHITTEST, 0, lp), c.hit) << c.x << "," << c.y;
    }
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, CloseButtonGlowsRedWhileHotAndGoesBack) {
    UiThread ui([] { return ShowBox(); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    WindowSkinRecord* r = RecordOf(box);
    const int x0 = r->captionButtonStrip.x;
    auto redness = [&] {
        CanvasImage s(RecordOf(box)->backgroundDc);
        long sum = 0;
        for (int y = 4; y < 20; y++)
            for (int x = x0 + 7; x < x0 + 30; x++) {
                uint32_t p = s.At(x, y);
                sum += std::max(
                    0, static_cast<int>((p >> 16) & 0xFF) - static_cast<int>((p >> 8) & 0xFF));
            }
        return sum;
    };
    const long normal = redness();
    struct Step {
        UINT msg;
        WPARAM hit;
        int hot;
    };
    const Step steps[] = {{WM_NCMOUSEMOVE, HTCLOSE, 1},
                          {WM_NCMOUSEMOVE, HTCLOSE, 1},
                          {WM_NCMOUSEMOVE, HTCAPTION, 0},
                          {WM_NCMOUSEMOVE, HTCLOSE, 1},
                          {WM_NCMOUSELEAVE, 0, 0}};
    for (const Step& s : steps) {
        SendMessageA(box, s.msg, s.hit, 0);
        EXPECT_EQ(RecordOf(box)->closeHot, s.hot) << s.msg << " " << s.hit;
        if (s.hot)
            EXPECT_GT(redness(), normal + 2000) << "no red glow";
        else
            EXPECT_EQ(redness(), normal) << "not back to normal";
    }
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, PressAndReleaseOnCloseCancelsTheBox) {
    UiThread ui([] { return ShowBox(MB_OKCANCEL); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    EXPECT_EQ(SendMessageA(box, WM_NCLBUTTONDOWN, HTCLOSE, 0), 0);
    Sleep(100);
    EXPECT_TRUE(IsWindow(box)) << "the press alone closed the box";
    EXPECT_EQ(SendMessageA(box, WM_NCLBUTTONUP, HTCLOSE, 0), 0);
    EXPECT_EQ(ui.Result(), IDCANCEL - 1);
}

TEST_F(MessageBoxSkin, PressOnCloseAndReleaseElsewhereDoesNothing) {
    UiThread ui([] { return ShowBox(MB_OKCANCEL); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    SendMessageA(box, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageA(box, WM_NCMOUSEMOVE, HTCAPTION, 0);
    SendMessageA(box, WM_NCLBUTTONUP, HTCAPTION, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    EXPECT_FALSE(ui.done());
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, EveryLaterBoxIsSkinnedToo) {
    std::atomic<int> shown{0};
    UiThread ui([&] {
        for (int n = 0; n < 3; n++) {
            ShowBox();
            shown++;
        }
        return 0;
    });
    for (int n = 0; n < 3; n++) {
        HWND box = OpenBox(ui);
        ASSERT_TRUE(box) << "box " << n;
        EXPECT_TRUE(RecordOf(box)) << "box " << n << " is not skinned";
        PostMessageA(box, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return shown == n + 1; }, 5000, kPollMs));
    }
    EXPECT_EQ(WindowCount(), 3);
}

// A plain dialog, shown and activated.
HWND ShowPlainDialog() {
    HWND dialog = MakePlainDialog();
    ShowWindow(dialog, SW_SHOW);
    SetActiveWindow(dialog);
    PumpMessages();
    return dialog;
}

TEST_F(MessageBoxSkin, OtherWindowsPassTheHookUntouched) {
    std::atomic<int> stage{0};
    HWND other = nullptr, marked = nullptr;
    UiThread ui([&] {
        InstallMessageBoxHook();
        // Another class first.
        other = CreateWindowExA(0, "Static", "other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50,
                                nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(other);
        // A dialog the engine already knows.
        marked = MakePlainDialog();
        SetPropA(marked, kPropHwProc, reinterpret_cast<HANDLE>(1));
        ShowWindow(marked, SW_SHOW);
        SetActiveWindow(marked);
        PumpMessages();
        stage = 1;
        WaitFor([&] { return stage == 2; }, 10000, kPollMs);
        DestroyWindow(other);
        RemovePropA(marked, kPropHwProc);
        DestroyWindow(marked);
        return ShowBox();
    });
    ASSERT_TRUE(WaitFor([&] { return stage == 1; }, 5000, kPollMs));
    EXPECT_EQ(WindowCount(), 0) << "a window passing the hook was registered";
    EXPECT_EQ(SkinProp(other, kPropHwProc), 0);
    EXPECT_FALSE(GetWindowLongPtrA(other, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(GetWindowLongPtrA(marked, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_NE(PendingMessageBoxHook(), nullptr) << "the hook went before its box came";
    stage = 2;
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(marked); }, 5000, kPollMs));
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    EXPECT_TRUE(RecordOf(box));
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, AHookWhoseBoxNeverCameIsNotLeftBehind) {
    std::atomic<int> stage{0};
    HWND later = nullptr;
    UiThread ui([&] {
        InstallMessageBoxHook();  // its box never comes
        ShowBox();
        later = ShowPlainDialog();
        stage = 1;
        WaitFor([&] { return stage == 2; }, 10000, kPollMs);
        DestroyWindow(later);
        return 0;
    });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    PostMessageA(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return stage == 1; }, 5000, kPollMs));
    EXPECT_EQ(SkinProp(later, kPropHwProc), 0) << "a stale hook skinned a later dialog";
    EXPECT_EQ(WindowCount(), 1);
    stage = 2;
    ui.Result();
}

TEST_F(MessageBoxSkin, NonClientPaintLeavesTheRegionItIsGiven) {
    UiThread ui([] { return ShowBox(); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    HRGN region = CreateRectRgn(0, 0, 50, 50);
    EXPECT_EQ(SendMessageA(box, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0), 0);
    EXPECT_EQ(GetObjectType(region), static_cast<DWORD>(OBJ_REGION)) << "the region was deleted";
    DeleteObject(region);
    EXPECT_EQ(SendMessageA(box, WM_NCACTIVATE, FALSE, 0), 1);
    EXPECT_EQ(SendMessageA(box, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0), 0);
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

TEST_F(MessageBoxSkin, FocusAfterTheFadeKeepsTheBoxVisible) {
    UiThread ui([] { return ShowBox(); });
    HWND box = OpenBox(ui);
    ASSERT_TRUE(box);
    SendMessageA(box, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(AlphaOf(box), 250);
    PostMessageA(box, WM_CLOSE, 0, 0);
    ui.Result();
}

int ThreadCount() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int n = 0;
    for (BOOL ok = Thread32First(snap, &entry); ok; ok = Thread32Next(snap, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return n;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    if (GetWindowThreadProcessId(hwnd, nullptr) && [&] {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            return pid == GetCurrentProcessId();
        }()) {
        ++*reinterpret_cast<int*>(lp);
        EnumChildWindows(hwnd, CountWindow, lp);
    }
    return TRUE;
}

int ProcessWindowCount() {
    int n = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

int UserObjectCount() {
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    // Wine answers 0: the windows are what can be counted there.
    return count != 0 || GetLastError() == 0 ? static_cast<int>(count) : ProcessWindowCount();
}

TEST_F(MessageBoxSkin, AHundredBoxesLeaveTheObjectCountsWhereTheyWere) {
    constexpr int kBoxes = 100;
    std::atomic<int> shown{0};
    std::atomic<int> allowed{1};
    UiThread ui([&] {
        for (int n = 0; n <= kBoxes; n++) {
            WaitFor([&] { return allowed > n; }, 30000, kPollMs);
            ShowBox();
            shown++;
        }
        // Alive until the counting is done.
        WaitFor([&] { return allowed > kBoxes + 1; }, 30000, kPollMs);
        return 0;
    });
    auto closeNext = [&](int n) {
        HWND box = ui.WaitForDialog();
        if (!box) return false;
        // Closed once its frame is painted and its fade has started.
        WaitFor([&] { return AlphaOf(box) > 0; }, 2000, kPollMs);
        PostMessageA(box, WM_CLOSE, 0, 0);
        return WaitFor([&] { return shown == n + 1; }, 5000, kPollMs);
    };
    ASSERT_TRUE(closeNext(0));  // the first box makes what lives as long as the process
    Sleep(400);
    const int gdi = GdiObjectCount(), user = UserObjectCount(), windows = ProcessWindowCount();
    const int canvases = CanvasCount(), threads = ThreadCount();
    for (int n = 1; n <= kBoxes; n++) {
        allowed = n + 1;
        ASSERT_TRUE(closeNext(n)) << "box " << n;
    }
    Sleep(400);  // the last fade-in ends
    EXPECT_EQ(WindowCount(), kBoxes + 1) << "not every box was skinned";
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserObjectCount(), user);
    EXPECT_EQ(ProcessWindowCount(), windows);
    EXPECT_EQ(CanvasCount(), canvases);
    EXPECT_EQ(ThreadCount(), threads);
    allowed = kBoxes + 2;
    ui.Result();
}

// ---- Long messages ------------------------------------------------------------------------------

// A directory text of exactly `length` bytes: nested Chinese folder names under D:\.
std::string DirectoryOfLength(size_t length) {
    std::string dir = "D:";
    while (dir.size() + 13 <= length) dir += "\\第十二卷草稿";
    dir += "\\";
    while (dir.size() < length) dir += 'a';
    return dir;
}

std::string Formatted(const char* pattern, const std::string& arg) {
    char text[1024];
    snprintf(text, sizeof(text), pattern, arg.c_str());
    return text;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// Child rectangles in the coordinates of the box's client area.
RECT ChildRect(HWND box, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What GDI+ lays out of `text` in the static's skin font within the static: from x = -2, y = 2
// (where the painter starts its text) to the static's right and bottom edges, whole lines only.
struct GdipLayout {
    int fitted = 0, lines = 0;
    Gdiplus::RectF box{};
};
GdipLayout LayOutInStatic(const std::string& text, const StaticRecord& font, int width,
                          int height) {
    GdipLayout out;
    const std::wstring wide = WideFromGbk(text);
    const std::wstring face = WideFromGbk(font.fontFace);
    GdipFontFamily family;
    GdipFont gdipFont;
    GdipStringFormat format;
    gp::GdipCreateFontFamilyFromName(face.c_str(), nullptr, family.out());
    gp::GdipCreateFont(family.get(), static_cast<float>(font.fontSize), font.fontStyle,
                       Gdiplus::UnitWorld, gdipFont.out());
    gp::GdipCreateStringFormat(Gdiplus::StringFormatFlagsLineLimit, LANG_NEUTRAL, format.out());
    ScopedCanvas canvas(CreateCanvas(8, 8));
    GdipGraphics g;
    gp::GdipCreateFromHDC(canvas.get(), g.out());
    const Gdiplus::RectF layout(-2, 2, static_cast<float>(width + 2),
                                static_cast<float>(height - 2));
    EXPECT_EQ(gp::GdipMeasureString(g.get(), wide.c_str(), -1, gdipFont.get(), &layout,
                                    format.get(), &out.box, &out.fitted, &out.lines),
              Gdiplus::Ok);
    return out;
}

TEST_F(MessageBoxSkin, EveryLongFailureIsShownWhole) {
    const std::string longest = DirectoryOfLength(kMaxAnsiPath);
    ASSERT_EQ(longest.size(), kMaxAnsiPath);
    struct Case {
        std::string text;
        UINT flags;
    };
    const Case cases[] = {
        // A wrap fell between "写" and "作" and lost "作.".
        {Formatted(kFailExtractFile, "D:\\\\青岚笺语\\青岚笺语写作.exe"), MB_OK | MB_ICONERROR},
        {Formatted(kFailArchiveDamaged, "青岚笺语写作.exe"), MB_OK | MB_ICONERROR},
        // The longest: a directory at the length limit makes the program path too long.
        {Formatted(kFailPathTooLong, ProgramPath(longest)), MB_OK | MB_ICONERROR},
        {Formatted(kFailNotWritable, longest), MB_OK | MB_ICONERROR},
        {Formatted(kFailExtractFile, JoinPath(longest.substr(0, 230), "青岚笺语写作.exe")),
         MB_OK | MB_ICONERROR},
        // The wizard's own message, as it shows it (no icon): two lines in the skin's font, one
        // in the system's, right above the button.
        {"安装目录不能为空，请选择安装目录~！", MB_OK | MB_TOPMOST},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string& text = c.text;
        SCOPED_TRACE(text.size());
        UiThread ui([&] { return ShowMessageBox(nullptr, text.c_str(), kTitle, c.flags); });
        HWND box = OpenBox(ui);
        ASSERT_TRUE(box);
        Sleep(200);  // the statics paint after the frame
        wchar_t name[32];
        wsprintfW(name, L"msgbox-long-%d.png", ++n);
        EXPECT_TRUE(SaveWindowPng(box, ScreenshotPath(name).c_str()));

        WindowSkinRecord* r = RecordOf(box);
        ASSERT_TRUE(r);
        const StaticRecord* textStatic = nullptr;
        for (int k = 1; k <= r->staticTable.Count(); k++)
            if (r->staticTable[k].kind == 1) textStatic = &r->staticTable[k];
        ASSERT_TRUE(textStatic);
        char shown[1024] = {};
        GetWindowTextA(textStatic->hwnd, shown, sizeof(shown));
        EXPECT_EQ(shown, text);

        RECT client, s;
        GetClientRect(box, &client);
        s = ChildRect(box, textStatic->hwnd);
        const int W = s.right - s.left, H = s.bottom - s.top;
        const GdipLayout layout = LayOutInStatic(text, *textStatic, W, H);
        const int length = static_cast<int>(WideFromGbk(text).size());
        EXPECT_EQ(layout.fitted, length)
            << "of " << length << " characters only " << layout.fitted << " fit in the static " << W
            << "x" << H << " (" << layout.lines << " lines)";
        EXPECT_LE(layout.box.X + layout.box.Width, W + 0.5f);
        EXPECT_LE(layout.box.Y + layout.box.Height, H + 0.5f);

        // The static lies in the box, no control covers it, and the box stays on the screen.
        EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.right <= client.right &&
                    s.bottom <= client.bottom)
            << "static " << s.left << "," << s.top << "," << s.right << "," << s.bottom << " box "
            << client.right << "x" << client.bottom;
        std::vector<HWND> children;
        EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND c : children) {
            if (c == textStatic->hwnd || !IsWindowVisible(c)) continue;
            RECT other = ChildRect(box, c), overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &other, &s))
                << ClassOf(c) << " " << other.left << "," << other.top << "," << other.right << ","
                << other.bottom << " covers the text " << s.left << "," << s.top << "," << s.right
                << "," << s.bottom;
            EXPECT_TRUE(other.right <= client.right && other.bottom <= client.bottom)
                << ClassOf(c) << " lies outside the box";
        }
        RECT frame, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        GetWindowRect(box, &frame);
        EXPECT_TRUE(frame.left >= 0 && frame.top >= 0 && frame.right <= screen.right &&
                    frame.bottom <= screen.bottom);
        PostMessageA(box, WM_CLOSE, 0, 0);
        ui.Result();
    }
}

// ---- Static controls ----------------------------------------------------------------------------

class StaticPainter : public SkinTest {
  protected:
    void SetUp() override {
        SkinTest::SetUp();
        top_ = MakeTopWindow(300, 120);
        index_ = AppendWindowRecord(top_);
        // A plain mid-grey backdrop, so the glow and the text stand out against it.
        HDC backdrop = CreateCanvas(300, 120);
        GdiBrush grey(CreateSolidBrush(kGrey));
        RECT all = {0, 0, 300, 120};
        ::FillRect(backdrop, &all, grey.get());
        WindowRecord(index_)->backgroundDc = backdrop;
    }
    static constexpr COLORREF kGrey = RGB(128, 128, 128);
    HWND top_ = nullptr;
    int index_ = 0;
};

TEST_F(StaticPainter, KindsByStyle) {
    struct Case {
        DWORD style;
        int kind;  // 0: left to its own painting
    };
    const Case cases[] = {
        {SS_LEFT, 1},        {SS_CENTER, 1}, {SS_NOPREFIX, 1}, {SS_ICON, 2},      {SS_BITMAP, 0},
        {SS_ENHMETAFILE, 0}, {SS_SIMPLE, 0}, {SS_USERITEM, 0}, {SS_BLACKRECT, 1},
    };
    std::vector<HWND> made;
    for (const Case& c : cases)
        made.push_back(MakeChild(top_, "Static", c.style, 0, 0, 20, 20, "x"));
    InstallStatics(index_, top_);
    InstallStatics(index_, top_);  // twice: nothing is added again
    SkinList<StaticRecord>& table = WindowRecord(index_)->staticTable;
    int taken = 0;
    for (size_t k = 0; k < made.size(); k++) {
        const int j = table.Find(made[k]);
        if (cases[k].kind == 0) {
            EXPECT_EQ(j, 0) << std::hex << cases[k].style;
            EXPECT_EQ(SkinProp(made[k], kPropHwProc), 0);
            continue;
        }
        taken++;
        ASSERT_GE(j, 1) << std::hex << cases[k].style;
        EXPECT_EQ(table[j].kind, cases[k].kind) << std::hex << cases[k].style;
        EXPECT_EQ(SkinProp(made[k], kPropHwLbId), j);
        EXPECT_EQ(SkinProp(made[k], kPropHwFuId), index_);
        EXPECT_EQ(GetWindowLongPtrW(made[k], GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(StaticProc));
    }
    EXPECT_EQ(table.Count(), taken);
}

TEST_F(StaticPainter, FontFallsBackToTheParentsThenToSongTi12) {
    struct Case {
        ControlFont own, parent;
        const char* face;
        int size, style;
    };
    const Case cases[] = {
        {{"Tahoma", 13, 1}, {"Arial", 20, 0}, "Tahoma", 13, 1},
        {{"", 0, 0}, {"Arial", 20, 2}, "Arial", 20, 2},
        {{"", 0, 0}, {"", 0, 0}, "宋体", 12, 0},
        {{"Tahoma", 0, 0}, {"Arial", 20, 0}, "Tahoma", 12, 0},
    };
    for (const Case& c : cases) {
        ControlFont f = StaticFont(c.own, c.parent);
        EXPECT_EQ(f.face, c.face);
        EXPECT_EQ(f.size, c.size);
        EXPECT_EQ(f.style, c.style);
    }
}

TEST_F(StaticPainter, TextIsDarkWithALightGlowOverTheBackdrop) {
    HWND text = MakeChild(top_, "Static", SS_LEFT, 20, 30, 200, 24, "Skin 文字");
    InstallStatics(index_, top_);
    RedrawWindow(text, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    RECT r;
    GetWindowRect(text, &r);
    HDC screen = GetDC(nullptr);
    int dark = 0, light = 0, other = 0;
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 200; x++) {
            COLORREF p = GetPixel(screen, r.left + x, r.top + y);
            int l = Luma((GetRValue(p) << 16) | (GetGValue(p) << 8) | GetBValue(p));
            dark += l < 50;
            light += l > 170;
            other += x > 120 && p != kGrey;  // right of the text: the backdrop alone
        }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(dark, 30);
    EXPECT_GT(light, 30) << "no glow";
    EXPECT_EQ(other, 0);
}

TEST_F(StaticPainter, IconIsDrawnAtTheTopLeftOverTheBackdrop) {
    HWND icon = MakeChild(top_, "Static", SS_ICON, 40, 40, 48, 48);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ERROR)), 0);
    SetWindowPos(icon, nullptr, 40, 40, 48, 48, SWP_NOZORDER);
    InstallStatics(index_, top_);
    RedrawWindow(icon, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    RECT r;
    GetWindowRect(icon, &r);
    HDC screen = GetDC(nullptr);
    int inIcon = 0, beside = 0;
    for (int y = 0; y < r.bottom - r.top; y++)
        for (int x = 0; x < r.right - r.left; x++) {
            bool differs = GetPixel(screen, r.left + x, r.top + y) != kGrey;
            if (x < 32 && y < 32)
                inIcon += differs;
            else
                beside += differs;
        }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(inIcon, 200);
    EXPECT_EQ(beside, 0);
}

}  // namespace

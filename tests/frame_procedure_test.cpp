// The frame procedure of a resizable skinned window with minimise, maximise and close buttons,
// message by message: whether the frame answers the message itself or hands it on to the
// window's own procedure, what it returns and what it leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "canvas.h"
#include "images.h"
#include "main_window_skin.h"
#include "registry.h"
#include "skin_support.h"

namespace {

constexpr int kW = 520, kH = 300, kCaption = 40;
constexpr LRESULT kOwnAnswer = 0x5EED;

// What reached the window's own procedure below the frame.
std::vector<UINT> g_reached;
std::vector<WPARAM> g_sysCommands;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    g_reached.push_back(msg);
    switch (msg) {
        case WM_SYSCOMMAND:
            g_sysCommands.push_back(wp);
            // Sizing and moving would enter the system's modal loop: only noted.
            if ((wp & 0xFFF0) == SC_SIZE || (wp & 0xFFF0) == SC_MOVE) return 0;
            return DefWindowProcA(hwnd, msg, wp, lp);
        case WM_NCLBUTTONDOWN:
            return 0;  // the drag the frame asks for: noted, not started
        case WM_GETMINMAXINFO:
        case WM_ERASEBKGND:
        case WM_USER:
            return kOwnAnswer;
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

int ScreenW() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int WorkH(bool maximised) {
    int h = GetSystemMetrics(SM_CYSCREEN);
    RECT bar;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (maximised && taskbar && GetWindowRect(taskbar, &bar)) h -= bar.bottom - bar.top;
    return h;
}

class FrameProcedure : public SkinTest {
  protected:
    void SetUp() override {
        SkinTest::SetUp();
        RegisterFixtureClass("QlFrameProcedureTest", RecordingProc, CS_DBLCLKS);
        hwnd_ = CreateWindowExA(0, "QlFrameProcedureTest", "frame",
                                WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 60,
                                60, kW, kH, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(hwnd_);
        const ImageBytes& background = SkinImages().windowBackground;
        skin_.SetWindowBackground("", background.data, background.size, std::nullopt, 0x0051AE51,
                                  3);
        skin_.SkinMainWindow(hwnd_, kCaption, 1, 1, 0, 1);
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
        PumpMessages();
        index_ = FindWindowIndex(hwnd_);
        ASSERT_GE(index_, 1);
    }
    void TearDown() override {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        SkinTest::TearDown();
    }

  public:
    WindowSkinRecord& Record() { return *WindowRecord(index_); }
    SIZE WindowSize() {
        RECT r;
        GetWindowRect(hwnd_, &r);
        return {r.right - r.left, r.bottom - r.top};
    }

    MainWindowSkin skin_;
    HWND hwnd_ = nullptr;
    int index_ = 0;
};

struct Row {
    const char* name;
    bool maximised;  // the frame's state before the message
    UINT msg;
    WPARAM wp;
    LPARAM lp;       // client point for mouse messages
    bool forwarded;  // reaches the window's own procedure
    LRESULT result;
    std::function<void(FrameProcedure&, MINMAXINFO&)> check;
};

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

void ExpectCursor(LPCSTR shape) {
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, shape));
}

const Row kRows[] = {
    {"minmax, restored", false, WM_GETMINMAXINFO, 0, 0, false, 0,
     [](FrameProcedure&, MINMAXINFO& m) {
         EXPECT_EQ(m.ptMinTrackSize.x, 200);
         EXPECT_EQ(m.ptMinTrackSize.y, 150);
         EXPECT_EQ(m.ptMaxTrackSize.x, ScreenW());
         EXPECT_EQ(m.ptMaxTrackSize.y, WorkH(false));
     }},
    {"minmax, maximised", true, WM_GETMINMAXINFO, 0, 0, false, 0,
     [](FrameProcedure&, MINMAXINFO& m) {
         EXPECT_EQ(m.ptMaxTrackSize.x, ScreenW());
         EXPECT_EQ(m.ptMaxTrackSize.y, WorkH(true));
     }},
    {"erase", false, WM_ERASEBKGND, 0, 0, false, 1, nullptr},
    {"other message", false, WM_USER, 0, 0, true, kOwnAnswer, nullptr},
    {"left border cursor", false, WM_MOUSEMOVE, 0, At(3, 150), true, 0,
     [](FrameProcedure&, MINMAXINFO&) { ExpectCursor(IDC_SIZEWE); }},
    {"bottom-right corner cursor", false, WM_MOUSEMOVE, 0, At(kW - 4, kH - 4), true, 0,
     [](FrameProcedure&, MINMAXINFO&) { ExpectCursor(IDC_SIZENWSE); }},
    {"bottom border cursor", false, WM_MOUSEMOVE, 0, At(250, kH - 2), true, 0,
     [](FrameProcedure&, MINMAXINFO&) { ExpectCursor(IDC_SIZENS); }},
    {"inside: sizing from no border", false, WM_LBUTTONDOWN, MK_LBUTTON, At(250, 150), true, 0,
     [](FrameProcedure&, MINMAXINFO&) { EXPECT_TRUE(g_sysCommands.empty()); }},
    {"left border sizes", false, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 150), true, 0,
     [](FrameProcedure&, MINMAXINFO&) {
         ASSERT_EQ(g_sysCommands.size(), 1u);
         EXPECT_EQ(g_sysCommands[0], static_cast<WPARAM>(SC_SIZE + WMSZ_LEFT));
     }},
    {"top-left corner sizes", false, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2), true, 0,
     [](FrameProcedure&, MINMAXINFO&) {
         ASSERT_EQ(g_sysCommands.size(), 1u);
         EXPECT_EQ(g_sysCommands[0], static_cast<WPARAM>(SC_SIZE + WMSZ_TOPLEFT));
     }},
    {"bottom-right corner sizes", false, WM_LBUTTONDOWN, MK_LBUTTON, At(kW - 1, kH - 1), true, 0,
     [](FrameProcedure&, MINMAXINFO&) {
         ASSERT_EQ(g_sysCommands.size(), 1u);
         EXPECT_EQ(g_sysCommands[0], static_cast<WPARAM>(SC_SIZE + WMSZ_BOTTOMRIGHT));
     }},
    {"caption double-click maximises", false, WM_LBUTTONDBLCLK, 0, At(200, kCaption), true, 0,
     [](FrameProcedure& f, MINMAXINFO&) {
         EXPECT_EQ(f.Record().maximized, 1);
         ASSERT_FALSE(g_sysCommands.empty());
         EXPECT_EQ(g_sysCommands[0] & 0xFFF0, static_cast<WPARAM>(SC_MAXIMIZE));
         EXPECT_EQ(f.WindowSize().cx, ScreenW());
         EXPECT_EQ(f.WindowSize().cy, WorkH(true));
     }},
    {"caption double-click restores", true, WM_LBUTTONDBLCLK, 0, At(200, 10), true, 0,
     [](FrameProcedure&, MINMAXINFO&) {
         ASSERT_FALSE(g_sysCommands.empty());
         EXPECT_EQ(g_sysCommands[0] & 0xFFF0, static_cast<WPARAM>(SC_RESTORE));
     }},
    {"double-click below the caption", false, WM_LBUTTONDBLCLK, 0, At(200, kCaption + 1), true, 0,
     [](FrameProcedure& f, MINMAXINFO&) {
         EXPECT_TRUE(g_sysCommands.empty());
         EXPECT_EQ(f.Record().maximized, 0);
     }},
    {"position change while maximised fills the work area", true, WM_WINDOWPOSCHANGED, 0, 0, true,
     0,
     [](FrameProcedure& f, MINMAXINFO&) {
         EXPECT_EQ(f.WindowSize().cx, ScreenW());
         EXPECT_EQ(f.WindowSize().cy, WorkH(true));
     }},
};

TEST_F(FrameProcedure, AnswersOrForwardsEachMessage) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Record().maximized = row.maximised ? 1 : 0;
        g_reached.clear();
        g_sysCommands.clear();
        MINMAXINFO info = {};
        WINDOWPOS pos = {hwnd_, nullptr, 60, 60, kW, kH, SWP_NOZORDER};
        LPARAM lp = row.lp;
        if (row.msg == WM_GETMINMAXINFO) lp = reinterpret_cast<LPARAM>(&info);
        if (row.msg == WM_WINDOWPOSCHANGED) lp = reinterpret_cast<LPARAM>(&pos);
        WPARAM wp = row.msg == WM_ERASEBKGND ? reinterpret_cast<WPARAM>(GetDC(hwnd_)) : row.wp;
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        const LRESULT result = SendMessageA(hwnd_, row.msg, wp, lp);
        if (row.msg == WM_ERASEBKGND) ReleaseDC(hwnd_, reinterpret_cast<HDC>(wp));
        const bool reached =
            std::find(g_reached.begin(), g_reached.end(), row.msg) != g_reached.end();
        EXPECT_EQ(reached, row.forwarded);
        EXPECT_EQ(result, row.result);
        if (row.check) row.check(*this, info);
        // Back to the restored frame at its first place and size for the next row.
        Record().maximized = 0;
        SetWindowPos(hwnd_, nullptr, 60, 60, kW, kH, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }
}

// A full render draws the caption as the window text is now, whether or not it draws the title
// afresh or reuses the band of the last render.
TEST_F(FrameProcedure, EveryFullRenderShowsTheTitleAsItIsNow) {
    auto renderBand = [&](const char* title) {
        SetWindowTextA(hwnd_, title);
        Record().needsRender = 1;
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const CanvasImage surface(Record().backgroundDc);
        std::vector<uint32_t> band;
        for (int y = 0; y < kCaption; y++)
            for (int x = 0; x < kW; x++) band.push_back(surface.At(x, y));
        return band;
    };
    const auto first = renderBand("青岚笺语");
    const auto again = renderBand("青岚笺语");
    const auto other = renderBand("另一个标题 — 更长一些");
    const auto otherAgain = renderBand("另一个标题 — 更长一些");
    const auto back = renderBand("青岚笺语");
    EXPECT_TRUE(first == again);
    EXPECT_FALSE(first == other);
    EXPECT_TRUE(other == otherAgain);
    EXPECT_TRUE(first == back);
}

TEST_F(FrameProcedure, EveryFullRenderGivesTheRoundedRegionAgain) {
    // A square region, as a restore or a maximise by the system could leave; the size is unchanged.
    SetWindowRgn(hwnd_, CreateRectRgn(0, 0, kW, kH), TRUE);
    Record().needsRender = 1;
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd_, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, kW - 1, kH - 1));
    EXPECT_TRUE(PtInRegion(region, kW / 2, kH / 2));
    DeleteObject(region);
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

// This process's top-level windows, hidden ones (an idle tooltip) included.
int OwnTopLevelWindows() {
    int n = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST_F(FrameProcedure, FramesMadeAndDestroyedLeaveNoWindowBehind) {
    const int before = OwnTopLevelWindows();
    for (int k = 0; k < 10; k++) {
        HWND frame = CreateWindowExA(0, "QlFrameProcedureTest", "frame",
                                     WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX, 80, 80, kW, kH,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(frame);
        skin_.SkinMainWindow(frame, kCaption, 1, 1, 0, 1);
        ShowWindow(frame, SW_SHOWNOACTIVATE);
        PumpMessages();
        DestroyWindow(frame);
        PumpMessages();
    }
    EXPECT_EQ(OwnTopLevelWindows(), before) << "windows left behind by 10 skinned frames";
}

TEST_F(FrameProcedure, DestroyingTheWindowReleasesWhatTheSkinHeld) {
    WindowSkinRecord& r = Record();
    ASSERT_TRUE(r.backgroundDc);
    ASSERT_GT(r.captionButtons.Count(), 2);
    ASSERT_TRUE(GetPropA(hwnd_, kPropCkBitmap));
    const HWND tip = r.tooltip.TipWindow();
    ASSERT_TRUE(IsWindow(tip)) << "the caption buttons have no tooltip";
    const int canvases = CanvasCount();
    DestroyWindow(hwnd_);
    PumpMessages();
    // The caption buttons' tooltip goes with its frame.
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(r.tooltip.TipWindow(), nullptr);
    EXPECT_EQ(r.backgroundDc, nullptr);
    EXPECT_EQ(r.captionBackdropDc, nullptr);
    // Emptied lists: as a new record has them.
    EXPECT_EQ(r.captionButtons.Count(), SkinList<CaptionButton>().Count());
    EXPECT_EQ(r.buttonTable.Count(), SkinList<ButtonRecord>().Count());
    EXPECT_EQ(r.hwnd, nullptr);
    EXPECT_EQ(CanvasCount(), canvases - 2);
    EXPECT_EQ(FindWindowIndex(hwnd_), 0);
    // The window's handle may come back for a later window: nothing of this one may stay on it.
    EXPECT_FALSE(IsWindow(hwnd_));
}

}  // namespace

#include "message_box_frame.h"

#include "button_painter.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "canvas.h"
#include "drawing.h"
#include "gbk_text.h"
#include "gdi_handles.h"
#include "geometry.h"
#include "images.h"
#include "main_window_skin.h"
#include "paint_tools.h"
#include "registry.h"
#include "static_painter.h"
#include "window_tools.h"

namespace {

HHOOK g_messageBoxHook = nullptr;
int g_fadeStarted = 0;
HICON g_programIcon = nullptr;

constexpr char kDialogClass[] = "#32770";
constexpr int kCloseButton = 1;
constexpr int kRegionCorner = 5;
constexpr int kFadeSteps = 5;
constexpr DWORD kFadeStepMs = 40;
constexpr int kFadeAlphaStep = 50;  // so the box ends at 250, not 255
constexpr int kCaptionBand = 26;
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF;

WindowSkinRecord* RecordOf(HWND hwnd, int* index = nullptr) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    if (index) *index = i;
    WindowSkinRecord* record = WindowRecord(i);
    return record && record->hwnd == hwnd ? record : nullptr;
}

void FillArea(GpGraphics* g, uint32_t argb, float x, float y, float w, float h) {
    GdipSolidBrush brush = NewSolidBrush(argb);
    if (brush) gp::GdipFillRectangle(g, brush.get(), x, y, w, h);
}

void StrokeRounded(GpGraphics* g, uint32_t argb, float x, float y, float w, float h, int d) {
    GdipPath path = RoundedRectPath(x, y, w, h, d);
    GdipPen pen = NewPen(argb);
    StrokePath(g, pen.get(), path.get());
}

// The frame's ground: base colour, skin picture, the two washes and the caption band's gradient.
void PaintFrameGround(GpGraphics* g, int w, int h) {
    const COLORREF base = SkinBaseColour();
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    gp::GdipGraphicsClear(g, ColorRefToArgb(base));
    DrawImageAt(g, SkinBackgroundPicture(), 0, 0);
    FillArea(g, ColorRefToArgb(base, 220), 0, 0, fw, fh);
    FillArea(g, ColorRefToArgb(kWhite, 100), 0, 0, fw, fh);
    GdipLineBrush band =
        VerticalGradient(0, 0, 30, ColorRefToArgb(kWhite, 100), ColorRefToArgb(kBlack, 20));
    if (band) gp::GdipFillRectangle(g, band.get(), 0, 0, fw, static_cast<float>(kCaptionBand));
}

struct ButtonBox {
    int x, y, w, h;
};
ButtonBox BoxOf(const CaptionButton& b) {
    return {static_cast<int>(b.rect[0]), static_cast<int>(b.rect[1]), static_cast<int>(b.rect[2]),
            static_cast<int>(b.rect[3])};
}

void DrawButtonImage(GpGraphics* g, const CaptionButton& b) {
    const ButtonBox box = BoxOf(b);
    DrawImageAt(g, b.image, static_cast<float>(box.x), static_cast<float>(box.y + 3));
}

// Copies (x, y, w, h) of the window's surface to its screen, around its child windows.
void CopyToWindow(HWND hwnd, HDC surface, int x, int y, int w, int h) {
    WindowDc dc(hwnd, WindowDc::kWholeWindow);
    ExcludeVisibleChildren(hwnd, dc.get());
    BitBlt(dc.get(), x, y, w, h, surface, x, y, SRCCOPY);
}

DWORD WINAPI FadeIn(void* window) {
    // Only the handle is touched here: the records belong to the window's thread.
    for (int step = 1; step <= kFadeSteps; step++) {
        Sleep(kFadeStepMs);
        SetLayeredWindowAttributes(static_cast<HWND>(window), 0,
                                   static_cast<BYTE>(kFadeAlphaStep * step), LWA_ALPHA);
    }
    return 0;
}

void RemoveHook() {
    if (g_messageBoxHook) UnhookWindowsHookEx(g_messageBoxHook);
    g_messageBoxHook = nullptr;
}

void SetCloseHot(HWND hwnd, int i, WindowSkinRecord& r, int hot) {
    if (r.closeHot == hot) return;
    PaintCaptionButton(i, kCloseButton, hot);
    r.closeHot = hot;
    if (hot) {
        // Leaving across the window's edge brings no further non-client move.
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd, 0};
        TrackMouseEvent(&track);
    }
}

RECT RectInParent(HWND parent, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The box's left margin: where its leftmost control starts.
int LeftMargin(HWND box) {
    int margin = INT_MAX;
    for (HWND c = FindWindowExA(box, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(box, c, nullptr, nullptr))
        margin = std::min<int>(margin, RectInParent(box, c).left);
    return margin == INT_MAX ? 0 : std::max(margin, 0);
}

// The system sized the text static for its own font; the skin draws the text in the static's
// font, which may need more room. A static too small first takes the box's width up to the
// right margin (the left one mirrored); if the lines still reach below it, the static and the box
// grow and the controls below the text (the buttons) move down, so every message is shown whole.
void MakeRoomForText(HWND box, WindowSkinRecord& r) {
    for (int k = 1; k <= r.staticTable.Count(); k++) {
        const StaticRecord& entry = r.staticTable[k];
        if (!entry.hwnd) continue;
        // A box without an icon may keep its empty icon static over the text (Wine does): it
        // shows nothing, and its backdrop would be painted over the text's first lines.
        if (entry.kind == kIconStatic && !SendMessageW(entry.hwnd, STM_GETICON, 0, 0)) {
            ShowWindow(entry.hwnd, SW_HIDE);
            continue;
        }
        RECT s = RectInParent(box, entry.hwnd);
        if (StaticTextBottom(entry, s.right - s.left) > s.bottom - s.top) {
            RECT client = {};
            GetClientRect(box, &client);
            const LONG right = client.right - LeftMargin(box);
            if (right > s.right) {
                s.right = right;
                SetWindowPos(entry.hwnd, nullptr, 0, 0, s.right - s.left, s.bottom - s.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        RECT frame = {};
        GetWindowRect(box, &frame);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoA(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
        const TextRoom room =
            RoomForText(s.bottom - s.top, StaticTextBottom(entry, s.right - s.left), frame.top,
                        frame.bottom - frame.top, monitor.rcWork.top, monitor.rcWork.bottom);
        if (room.grow == 0) continue;
        for (HWND c = FindWindowExA(box, nullptr, nullptr, nullptr); c;
             c = FindWindowExA(box, c, nullptr, nullptr)) {
            const RECT below = RectInParent(box, c);
            if (c != entry.hwnd && below.top >= s.bottom)
                SetWindowPos(c, nullptr, below.left, below.top + room.grow, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetWindowPos(entry.hwnd, nullptr, 0, 0, s.right - s.left, s.bottom - s.top + room.grow,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Through the frame procedure: the rounded region follows the new size.
        SetWindowPos(box, nullptr, frame.left, room.boxTop, frame.right - frame.left,
                     frame.bottom - frame.top + room.grow, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

void BindMessageBoxSkin(HICON programIcon) {
    g_programIcon = programIcon;
    BindProcedure(SkinProcedure::kMessageBoxFrame, MessageBoxFrameProc);
    BindInstaller(InstallerRow::kStatics, InstallStatics);
}

// ---- The hook -----------------------------------------------------------------------------------

void InstallMessageBoxHook() {
    // A hook whose box never came would skin the next dialog of any kind, the folder dialog too.
    RemoveHook();
    g_messageBoxHook = SetWindowsHookExW(WH_CBT, MessageBoxHookProc, nullptr, GetCurrentThreadId());
}

HHOOK PendingMessageBoxHook() {
    return g_messageBoxHook;
}

LRESULT CALLBACK MessageBoxHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        auto window = reinterpret_cast<HWND>(wp);
        char name[256] = {};
        GetClassNameA(window, name, 255);
        if (lstrcmpA(name, kDialogClass) == 0 && !SkinProp(window, kPropHwProc)) {
            ApplySkinToWindow(window);
        }
    }
    return CallNextHookEx(g_messageBoxHook, code, wp, lp);
}

// ---- Painting -----------------------------------------------------------------------------------

void PaintMessageBoxFrame(HWND hwnd) {
    WindowSkinRecord* r = RecordOf(hwnd);
    if (!r) return;
    const SIZE size = WindowExtent(hwnd);
    const int w = size.cx, h = size.cy;
    ReleaseCanvas(r->backgroundDc);
    r->backgroundDc = CreateCanvas(w, h);
    if (!r->backgroundDc) return;
    SetCanvasProps(hwnd, r->backgroundDc);
    {
        GdipGraphics g = GraphicsOn(r->backgroundDc);
        if (!g) return;
        PaintFrameGround(g.get(), w, h);
        StrokeRounded(g.get(), ColorRefToArgb(kBlack, 120), 0, 0, static_cast<float>(w - 1),
                      static_cast<float>(h - 1), 5);
        StrokeRounded(g.get(), ColorRefToArgb(kWhite, 180), 1, 1, static_cast<float>(w - 3),
                      static_cast<float>(h - 3), 3);
        gp::GdipFlush(g.get(), Gdiplus::FlushIntentionSync);
        if (g_programIcon)
            DrawIconEx(r->backgroundDc, 5, 5, g_programIcon, 17, 17, 0, nullptr, DI_NORMAL);

        const std::string title = WindowTextGbk(hwnd);
        TextStyle style;
        style.face = "黑体";
        style.emSize = 11;
        style.lineAlign = Gdiplus::StringAlignmentCenter;
        DrawHaloText(g.get(), title.c_str(), 25, 0, static_cast<float>(w), 30, kBlack, kWhite, 4,
                     style);
        for (int k = 1; k <= r->captionButtons.Count(); k++)
            DrawButtonImage(g.get(), r->captionButtons[k]);
    }
    CopyToWindow(hwnd, r->backgroundDc, 0, 0, w, h);
}

void PaintCaptionButton(int i, int n, int hot) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->backgroundDc || !r->captionButtons.At(n)) return;
    const CaptionButton& button = r->captionButtons[n];
    const ButtonBox b = BoxOf(button);
    const float x = static_cast<float>(b.x), y = static_cast<float>(b.y);
    const float w = static_cast<float>(b.w), h = static_cast<float>(b.h);
    {
        GdipGraphics g = GraphicsOn(r->backgroundDc);
        if (!g) return;
        gp::GdipSetClipRect(g.get(), x, y + 2, w - 2, h, Gdiplus::CombineModeReplace);
        if (hot) {
            GdipPath glow = RoundedRectPath(x + 6, y + 2, w - 12, h - 4, 5);
            GdipLineBrush red = VerticalGradient(x + 3, y + 2, h - 4, ColorRefToArgb(kWhite, 10),
                                                 ColorRefToArgb(kRed, 200));
            FillPath(g.get(), red.get(), glow.get());
            GdipPen rim = NewPen(ColorRefToArgb(kBlack, 100));
            StrokePath(g.get(), rim.get(), glow.get());
            StrokeRounded(g.get(), ColorRefToArgb(kWhite, 130), x + 7, y + 3, w - 14, h - 6, 3);
        } else {
            const SIZE size = WindowExtent(r->hwnd);
            PaintFrameGround(g.get(), size.cx, size.cy);
        }
        DrawButtonImage(g.get(), button);
    }
    CopyToWindow(r->hwnd, r->backgroundDc, b.x, b.y, b.w, b.h);
}

LRESULT MessageBoxHitTest(HWND hwnd, LPARAM lp) {
    WindowSkinRecord* r = RecordOf(hwnd);
    RECT frame = {};
    GetWindowRect(hwnd, &frame);
    // Signed: a box on a monitor left of or above the primary one has negative coordinates.
    const double x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    const double e = 1e-7;
    const double stripX = r ? r->captionButtonStrip.x : 0;
    if (r && x > frame.left + stripX + e && x < frame.right - 5 - e && y > frame.top + 3 + e &&
        y <= frame.top + 25 + e)
        return HTCLOSE;
    return HTCAPTION;
}

namespace {

void PaintAndFadeIn(HWND hwnd) {
    {
        PaintScope paint(hwnd);
        PaintMessageBoxFrame(hwnd);
    }
    if (g_fadeStarted) return;
    g_fadeStarted = 1;
    // Without its fade the box would stay invisible.
    if (!SHCreateThread(FadeIn, hwnd, 0, nullptr))
        SetLayeredWindowAttributes(hwnd, 0, kFadeSteps * kFadeAlphaStep, LWA_ALPHA);
}

}  // namespace

// ---- The frame procedure ------------------------------------------------------------------------

LRESULT CALLBACK MessageBoxFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    int i = 0;
    WindowSkinRecord* r = RecordOf(hwnd, &i);
    if (!r) return ForwardMessage(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_SIZE: {
            const SIZE size = WindowExtent(hwnd);
            SetWindowRgn(
                hwnd,
                CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1, kRegionCorner, kRegionCorner),
                TRUE);
            LayoutCaptionButtons(i);
            break;
        }
        case WM_ACTIVATE:
            RemoveHook();
            break;
        case WM_SETFOCUS:
            // Once the fade-in has run, this would leave the box almost invisible.
            if (!g_fadeStarted)
                for (int step = 1; step <= kFadeSteps; step++) {
                    SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(255 - 50 * step),
                                               LWA_ALPHA);
                    Sleep(30);
                }
            break;
        case WM_PAINT:
            // The system may still be laying the box out while it activates it (Wine places
            // the buttons afterwards); by the first paint it is done, and the box is not yet
            // faded in, so the room for the text is made then.
            if (!g_fadeStarted) MakeRoomForText(hwnd, *r);
            PaintAndFadeIn(hwnd);
            return DefWindowProcW(hwnd, msg, wp, lp);
        case WM_DRAWITEM:
            DrawButtonItemMessage(i, lp);
            break;
        case WM_NCDESTROY: {
            g_fadeStarted = 0;
            ReleaseWindowSkin(hwnd, *r);
            const LRESULT result = ForwardMessage(hwnd, msg, wp, lp);
            RemovePropA(hwnd, kPropHwProc);
            RemovePropA(hwnd, kPropHwLbId);
            return result;
        }
        case WM_NCHITTEST:
            return MessageBoxHitTest(hwnd, lp);
        case WM_NCPAINT:
            // The region belongs to the system; the frame is the skin's to paint.
            return 0;
        case WM_NCACTIVATE:
            return 1;
        case WM_NCMOUSEMOVE:
            if (wp == HTCLOSE) {
                SetCloseHot(hwnd, i, *r, 1);
                return 0;
            }
            SetCloseHot(hwnd, i, *r, 0);
            break;
        case WM_NCMOUSELEAVE:
            SetCloseHot(hwnd, i, *r, 0);
            break;
        case WM_NCLBUTTONDOWN:
            if (wp == HTCAPTION) {
                GetWindowRect(hwnd, &r->dragRect);
                r->dragging = 1;
            } else if (wp == HTCLOSE) {
                return 0;
            }
            break;
        case WM_NCLBUTTONUP:
            r->dragging = 0;
            if (wp == HTCLOSE) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_CHANGEUISTATE:
            if (LOWORD(wp) == UIS_INITIALIZE) return 0;
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

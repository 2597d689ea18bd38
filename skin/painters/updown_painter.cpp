// Up-down controls: two rounded half-buttons with a translucent gradient and a small black arrow
// each; the half under the mouse is tinted with the theme colour and pressing it reverses the tint.
// Capture, auto-repeat and the buddy's value stay with the system.
#include <windows.h>
#include <commctrl.h>

#include "canvas.h"
#include "geometry.h"
#include "images.h"
#include "paint_tools.h"
#include "registry.h"
#include "remaining_painters.h"

namespace {

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

constexpr uint32_t kGround = ColorRefToArgb(kWhite, 160);
constexpr uint32_t kNormalOutline = ColorRefToArgb(kBlack, 100);

enum Part { kNoPart = 0, kFirstHalf = 3, kSecondHalf = 4 };

UpDownRecord* FindUpDown(int windowIndex, int index) {
    return TableEntry(windowIndex, index, &WindowSkinRecord::upDownTable);
}

struct HalfLook {
    uint32_t outline, from, to;
};

// `firstOfVertical`: the upper half of a vertical control has a lighter normal gradient.
HalfLook LookOf(bool underMouse, bool pressed, bool firstOfVertical) {
    const COLORREF theme = g_skinSettings.themeColour;
    if (underMouse) {
        if (pressed)
            return {ColorRefToArgb(theme, 200), ColorRefToArgb(theme, 100),
                    ColorRefToArgb(kWhite, 150)};
        return {ColorRefToArgb(theme, 200), ColorRefToArgb(kWhite, 100),
                ColorRefToArgb(theme, 150)};
    }
    return {kNormalOutline, ColorRefToArgb(kWhite, firstOfVertical ? 60 : 20),
            ColorRefToArgb(theme, 100)};
}

struct Half {
    float x, y, width, height;     // the rounded shape
    float fromX, fromY, toX, toY;  // the gradient line
    float arrowX, arrowY;          // where the arrow's top-left corner goes, before its size
    const ImageBytes* arrow;
};

void DrawHalf(GpGraphics* g, const Half& half, const HalfLook& look) {
    GdipPath shape = RoundedRectPath(half.x, half.y, half.width, half.height, 3);
    GdipLineBrush fill =
        NewLineBrush(half.fromX, half.fromY, half.toX, half.toY, look.from, look.to);
    FillPath(g, fill.get(), shape.get());
    DrawImageCentredOn(g, *half.arrow, half.arrowX, half.arrowY);
    GdipPen pen = NewPen(look.outline);
    StrokePath(g, pen.get(), shape.get());
}

}  // namespace

void InstallUpDowns(int windowIndex, HWND parent) {
    InstallChildren(
        windowIndex, parent, UPDOWN_CLASSA, &WindowSkinRecord::upDownTable, false, UpDownProc,
        [](HWND, LONG_PTR) { return true; },
        [](UpDownRecord& entry, HWND, LONG_PTR style) {
            entry.horizontal = HasStyle(style, UDS_HORZ) ? 1 : 0;
        });
}

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    const int j = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    UpDownRecord* entry = FindUpDown(i, j);
    LRESULT result = 0;
    if (AnswerOwnPaint(
            hwnd, msg, wp, lp, [=] { PaintUpDown(i, j, 0, 0, 0, 0, 0, 0); }, &result))
        return result;
    switch (msg) {
        case WM_NCPAINT:  // not even the border of the control shows
            return 1;
        case WM_MOUSEMOVE: {
            RequestMouseLeave(hwnd);
            WindowSkinRecord* record = WindowRecord(i);
            if (!record || !entry) break;
            record->hotIndex = j;
            const int part = UpDownHitPart(i, j, lp);
            // Entering the control, or the other half of it, repaints; moves within a half do not.
            if (record->hotIndex != record->lastHotIndex || record->hotKind != kHotUpDown ||
                part != entry->hotPart) {
                if (j >= 1) {
                    PaintUpDown(i, j, 1, 1, 0, 0, lp, 1);
                    entry->hot = 1;
                }
                record->lastHotIndex = record->hotIndex;
                record->hotKind = kHotUpDown;
                entry->hotPart = part;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            // No paint here: the control's own invalidation brings the WM_PAINT that shows it.
            if (entry) {
                entry->pressed = msg == WM_LBUTTONDOWN ? 1 : 0;
                entry->lastPoint = lp;
            }
            break;
        case WM_MOUSELEAVE: {
            WindowSkinRecord* record = WindowRecord(i);
            if (record && entry) {
                LeaveHot(*record, entry->hot);
                PaintUpDown(i, j, 0, 1, 0, 0, 0, 0);
            }
            break;
        }
        default:
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

int UpDownHitPart(int windowIndex, int index, LPARAM point) {
    UpDownRecord* entry = FindUpDown(windowIndex, index);
    if (!entry || !entry->hwnd) return 0;
    const SIZE size = WindowExtent(entry->hwnd);
    const int x = static_cast<short>(LOWORD(point));
    const int y = static_cast<short>(HIWORD(point));
    // A point on the middle line belongs to the first half.
    if (entry->horizontal) return size.cx / 2 < x ? 1 : 0;
    return size.cy / 2 < y ? 1 : 0;
}

void PaintUpDown(int windowIndex, int index, int hot, int useHot, int pressed, int usePressed,
                 LPARAM point, int usePoint) {
    UpDownRecord* entry = FindUpDown(windowIndex, index);
    if (!entry || !entry->hwnd) return;
    if (!useHot) hot = entry->hot;
    if (!usePressed) pressed = entry->pressed;
    if (!usePoint) point = entry->lastPoint;

    HWND u = entry->hwnd;
    const bool horizontal = entry->horizontal != 0;
    const SIZE size = WindowExtent(u);
    const int W = size.cx, H = size.cy;
    ScopedCanvas canvas(BackgroundSnapshot(u, RECT{0, 0, W, H}));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        if (g) {
            gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
            gp::GdipSetCompositingQuality(g.get(), Gdiplus::CompositingQualityHighQuality);
        }
        const int K = horizontal ? W / 2 : W;
        const int L = horizontal ? H : H / 2;
        Part under = kNoPart;
        if (hot) {
            const int x = static_cast<short>(LOWORD(point));
            const int y = static_cast<short>(HIWORD(point));
            under = (horizontal ? K < x : L < y) ? kSecondHalf : kFirstHalf;
        }
        const bool lit = hot || pressed;
        const float k = static_cast<float>(K), l = static_cast<float>(L);

        GdipPath ground = RoundedRectPath(0, 0, W - 1.0f, H - 1.0f, 3);
        GdipSolidBrush groundBrush = NewSolidBrush(kGround);
        FillPath(g.get(), groundBrush.get(), ground.get());

        const SkinImageSet& images = SkinImages();
        Half first = {0, 0, k - 1, l - 1, 0, 0, 0, 0, k / 2, l / 2, nullptr};
        Half second = first;
        if (horizontal) {
            first.toX = k - 1;
            first.arrow = &images.arrowLeft;
            second = {k,
                      0,
                      k - 1,
                      l - 1,
                      k - 1,
                      0,
                      static_cast<float>(W),
                      0,
                      k + k / 2,
                      l / 2,
                      &images.arrowRight};
        } else {
            first.toY = l - 1;
            first.arrow = &images.arrowUp;
            second = {0,
                      l,
                      k - 1,
                      l - 1,
                      0,
                      l,
                      0,
                      static_cast<float>(H),
                      k / 2,
                      l + l / 2,
                      &images.arrowDown};
        }
        DrawHalf(g.get(), first, LookOf(lit && under == kFirstHalf, pressed != 0, !horizontal));
        DrawHalf(g.get(), second, LookOf(lit && under == kSecondHalf, pressed != 0, false));
    }
    CopyCanvasToWindow(u, canvas.get(), W, H);
}

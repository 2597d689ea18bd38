// Progress bars: a translucent rounded trough over the skin backdrop and a rounded bar in the theme
// colour whose length follows the position.
#include <windows.h>
#include <commctrl.h>

#include "canvas.h"
#include "geometry.h"
#include "paint_tools.h"
#include "registry.h"
#include "remaining_painters.h"

namespace {

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

constexpr uint32_t kOutline = ColorRefToArgb(kBlack, 50);
constexpr uint32_t kBarStart = ColorRefToArgb(kWhite, 90);

ProgressRecord* FindProgress(int windowIndex, int index) {
    return TableEntry(windowIndex, index, &WindowSkinRecord::progressTable);
}

struct BarGeometry {
    int length = 0;  // along the bar; nothing is drawn unless it is positive
    float x0 = 0, y0 = 0, width = 0, height = 0;
    float gradientX = 0, gradientY = 0;  // the bar gradient runs from (x0, y0) to here
};

// The position is taken as it comes, not reduced by the lower bound. A range whose bounds are
// equal has no bar.
BarGeometry MeasureBar(bool vertical, int width, int height, int pos, double span) {
    BarGeometry bar;
    const double extent = vertical ? height : width;
    const double along = span != 0 ? pos * (extent / span) : 0.0;
    bar.length = TruncateOr(along, 0);
    if (!vertical) {
        bar.width = static_cast<float>(bar.length);
        bar.height = static_cast<float>(height);
        bar.gradientX = 0;
        bar.gradientY = bar.height - 1;
    } else {
        bar.y0 = static_cast<float>(TruncateOr(height - along, 0));
        bar.width = static_cast<float>(width);
        bar.height = static_cast<float>(bar.length);
        bar.gradientX = bar.width - 1;
        bar.gradientY = bar.y0;
    }
    return bar;
}

}  // namespace

void InstallProgressBars(int windowIndex, HWND parent) {
    InstallChildren(
        windowIndex, parent, PROGRESS_CLASSA, &WindowSkinRecord::progressTable, false, ProgressProc,
        [](HWND, LONG_PTR) { return true; },
        [](ProgressRecord& entry, HWND, LONG_PTR style) {
            entry.vertical = HasStyle(style, PBS_VERTICAL) ? 1 : 0;
        });
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    const int j = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    LRESULT result = 0;
    if (AnswerOwnPaint(
            hwnd, msg, wp, lp, [=] { PaintProgressBar(i, j); }, &result))
        return result;
    switch (msg) {
        case WM_NCPAINT:
            PaintProgressBar(i, j);
            return 1;
        default:  // no hot tracking: mouse, focus and text messages all go to the control
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void PaintProgressBar(int windowIndex, int index) {
    ProgressRecord* entry = FindProgress(windowIndex, index);
    if (!entry || !entry->hwnd) return;
    HWND p = entry->hwnd;
    const SIZE size = WindowExtent(p);
    const int W = size.cx, H = size.cy;
    ScopedCanvas canvas(BackgroundSnapshot(p, RECT{0, 0, W, H}));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        const float w = static_cast<float>(W), h = static_cast<float>(H);

        DrawBarTrough(g.get(), w, h, entry->vertical != 0, kOutline, 1);

        const int pos = static_cast<int>(SendMessageW(p, PBM_GETPOS, 0, 0));
        PBRANGE range = {};
        SendMessageW(p, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        const double span = static_cast<double>(range.iHigh) - range.iLow;
        const BarGeometry bar = MeasureBar(entry->vertical != 0, W, H, pos, span);
        if (bar.length > 0) {
            const uint32_t theme = g_skinSettings.themeColour;
            GdipPath path =
                RoundedRectPath(bar.x0 + 1, bar.y0 + 1, bar.width - 3, bar.height - 3, 3);
            GdipLineBrush fill = NewLineBrush(bar.x0, bar.y0, bar.gradientX, bar.gradientY,
                                              kBarStart, ColorRefToArgb(theme));
            GdipPen pen = NewPen(ColorRefToArgb(theme, 150));
            FillPath(g.get(), fill.get(), path.get());
            StrokePath(g.get(), pen.get(), path.get());
        }
    }
    CopyCanvasToWindow(p, canvas.get(), W, H);
}

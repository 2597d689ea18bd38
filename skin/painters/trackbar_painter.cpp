// Track bars: a translucent rounded frame, a thin dark groove, the value line in the theme colour
// up to the thumb, the selection range as a light line, and a round thumb that grows into a knob
// while the mouse is over the control.
#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "canvas.h"
#include "geometry.h"
#include "paint_tools.h"
#include "registry.h"
#include "remaining_painters.h"

namespace {

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

constexpr uint32_t kFrameOutline = ColorRefToArgb(kBlack, 30);
constexpr uint32_t kGrooveStart = ColorRefToArgb(kBlack, 50);
constexpr uint32_t kGrooveEnd = ColorRefToArgb(kBlack, 30);
constexpr uint32_t kThumbFill = ColorRefToArgb(kWhite);
constexpr uint32_t kThumbShadeStart = ColorRefToArgb(kWhite, 0);
constexpr uint32_t kThumbShadeEnd = ColorRefToArgb(kBlack, 90);
constexpr uint32_t kThumbOutline = ColorRefToArgb(kBlack, 50);
constexpr uint32_t kSelection = ColorRefToArgb(kWhite, 160);

constexpr float kKnob = 11;  // thumb under the mouse
constexpr float kDot = 4;    // thumb otherwise

TrackBarRecord* FindTrackBar(int windowIndex, int index) {
    return TableEntry(windowIndex, index, &WindowSkinRecord::trackBarTable);
}

int TickSide(LONG_PTR style) {
    if (HasStyle(style, TBS_NOTICKS)) return 3;
    if (HasStyle(style, TBS_TOP)) return 0;
    if (HasStyle(style, TBS_BOTH)) return 2;
    return 1;
}

// The channel as the control reports it for a horizontal bar; a vertical bar reports it in the
// same orientation (left and right along the track). Some systems give a vertical bar's channel
// as it lies on screen instead, taller than wide: that is turned back.
RECT ChannelRect(HWND t, bool vertical) {
    RECT c = {};
    SendMessageW(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
    if (vertical && c.bottom - c.top > c.right - c.left) c = RECT{c.top, c.left, c.bottom, c.right};
    return c;
}

}  // namespace

void InstallTrackBars(int windowIndex, HWND parent) {
    InstallChildren(
        windowIndex, parent, TRACKBAR_CLASSA, &WindowSkinRecord::trackBarTable, false, TrackBarProc,
        [](HWND, LONG_PTR) { return true; },
        [](TrackBarRecord& entry, HWND, LONG_PTR style) {
            entry.vertical = HasStyle(style, TBS_VERT) ? 1 : 0;
            entry.tickSide = TickSide(style);
            entry.selectionRange = HasStyle(style, TBS_ENABLESELRANGE) ? 1 : 0;
        });
}

LRESULT CALLBACK TrackBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    const int j = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    LRESULT result = 0;
    if (AnswerOwnPaint(
            hwnd, msg, wp, lp, [=] { PaintTrackBar(i, j); }, &result))
        return result;
    switch (msg) {
        case WM_NCPAINT:
            PaintTrackBar(i, j);
            return 1;
        case WM_MOUSEMOVE: {
            RequestMouseLeave(hwnd);
            WindowSkinRecord* record = WindowRecord(i);
            TrackBarRecord* entry = FindTrackBar(i, j);
            // Only entering the control repaints, not every move over it.
            if (record && entry && TrackHot(*record, kHotTrackBar, j, entry->hot))
                PaintTrackBar(i, j);
            break;
        }
        case WM_MOUSELEAVE: {
            WindowSkinRecord* record = WindowRecord(i);
            TrackBarRecord* entry = FindTrackBar(i, j);
            if (record && entry) {
                LeaveHot(*record, entry->hot);
                PaintTrackBar(i, j);
            }
            break;
        }
        default:
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void PaintTrackBar(int windowIndex, int index) {
    TrackBarRecord* entry = FindTrackBar(windowIndex, index);
    if (!entry || !entry->hwnd) return;
    HWND t = entry->hwnd;
    const bool vertical = entry->vertical != 0;
    const bool selection = entry->selectionRange != 0;
    const SIZE size = WindowExtent(t);
    const int W = size.cx, H = size.cy;
    ScopedCanvas canvas(BackgroundSnapshot(t, RECT{0, 0, W, H}));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        const float w = static_cast<float>(W), h = static_cast<float>(H);
        const float min = static_cast<float>(SendMessageW(t, TBM_GETRANGEMIN, 0, 0));
        const float max = static_cast<float>(SendMessageW(t, TBM_GETRANGEMAX, 0, 0));
        const bool emptyRange = min == max;

        if (g_skinSettings.trackBarOption == 1)
            DrawBarTrough(g.get(), w, h, vertical, kFrameOutline, 3);

        // The channel: cl .. cr along the track, ct .. cb across it, whatever the orientation.
        const RECT channel = ChannelRect(t, vertical);
        const float cl = static_cast<float>(channel.left), cr = static_cast<float>(channel.right);
        const float ct = static_cast<float>(channel.top), cb = static_cast<float>(channel.bottom);
        const float across = selection ? ct + (cb - ct - 4) / 2 : ct;
        const float thickness = selection ? 4 : cb - ct;
        const float length = cr - cl;
        float gx, gy, gw, gh;
        if (!vertical) {
            gx = cl, gw = length, gy = across, gh = thickness;
        } else {
            gy = cl, gh = length, gx = across, gw = thickness;
        }
        {
            GdipPath groove = RoundedRectPath(gx, gy, gw, gh, 1);
            GdipLineBrush brush = vertical
                                      ? NewLineBrush(gx, gy, gx + gw, gy, kGrooveStart, kGrooveEnd)
                                      : NewLineBrush(gx, gy, gx, gy + gh, kGrooveStart, kGrooveEnd);
            FillPath(g.get(), brush.get(), groove.get());
        }
        const float g0 = vertical ? gx : gy;  // the groove's position across the track

        RECT thumb = {};
        SendMessageW(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        const float tl = static_cast<float>(thumb.left), tt = static_cast<float>(thumb.top);
        const float thumbAlong = vertical ? tt : tl;
        float thumbAcross, diameter, along = thumbAlong;
        if (entry->hot) {
            diameter = kKnob;
            thumbAcross = g0 - 4;
            if (entry->tickSide == 0) thumbAcross += 2;
            if (entry->tickSide == 2) thumbAcross += 1;
        } else {
            diameter = kDot;
            thumbAcross = g0 - 0.5f;
            if (emptyRange) along += 8;
        }
        {
            const float ex = vertical ? thumbAcross : along;
            const float ey = vertical ? along : thumbAcross;
            GdipPath knob = NewPath();
            if (knob) gp::GdipAddPathEllipse(knob.get(), ex, ey, diameter, diameter);
            GdipSolidBrush fill = NewSolidBrush(kThumbFill);
            FillPath(g.get(), fill.get(), knob.get());
            // The shading runs over the groove's length, so only its first part shows.
            GdipLineBrush shade = NewLineBrush(tl, ey, tl, ey + (vertical ? gh : gw),
                                               kThumbShadeStart, kThumbShadeEnd);
            FillPath(g.get(), shade.get(), knob.get());
            GdipPen pen = NewPen(kThumbOutline);
            StrokePath(g.get(), pen.get(), knob.get());
        }

        const float lineAcross = selection ? ct + (cb - ct - 4) / 2 + 1 : ct + 1;
        if (selection) {
            const float s = static_cast<float>(SendMessageW(t, TBM_GETSELSTART, 0, 0));
            const float e = static_cast<float>(SendMessageW(t, TBM_GETSELEND, 0, 0));
            // The start is the value itself taken as pixels; only the length is scaled.
            const float n = (e - s) * length / max;
            if (std::isfinite(n)) {
                GdipPath line = vertical ? RectanglePath(lineAcross, s + cl - 1, 1, n)
                                         : RectanglePath(s + cl - 1, lineAcross, n, 1);
                GdipPen pen = NewPen(kSelection);
                StrokePath(g.get(), pen.get(), line.get());
            }
        }

        float valueLength = thumbAlong - cl - 1;
        if (emptyRange) valueLength += 10;
        GdipPath value = vertical ? RectanglePath(lineAcross, cl, 1, valueLength)
                                  : RectanglePath(cl, lineAcross, valueLength, 1);
        GdipPen valuePen = NewPen(ThemeArgb(200));
        StrokePath(g.get(), valuePen.get(), value.get());
    }
    CopyCanvasToWindow(t, canvas.get(), W, H);
}

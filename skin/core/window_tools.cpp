#include "window_tools.h"

#include "canvas.h"
#include "drawing.h"
#include "geometry.h"
#include "paint_tools.h"
#include "registry.h"

namespace {

// Scroll bars as ClientRectInWindow assumes them.
constexpr int kAssumedBarThickness = 17;

// The client area's backdrop under `wash`, as a canvas; release with ReleaseCanvas.
HDC WashedClientCanvas(HWND hwnd, const RECT& r, uint32_t wash) {
    HDC canvas = BackgroundSnapshot(hwnd, r);
    if (canvas) {
        GdipGraphics g = GraphicsOn(canvas);
        FillRectArgb(g.get(), wash, 0, 0, static_cast<float>(Width(r)),
                     static_cast<float>(Height(r)));
    }
    return canvas;
}

}  // namespace

// ---- Client area and scroll bars ------------------------------------------------------------

bool HasScrollBars(HWND hwnd) {
    const LONG_PTR style = StyleOf(hwnd);
    return HasStyle(style, WS_VSCROLL) || HasStyle(style, WS_HSCROLL);
}

HRGN ScrollBarRegion(HWND hwnd) {
    const LONG_PTR style = StyleOf(hwnd);
    const bool horizontal = HasStyle(style, WS_HSCROLL), vertical = HasStyle(style, WS_VSCROLL);
    GdiRegion h, v;
    LONG bottomOfHorizontal = 0;
    if (horizontal) {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof(info);
        GetScrollBarInfo(hwnd, OBJID_HSCROLL, &info);
        h.reset(CreateRectRgnIndirect(&info.rcScrollBar));
        bottomOfHorizontal = info.rcScrollBar.bottom;
    }
    if (vertical) {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof(info);
        GetScrollBarInfo(hwnd, OBJID_VSCROLL, &info);
        RECT r = info.rcScrollBar;
        // Down over the corner square to the horizontal bar's bottom edge (its own width below
        // its end where the bars abut exactly; some systems let them overlap by a pixel).
        if (horizontal) r.bottom = bottomOfHorizontal;
        v.reset(CreateRectRgnIndirect(&r));
    }
    if (h && v) {
        GdiRegion both(CreateRectRgn(0, 0, 0, 0));
        if (both) CombineRgn(both.get(), h.get(), v.get(), RGN_OR);
        return both.release();
    }
    return h ? h.release() : v.release();
}

LRESULT DefaultNonClientPaint(HWND hwnd, HRGN region, LPARAM lp) {
    // An empty region rather than a made-up handle: the system then draws nothing at all.
    GdiRegion nothing;
    if (!region) {
        nothing.reset(CreateRectRgn(0, 0, 0, 0));
        region = nothing.get();
    }
    return DefWindowProcW(hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(region), lp);
}

RECT ClientRectInWindow(HWND hwnd) {
    const RECT window = WindowRectAtOrigin(hwnd);
    const RECT client = ClientRectOf(hwnd);
    const LONG_PTR style = StyleOf(hwnd);
    const int cw = Width(client), ch = Height(client);
    const int left =
        FloorDiv2(Width(window) - cw - (HasStyle(style, WS_VSCROLL) ? kAssumedBarThickness : 0));
    const int top =
        FloorDiv2(Height(window) - ch - (HasStyle(style, WS_HSCROLL) ? kAssumedBarThickness : 0));
    return RECT{left, top, left + cw, top + ch};
}

RECT ListFrameInnerRect(HWND hwnd) {
    const RECT window = WindowRectAtOrigin(hwnd);
    const RECT client = ClientRectOf(hwnd);
    SCROLLBARINFO h = {}, v = {};
    h.cbSize = v.cbSize = sizeof(SCROLLBARINFO);
    GetScrollBarInfo(hwnd, OBJID_HSCROLL, &h);
    GetScrollBarInfo(hwnd, OBJID_VSCROLL, &v);
    const LONG_PTR style = StyleOf(hwnd);
    int iw = Width(client), ih = Height(client);
    if (HasStyle(style, WS_VSCROLL)) iw += Width(v.rcScrollBar);
    if (HasStyle(style, WS_HSCROLL)) ih += Height(h.rcScrollBar);
    const int left = FloorDiv2(Width(window) - iw), top = FloorDiv2(Height(window) - ih);
    return RECT{left, top, left + iw, top + ih};
}

// ---- The washed backdrop ----------------------------------------------------------------------

uint32_t ControlWash() {
    return g_skinSettings.translucentControls
               ? ColorRefToArgb(0x00FFFFFF, g_skinSettings.overlayAlpha)
               : 0xFFFFFFFF;
}

HDC ClientBackdropCanvas(HWND hwnd) {
    return WashedClientCanvas(hwnd, ClientRectInWindow(hwnd),
                              ColorRefToArgb(0x00FFFFFF, g_skinSettings.overlayAlpha));
}

void FillClientBackdrop(HWND hwnd, HDC dc, bool intoGivenDc) {
    const RECT r = ClientRectInWindow(hwnd);
    ScopedCanvas canvas(WashedClientCanvas(hwnd, r, ControlWash()));
    if (!canvas) return;
    if (intoGivenDc) {
        BitBlt(dc, 0, 0, Width(r), Height(r), canvas.get(), 0, 0, SRCCOPY);
    } else {
        WindowDc window(hwnd, WindowDc::kWholeWindow);
        BitBlt(window.get(), r.left, r.top, Width(r), Height(r), canvas.get(), 0, 0, SRCCOPY);
    }
}

// ---- Child windows ----------------------------------------------------------------------------

bool IsTransparentWindow(HWND hwnd) {
    return HasStyle(ExStyleOf(hwnd), WS_EX_TRANSPARENT);
}

bool HasRegion(HWND hwnd, HRGN region) {
    // Compared by the area covered: the system may keep the same shape as other rectangles.
    GdiRegion current(CreateRectRgn(0, 0, 0, 0)), difference(CreateRectRgn(0, 0, 0, 0));
    return current && difference && GetWindowRgn(hwnd, current.get()) != ERROR &&
           CombineRgn(difference.get(), current.get(), region, RGN_XOR) == NULLREGION;
}

HDC ExcludeOpaqueChildren(HWND hwnd, HDC dc, int haveDc) {
    if (!haveDc) dc = GetDC(hwnd);
    for (HWND c = FindWindowExA(hwnd, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(hwnd, c, nullptr, nullptr)) {
        if (!IsWindowVisible(c) || IsTransparentWindow(c)) continue;
        const RECT r = ChildRectInParent(c);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    return dc;
}

RECT ChildRectInParent(HWND hwnd) {
    if (FindWindowIndex(hwnd) >= 1) return RECT{};
    RECT parent = {}, r = {};
    GetClientRect(GetParent(hwnd), &parent);
    POINT origin = {0, 0};
    ClientToScreen(GetParent(hwnd), &origin);
    OffsetRect(&parent, origin.x, origin.y);
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -parent.left, -parent.top);
    return r;
}

void InvalidateVisibleChildren(HWND hwnd) {
    for (HWND c = FindWindowExA(hwnd, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(hwnd, c, nullptr, nullptr))
        if (IsWindowVisible(c)) InvalidateRect(c, nullptr, TRUE);
}

HDC ExcludeVisibleChildren(HWND window, HDC windowDc) {
    RECT frame;
    GetWindowRect(window, &frame);
    for (HWND c = FindWindowExA(window, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(window, c, nullptr, nullptr)) {
        if (!IsWindowVisible(c)) continue;
        RECT r;
        GetWindowRect(c, &r);
        ExcludeClipRect(windowDc, r.left - frame.left, r.top - frame.top, r.right - frame.left,
                        r.bottom - frame.top);
    }
    return windowDc;
}

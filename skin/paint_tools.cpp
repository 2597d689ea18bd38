#include "paint_tools.h"

#include <cmath>
#include <climits>

#include "drawing.h"

SIZE WindowExtent(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

GdipGraphics GraphicsOnDc(HDC dc) {
    GdipGraphics g;
    if (dc) gp::GdipCreateFromHDC(dc, g.out());
    return g;
}

GdipPath NewPath() {
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    return path;
}

GdipPath RoundedRectPath(float x, float y, float width, float height, int d) {
    GdipPath path = NewPath();
    if (path) AddRoundedRect(path.get(), x, y, width, height, d);
    return path;
}

GdipPath RectanglePath(float x, float y, float width, float height) {
    GdipPath path = NewPath();
    if (path) gp::GdipAddPathRectangle(path.get(), x, y, width, height);
    return path;
}

GdipPen NewPen(uint32_t argb, float width) {
    GdipPen pen;
    gp::GdipCreatePen1(argb, width, Gdiplus::UnitWorld, pen.out());
    return pen;
}

GdipSolidBrush NewSolidBrush(uint32_t argb) {
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(argb, brush.out());
    return brush;
}

GdipLineBrush NewLineBrush(float x1, float y1, float x2, float y2, uint32_t from, uint32_t to) {
    GdipLineBrush brush;
    if (x1 == x2 && y1 == y2) return brush;
    const Gdiplus::PointF start(x1, y1), end(x2, y2);
    gp::GdipCreateLineBrush(&start, &end, from, to, Gdiplus::WrapModeTile, brush.out());
    return brush;
}

void FillPath(GpGraphics* g, GpBrush* brush, GpPath* path) {
    if (g && brush && path) gp::GdipFillPath(g, brush, path);
}

void StrokePath(GpGraphics* g, GpPen* pen, GpPath* path) {
    if (g && pen && path) gp::GdipDrawPath(g, pen, path);
}

void CopyCanvasToWindow(HWND hwnd, HDC canvas, int width, int height) {
    WindowDc dc(hwnd, WindowDc::kWholeWindow);
    if (dc.get()) BitBlt(dc.get(), 0, 0, width, height, canvas, 0, 0, SRCCOPY);
}

int TruncateOr(double value, int fallback) {
    if (!std::isfinite(value) || value >= static_cast<double>(INT_MAX) ||
        value <= static_cast<double>(INT_MIN))
        return fallback;
    return static_cast<int>(value);
}

#include "paint_tools.h"

#include <cmath>
#include <climits>

#include "drawing.h"
#include "gbk_text.h"
#include "geometry.h"

uint32_t ThemeArgb(int alpha) {
    return ColorRefToArgb(g_skinSettings.themeColour, alpha);
}

GdipGraphics GraphicsOn(HDC dc) {
    GdipGraphics g;
    if (dc) gp::GdipCreateFromHDC(dc, g.out());
    return g;
}

void FillRectArgb(GpGraphics* g, uint32_t argb, float x, float y, float width, float height) {
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(argb, brush.out());
    if (g && brush) gp::GdipFillRectangle(g, brush.get(), x, y, width, height);
}

void FillPathArgb(GpGraphics* g, GpPath* path, uint32_t argb) {
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(argb, brush.out());
    if (g && path && brush) gp::GdipFillPath(g, brush.get(), path);
}

void DrawPathArgb(GpGraphics* g, GpPath* path, uint32_t argb, float penWidth) {
    GdipPen pen;
    gp::GdipCreatePen1(argb, penWidth, Gdiplus::UnitWorld, pen.out());
    if (g && path && pen) gp::GdipDrawPath(g, pen.get(), path);
}

void DrawRectArgb(GpGraphics* g, uint32_t argb, float penWidth, float x, float y, float width,
                  float height) {
    GdipPen pen;
    gp::GdipCreatePen1(argb, penWidth, Gdiplus::UnitWorld, pen.out());
    if (g && pen) gp::GdipDrawRectangle(g, pen.get(), x, y, width, height);
}

void FillPathGradient(GpGraphics* g, GpPath* path, float x1, float y1, float x2, float y2,
                      uint32_t from, uint32_t to) {
    const Gdiplus::PointF p1(x1, y1), p2(x2, y2);
    GdipLineBrush brush;
    gp::GdipCreateLineBrush(&p1, &p2, from, to, Gdiplus::WrapModeTile, brush.out());
    if (g && path && brush) gp::GdipFillPath(g, brush.get(), path);
}

void ClearRectArgb(GpGraphics* g, uint32_t argb, float x, float y, float width, float height) {
    if (!g) return;
    gp::GdipSetClipRect(g, x, y, width, height, Gdiplus::CombineModeReplace);
    gp::GdipGraphicsClear(g, argb);
    gp::GdipResetClip(g);
}

namespace {

// The picture at its pixel size, whatever resolution the file claims, placed with the point
// `anchor` of the way across and down it at (x, y).
void DrawAtPixelSize(GpGraphics* g, const ImageBytes& bytes, float x, float y, float anchor) {
    if (!g) return;
    WithCachedImage(bytes, [&](GpImage* image) {
        if (!image) return;
        const PixelSize size = ImagePixelSize(image);
        const float w = static_cast<float>(size.width), h = static_cast<float>(size.height);
        gp::GdipDrawImageRect(g, image, x - w * anchor, y - h * anchor, w, h);
    });
}

}  // namespace

void DrawImageAt(GpGraphics* g, const ImageBytes& bytes, float x, float y) {
    DrawAtPixelSize(g, bytes, x, y, 0);
}

void DrawImageCentredOn(GpGraphics* g, const ImageBytes& bytes, float x, float y) {
    DrawAtPixelSize(g, bytes, x, y, 0.5f);
}

void DrawTextArgb(GpGraphics* g, const std::string& text, const TextLayout& layout, uint32_t argb,
                  float x, float y, float width, float height) {
    if (!g || !layout.face || !*layout.face) return;
    GdipFontFamily family;
    gp::GdipCreateFontFamilyFromName(WideFromGbk(layout.face).c_str(), nullptr, family.out());
    if (!family) return;
    GdipFont font;
    gp::GdipCreateFont(family.get(), layout.emSize, layout.style, Gdiplus::UnitPixel, font.out());
    GdipStringFormat format;
    if (!layout.defaultFormat) {
        gp::GdipCreateStringFormat(0, LANG_NEUTRAL, format.out());
        if (!format) return;
        gp::GdipSetStringFormatAlign(format.get(), layout.align);
        gp::GdipSetStringFormatLineAlign(format.get(), layout.lineAlign);
    }
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(argb, brush.out());
    if (!font || !brush) return;
    const std::wstring wide = WideFromGbk(text);
    const Gdiplus::RectF box(x, y, width, height);
    gp::GdipDrawString(g, wide.c_str(), -1, font.get(), &box, format.get(), brush.get());
}

bool ClassNameIs(HWND hwnd, const char* name) {
    char buffer[256] = {};
    GetClassNameA(hwnd, buffer, 255);
    return lstrcmpA(buffer, name) == 0;
}

LONG_PTR StyleOf(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_STYLE);
}

LONG_PTR ExStyleOf(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
}

RECT WindowRectAtOrigin(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    return r;
}

RECT ClientRectOf(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return r;
}

void DeleteColourAnswer(HWND child) {
    // DeleteObject refuses stock objects, so the hollow brush can sit here too.
    if (HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(SkinProp(child, kPropKjBrush)))
        DeleteObject(brush);
    if (HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SkinProp(child, kPropKjBrushBitmap)))
        DeleteObject(bitmap);
    SetSkinProp(child, kPropKjBrush, 0);
    SetSkinProp(child, kPropKjBrushBitmap, 0);
}

SIZE WindowExtent(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
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

void DrawBarTrough(GpGraphics* g, float w, float h, bool vertical, uint32_t outline,
                   int troughDiameter) {
    constexpr uint32_t kTroughStart = ColorRefToArgb(0x00FFFFFF, 160);
    constexpr uint32_t kTroughEnd = ColorRefToArgb(0x00000000, 30);
    GdipPath frame = RoundedRectPath(0, 0, w - 1, h - 1, 5);
    GdipPen pen = NewPen(outline);
    StrokePath(g, pen.get(), frame.get());
    GdipPath trough = RoundedRectPath(1, 1, w - 2, h - 2, troughDiameter);
    GdipLineBrush brush = vertical ? NewLineBrush(0, 0, w - 1, 0, kTroughStart, kTroughEnd)
                                   : NewLineBrush(0, 0, 0, h - 1, kTroughStart, kTroughEnd);
    FillPath(g, brush.get(), trough.get());
}

int TruncateOr(double value, int fallback) {
    if (!std::isfinite(value) || value >= static_cast<double>(INT_MAX) ||
        value <= static_cast<double>(INT_MIN))
        return fallback;
    return static_cast<int>(value);
}

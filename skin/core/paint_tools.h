// Small steps every control painter repeats: GDI+ fills and strokes in ARGB colours, images at
// their natural size, text, and the window facts the painters read (class, text, sizes).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gdi_handles.h"
#include "images.h"
#include "registry.h"

// ---- GDI+ -------------------------------------------------------------------------------------

GdipGraphics GraphicsOn(HDC dc);
// The skin's theme colour with the given alpha.
uint32_t ThemeArgb(int alpha);
void FillRectArgb(GpGraphics* g, uint32_t argb, float x, float y, float width, float height);
void FillPathArgb(GpGraphics* g, GpPath* path, uint32_t argb);
void DrawPathArgb(GpGraphics* g, GpPath* path, uint32_t argb, float penWidth = 1.0f);
void DrawRectArgb(GpGraphics* g, uint32_t argb, float penWidth, float x, float y, float width,
                  float height);
// A linear gradient between two points (tile wrap mode) filling `path`.
void FillPathGradient(GpGraphics* g, GpPath* path, float x1, float y1, float x2, float y2,
                      uint32_t from, uint32_t to);
// Clears (x, y, width, height) to `argb` and nothing else; the clip is reset afterwards.
void ClearRectArgb(GpGraphics* g, uint32_t argb, float x, float y, float width, float height);
// Draws the image unscaled with its top-left corner at (x, y), or with its centre there.
void DrawImageAt(GpGraphics* g, const ImageBytes& bytes, float x, float y);
inline void DrawImageAt(GpGraphics* g, const std::string& bytes, float x, float y) {
    DrawImageAt(g, ImageBytes{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()},
                x, y);
}
void DrawImageCentredOn(GpGraphics* g, const ImageBytes& bytes, float x, float y);

struct TextLayout {
    const char* face;
    float emSize;  // pixels
    int style;     // GDI+ style bits
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
    bool defaultFormat = false;  // no string format object at all
};
// Draws `text` (GBK) in `argb`; nothing when the face names no font family.
void DrawTextArgb(GpGraphics* g, const std::string& text, const TextLayout& layout, uint32_t argb,
                  float x, float y, float width, float height);

// ---- Windows ----------------------------------------------------------------------------------

bool ClassNameIs(HWND hwnd, const char* name);
LONG_PTR StyleOf(HWND hwnd);
LONG_PTR ExStyleOf(HWND hwnd);
// The window rectangle moved to the origin.
RECT WindowRectAtOrigin(HWND hwnd);
RECT ClientRectOf(HWND hwnd);
// floor(n / 2), also for negative n.
inline int FloorDiv2(int n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}
inline int Width(const RECT& r) {
    return r.right - r.left;
}
inline int Height(const RECT& r) {
    return r.bottom - r.top;
}
// The text colour a control asks for (Kj_Ztys), 0 (black) when none was set.
inline COLORREF TextColourOf(HWND hwnd) {
    return static_cast<COLORREF>(SkinProp(hwnd, kPropKjTextColour));
}

// The window record and class-table entry a subclassed control names with Hw_FuID and Hw_lbID;
// both null when either is gone (the tables are released at exit before the last windows).
template <typename Record>
struct ControlRef {
    WindowSkinRecord* window = nullptr;
    Record* entry = nullptr;
    int windowIndex = 0;
    int index = 0;
    explicit operator bool() const { return entry != nullptr; }
};
template <typename Record>
ControlRef<Record> FindControl(HWND hwnd, SkinList<Record> WindowSkinRecord::*table) {
    ControlRef<Record> ref;
    ref.windowIndex = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    ref.index = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    ref.window = WindowRecord(ref.windowIndex);
    Record* entry = ref.window ? (ref.window->*table).At(ref.index) : nullptr;
    if (entry && entry->hwnd == hwnd) ref.entry = entry;
    if (!ref.entry) ref.window = nullptr;
    return ref;
}

// Entry `index` of a class table of window `windowIndex`; null when either is missing.
template <typename Record>
Record* TableEntry(int windowIndex, int index, SkinList<Record> WindowSkinRecord::*table) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    return record ? (record->*table).At(index) : nullptr;
}

// The paint messages of a control the engine draws whole in place of the control: a move
// repaints and still goes on to the control, the background is never erased, and a paint draws
// and validates without the control's own painting. True when `msg` is answered here, with its
// result in `*result`.
template <typename Paint>
bool AnswerOwnPaint(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, Paint paint, LRESULT* result) {
    switch (msg) {
        case WM_MOVE:
            paint();
            return false;
        case WM_ERASEBKGND:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            *result = 1;
            return true;
        case WM_PAINT: {
            {
                PaintScope scope(hwnd);
                paint();
            }
            *result = DefWindowProcW(hwnd, msg, wp, lp);
            return true;
        }
        default:
            return false;
    }
}

// Deletes the brush and bitmap a colour answer left on `child` and forgets them.
void DeleteColourAnswer(HWND child);

// ---- Paths, pens, brushes and the final copy ----------------------------------------------------

// Width and height of the window rectangle.
SIZE WindowExtent(HWND hwnd);

GdipPath NewPath();
// A closed figure of AddRoundedRect.
GdipPath RoundedRectPath(float x, float y, float width, float height, int d);
GdipPath RectanglePath(float x, float y, float width, float height);
GdipPen NewPen(uint32_t argb, float width = 1.0f);
GdipSolidBrush NewSolidBrush(uint32_t argb);
// Linear gradient, wrap mode tile, from `from` at (x1, y1) to `to` at (x2, y2). Empty when the two
// points coincide (the system refuses such a line).
GdipLineBrush NewLineBrush(float x1, float y1, float x2, float y2, uint32_t from, uint32_t to);

// Fills and strokes that do nothing when an object could not be made.
void FillPath(GpGraphics* g, GpBrush* brush, GpPath* path);
void StrokePath(GpGraphics* g, GpPen* pen, GpPath* path);

// The frame of progress and track bars: a thin rounded outline in `outline` and inside it a
// translucent rounded trough of corner diameter `troughDiameter`, shaded across the bar.
void DrawBarTrough(GpGraphics* g, float w, float h, bool vertical, uint32_t outline,
                   int troughDiameter);

// Copies a width x height canvas onto the whole window of `hwnd`, at its top-left corner.
void CopyCanvasToWindow(HWND hwnd, HDC canvas, int width, int height);

// Truncation toward zero of a value that may be infinite or out of range (a zero span divides):
// such values give `fallback`.
int TruncateOr(double value, int fallback);

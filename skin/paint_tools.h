// The GDI+ objects a painter makes for one paint, and the copy of its finished canvas to the
// screen that every painter ends with.
#pragma once

#include <cstdint>

#include "gdi_handles.h"

// Width and height of the window rectangle.
SIZE WindowExtent(HWND hwnd);

GdipGraphics GraphicsOnDc(HDC dc);
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

// Copies a width x height canvas onto the whole window of `hwnd`, at its top-left corner.
void CopyCanvasToWindow(HWND hwnd, HDC canvas, int width, int height);

// Truncation toward zero of a value that may be infinite or out of range (a zero span divides):
// such values give `fallback`.
int TruncateOr(double value, int fallback);

// GDI+ helpers the painters share: rounded-rectangle paths and text with a soft glow.
#pragma once

#include <string>

#include "gdi_handles.h"

// GBK (the ANSI code page) to UTF-16 for GDI+.
std::wstring WideFromAnsi(const char* text);

// A 32-bit ARGB GDI+ bitmap, every pixel transparent black.
GdipBitmap NewArgbBitmap(int width, int height);

// Four 90-degree arcs and a closed figure; d is the corner diameter, taken within 1 .. 100.
void AddRoundedRect(GpPath* path, float x, float y, float width, float height, int d);

struct TextStyle {
    const char* face = "宋体";
    int style = 0;      // GDI+ font style bits
    float emSize = 12;  // pixels under the default transform
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
};

// Text in `textColour` over a halo of `glowColour` made by shrinking the text by `blur` and
// scaling it back up. Sets anti-aliased smoothing on `target`.
void DrawGlowText(GpGraphics* target, const char* text, float x, float y, float width, float height,
                  COLORREF textColour, COLORREF glowColour, int blur,
                  const TextStyle& style = TextStyle());

// GDI+ helpers the painters share: rounded-rectangle paths and text with a soft glow.
#pragma once

#include <string>

#include "gdi_handles.h"

// A 32-bit ARGB GDI+ bitmap, every pixel transparent black.
GdipBitmap NewArgbBitmap(int width, int height);

// Four 90-degree arcs and a closed figure; d is the corner diameter, taken within 1 .. 100.
void AddRoundedRect(GpPath* path, float x, float y, float width, float height, int d);

// Texts and face names are GBK; GDI+ gets them as UTF-16 (gbk_text.h).
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
void DrawGlowText(GpGraphics* target, const std::wstring& text, float x, float y, float width,
                  float height, COLORREF textColour, COLORREF glowColour, int blur,
                  const TextStyle& style = TextStyle());

// The lines GDI+ makes of `text` in `style`'s font within a layout box `width` wide, joined with
// '\n' (the text's own line breaks stay, "\r\n" as '\n'). Drawn in any box at least as wide, the
// text keeps exactly these lines, whatever else is drawn from the same string.
std::wstring WrapText(const std::wstring& text, float width, const TextStyle& style);
// The height of `text`'s lines in `style`'s font, laid out without a width limit.
float TextHeight(const std::wstring& text, const TextStyle& style);

// Text in `textColour` over a blurred halo of `haloColour`, drawn from the text's outline: the
// outline is shrunk by `blur` and scaled back up on a bitmap of the layout box, which is then laid
// on `target` at (x, y). Caption texts use it.
void DrawHaloText(GpGraphics* target, const char* text, float x, float y, float width, float height,
                  COLORREF textColour, COLORREF haloColour, int blur,
                  const TextStyle& style = TextStyle());

// A brush whose colour runs from `top` at y to `bottom` at y + height (ARGB values).
GdipLineBrush VerticalGradient(float x, float y, float height, uint32_t top, uint32_t bottom);

// Text drawn four times in `outlineColour` at alpha 150, shifted one pixel left, right, up and
// down, then once in `colour` on top: a legible title over any picture.
void DrawOutlinedText(GpGraphics* target, const char* text, float x, float y, float width,
                      float height, COLORREF colour, COLORREF outlineColour,
                      const TextStyle& style = TextStyle());

// An open figure up the left side, over the top with rounded corners of size r (left and right,
// or the right one only) and down the right side; filling closes it along the bottom.
void AddTopRoundedRect(GpPath* path, float x, float y, float w, float h, float r);
void AddTopRightRoundedRect(GpPath* path, float x, float y, float w, float h, float r);

// Colour and shape arithmetic of the engine, free of Win32 so it can be checked on its own.
#pragma once

#include <array>
#include <cstdint>

// GDI+ ARGB 0xAARRGGBB from a GDI COLORREF 0x00BBGGRR; the COLORREF's high byte is ignored and
// only the low byte of `alpha` counts.
constexpr uint32_t ColorRefToArgb(uint32_t colorRef, int alpha = 255) {
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | ((colorRef & 0xFF) << 16) |
           (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}

// Corner diameters outside 1 .. 100 are taken as the nearest end.
constexpr int ClampCornerDiameter(int d) {
    return d < 1 ? 1 : d > 100 ? 100 : d;
}

struct ArcBox {
    float x, y, width, height;
    float startAngle;  // every arc sweeps 90 degrees
};

// The four corner arcs of a rounded rectangle, in drawing order: top right, bottom right, bottom
// left, top left. The bottom-right box is deliberately d + 1 square and starts one pixel further up
// and left than a box of size d would: every painter's outline relies on that corner.
std::array<ArcBox, 4> RoundedRectArcs(float x, float y, float width, float height, int d);

struct PointF32 {
    float x, y;
};

// Where the passes of the glow text go for a layout box of width x height at (x, y) and blur b.
struct GlowLayout {
    int width, height;               // the box, truncated: size of the full-size passes
    float textX, textY;              // pass A: the text inside the first bitmap
    float textWidth, textHeight;     //   and the size of its layout box
    int smallWidth, smallHeight;     // pass B: the shrunken bitmap (at least 1 x 1)
    std::array<PointF32, 4> extras;  // pass C: the four faint copies of the text
    float haloX, haloY;              // where the blurred bitmap lands on the target
};

// A blur below 1 is taken as 1 (it divides the bitmap size).
GlowLayout ComputeGlowLayout(float x, float y, float width, float height, int blur);

// How a message box makes room for a text that reaches `needed` pixels down its static of
// `height`: the static grows by `grow`, so does the box, and what lies below the static moves down
// by as much. The box moves up as far as it must to stay above the work area's bottom, but never
// above its top, and grows no taller than the work area.
struct TextRoom {
    int grow;
    int boxTop;
};
TextRoom RoomForText(int height, int needed, int boxTop, int boxHeight, int workTop,
                     int workBottom);

// One pixel of a drawing made on a key-filled surface, laid over the backdrop pixel `below`
// (0x00RRGGBB values). The key colour leaves `below`. A pixel whose every channel lies between the
// key's and `ink`'s is the anti-aliased edge of something drawn in `ink`: each channel is laid over
// `below` with that channel's own coverage (ClearType blends channels apart), so no channel keeps
// the key's tint; a channel in which ink and key are alike takes the others' coverage. Any other
// pixel, and one whose channels' coverages lie too far apart, is kept.
uint32_t KeyOverPixel(uint32_t pixel, uint32_t below, uint32_t key, uint32_t ink);

// The sizing edge of a resizable w x h frame under the point (x, y), numbered as the system's
// WMSZ_ codes: 1 left, 2 right, 3 top, 4 top left, 5 top right, 6 bottom, 7 bottom left,
// 8 bottom right; 0 inside, more than `zone` pixels from every edge.
int SizingEdge(int w, int h, int x, int y, int zone);

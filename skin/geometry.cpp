#include "geometry.h"

#include <algorithm>
#include <cmath>

std::array<ArcBox, 4> RoundedRectArcs(float x, float y, float width, float height, int d) {
    const float s = static_cast<float>(ClampCornerDiameter(d));
    return {{
        {x + width - s, y, s, s, 270.0f},
        {x + width - s - 1, y + height - s - 1, s + 1, s + 1, 0.0f},
        {x, y + height - s, s, s, 90.0f},
        {x, y, s, s, 180.0f},
    }};
}

GlowLayout ComputeGlowLayout(float x, float y, float width, float height, int blur) {
    const int b = std::max(blur, 1);
    const float half = b / 2.0f;
    const float low = 0.7f * b;
    GlowLayout g;
    g.width = static_cast<int>(width);
    g.height = static_cast<int>(height);
    g.textX = half;
    g.textY = half;
    g.textWidth = g.width + half;
    g.textHeight = g.height + half;
    g.smallWidth = std::max(g.width / b, 1);
    g.smallHeight = std::max(g.height / b, 1);
    g.extras = {{{half - 1, low}, {half + 1, low}, {half, low - 1}, {half, low + 1}}};
    g.haloX = x - half;
    g.haloY = y - 0.6f * b;
    return g;
}

TextRoom RoomForText(int height, int needed, int boxTop, int boxHeight, int workTop,
                     int workBottom) {
    TextRoom room{std::max(needed - height, 0), boxTop};
    // Never taller than the work area: the box stays whole on the screen, and only a text longer
    // than the screen is cut at its bottom.
    room.grow = std::min(room.grow, std::max(workBottom - workTop - boxHeight, 0));
    const int overhang = boxTop + boxHeight + room.grow - workBottom;
    if (overhang > 0) room.boxTop = std::max(boxTop - overhang, workTop);
    return room;
}

namespace {

int Channel(uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

}  // namespace

uint32_t KeyOverPixel(uint32_t pixel, uint32_t below, uint32_t key, uint32_t ink) {
    pixel &= 0xFFFFFF, below &= 0xFFFFFF, key &= 0xFFFFFF, ink &= 0xFFFFFF;
    if (pixel == key) return below;
    if (ink == key) return pixel;
    // Coverage: where the pixel lies along the line from the key to the ink.
    constexpr int kShifts[3] = {16, 8, 0};
    double along = 0, length = 0;
    for (int s : kShifts) {
        const double d = Channel(ink, s) - Channel(key, s);
        along += (Channel(pixel, s) - Channel(key, s)) * d;
        length += d * d;
    }
    const double a = std::min(std::max(along / length, 0.0), 1.0);
    constexpr double kOffLine = 24;  // levels per channel a blend may stray from the line
    for (int s : kShifts) {
        const double onLine = Channel(key, s) + a * (Channel(ink, s) - Channel(key, s));
        if (std::abs(Channel(pixel, s) - onLine) > kOffLine) return pixel;
    }
    // The key's share of the pixel becomes the backdrop's.
    uint32_t out = 0;
    for (int s : kShifts) {
        const double c = Channel(pixel, s) + (1 - a) * (Channel(below, s) - Channel(key, s));
        out |= static_cast<uint32_t>(std::lround(std::min(std::max(c, 0.0), 255.0))) << s;
    }
    return out;
}

int SizingEdge(int w, int h, int x, int y, int zone) {
    const bool left = x < zone, right = x >= w - zone, top = y < zone, bottom = y >= h - zone;
    if (top) return left ? 4 : right ? 5 : 3;
    if (bottom) return left ? 7 : right ? 8 : 6;
    return left ? 1 : right ? 2 : 0;
}

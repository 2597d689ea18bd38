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
    // ClearType blends each channel by its own coverage, grey-scale smoothing all three by one: the
    // coverage is read channel by channel wherever ink and key lie far enough apart to tell.
    constexpr int kShifts[3] = {16, 8, 0};
    constexpr int kSpan = 32;        // levels between key and ink a channel needs to tell coverage
    constexpr int kSlack = 8;        // levels a blend may stray outside the range key .. ink
    constexpr double kSpread = 0.8;  // coverages of one pixel further apart are no text edge
    double coverage[3] = {};
    bool told[3] = {};
    double sum = 0, low = 1, high = 0;
    int count = 0;
    for (int k = 0; k < 3; k++) {
        const int p = Channel(pixel, kShifts[k]), from = Channel(key, kShifts[k]);
        const int to = Channel(ink, kShifts[k]);
        if (p < std::min(from, to) - kSlack || p > std::max(from, to) + kSlack) return pixel;
        if (std::abs(to - from) < kSpan) continue;
        coverage[k] = std::min(std::max(double(p - from) / (to - from), 0.0), 1.0);
        told[k] = true;
        sum += coverage[k], low = std::min(low, coverage[k]), high = std::max(high, coverage[k]);
        count++;
    }
    // Far-apart coverages are a colour of its own (pure red or blue beside black ink), not an edge.
    if (count == 0 || high - low > kSpread) return pixel;
    // A channel in which ink and key are alike carries no coverage: it takes the others' mean,
    // which is exact for grey-scale text and cannot bring back the key's tint either way.
    uint32_t out = 0;
    for (int k = 0; k < 3; k++) {
        const double a = told[k] ? coverage[k] : sum / count;
        const int s = kShifts[k];
        // The ink over the backdrop with that coverage: the key's share becomes the backdrop's.
        const double c = Channel(below, s) + a * (Channel(ink, s) - Channel(below, s));
        out |= static_cast<uint32_t>(std::lround(c)) << s;
    }
    return out;
}

int SizingEdge(int w, int h, int x, int y, int zone) {
    const bool left = x < zone, right = x >= w - zone, top = y < zone, bottom = y >= h - zone;
    if (top) return left ? 4 : right ? 5 : 3;
    if (bottom) return left ? 7 : right ? 8 : 6;
    return left ? 1 : right ? 2 : 0;
}

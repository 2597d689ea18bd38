#include "geometry.h"

#include <algorithm>

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

int SizingEdge(int w, int h, int x, int y, int zone) {
    const bool left = x < zone, right = x >= w - zone, top = y < zone, bottom = y >= h - zone;
    if (top) return left ? 4 : right ? 5 : 3;
    if (bottom) return left ? 7 : right ? 8 : 6;
    return left ? 1 : right ? 2 : 0;
}

#include "drawing.h"

#include <algorithm>

#include "gbk_text.h"
#include "geometry.h"
#include "text_layout.h"

using Gdiplus::RectF;

GdipBitmap NewArgbBitmap(int width, int height) {
    GdipBitmap bitmap;
    gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, bitmap.out());
    return bitmap;
}

void AddRoundedRect(GpPath* path, float x, float y, float width, float height, int d) {
    for (const ArcBox& arc : RoundedRectArcs(x, y, width, height, d))
        gp::GdipAddPathArc(path, arc.x, arc.y, arc.width, arc.height, arc.startAngle, 90.0f);
    gp::GdipClosePathFigure(path);
}

namespace {

struct TextTools {
    GdipFontFamily family;
    GdipFont font;
    GdipStringFormat format;
    bool ok() const { return font && format; }
};

void MakeTextTools(const TextStyle& style, TextTools* tools) {
    std::wstring face = WideFromGbk(style.face && *style.face ? style.face : "宋体");
    gp::GdipCreateFontFamilyFromName(face.c_str(), nullptr, tools->family.out());
    if (tools->family)
        gp::GdipCreateFont(tools->family.get(), style.emSize, style.style, Gdiplus::UnitWorld,
                           tools->font.out());
    gp::GdipCreateStringFormat(0, LANG_NEUTRAL, tools->format.out());
    if (tools->format) {
        gp::GdipSetStringFormatAlign(tools->format.get(), style.align);
        gp::GdipSetStringFormatLineAlign(tools->format.get(), style.lineAlign);
    }
}

void DrawTextLine(GpGraphics* g, const std::wstring& text, const TextTools& tools, uint32_t argb,
                  const RectF& box) {
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(argb, brush.out());
    gp::GdipDrawString(g, text.c_str(), -1, tools.font.get(), &box, tools.format.get(),
                       brush.get());
}

GdipGraphics GraphicsOn(GpBitmap* bitmap) {
    GdipGraphics g;
    if (bitmap) gp::GdipGetImageGraphicsContext(bitmap, g.out());
    return g;
}

void DrawScaled(GpGraphics* g, GpBitmap* source, int sourceWidth, int sourceHeight, int width,
                int height) {
    gp::GdipDrawImageRectRect(g, source, 0, 0, static_cast<float>(width),
                              static_cast<float>(height), 0, 0, static_cast<float>(sourceWidth),
                              static_cast<float>(sourceHeight), Gdiplus::UnitPixel, nullptr,
                              nullptr, nullptr);
}

}  // namespace

void DrawGlowText(GpGraphics* target, const char* text, float x, float y, float width, float height,
                  COLORREF textColour, COLORREF glowColour, int blur, const TextStyle& style) {
    DrawGlowText(target, WideFromGbk(text ? text : ""), x, y, width, height, textColour, glowColour,
                 blur, style);
}

void DrawGlowText(GpGraphics* target, const std::wstring& wide, float x, float y, float width,
                  float height, COLORREF textColour, COLORREF glowColour, int blur,
                  const TextStyle& style) {
    const GlowLayout L = ComputeGlowLayout(x, y, width, height, blur);
    if (!target || L.width <= 0 || L.height <= 0) return;
    TextTools tools;
    MakeTextTools(style, &tools);
    if (!tools.ok()) return;
    const float w = static_cast<float>(L.width);
    const float h = static_cast<float>(L.height);

    // A: the text in the glow colour.
    GdipBitmap a = NewArgbBitmap(L.width, L.height);
    if (GdipGraphics g = GraphicsOn(a.get())) {
        gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
        gp::GdipSetCompositingQuality(g.get(), Gdiplus::CompositingQualityGammaCorrected);
        gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipSetPixelOffsetMode(g.get(), Gdiplus::PixelOffsetModeNone);
        DrawTextLine(g.get(), wide, tools, ColorRefToArgb(glowColour),
                     RectF(L.textX, L.textY, L.textWidth, L.textHeight));
    }
    // B: shrunk by the blur factor.
    GdipBitmap b = NewArgbBitmap(L.smallWidth, L.smallHeight);
    if (GdipGraphics g = GraphicsOn(b.get())) {
        gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipSetCompositingQuality(g.get(), Gdiplus::CompositingQualityHighQuality);
        gp::GdipSetPixelOffsetMode(g.get(), Gdiplus::PixelOffsetModeNone);
        DrawScaled(g.get(), a.get(), L.width, L.height, L.smallWidth, L.smallHeight);
    }
    a.reset();
    // C: scaled back up, which blurs it, and four faint copies of the text.
    GdipBitmap c = NewArgbBitmap(L.width, L.height);
    if (GdipGraphics g = GraphicsOn(c.get())) {
        gp::GdipSetCompositingQuality(g.get(), Gdiplus::CompositingQualityGammaCorrected);
        gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
        DrawScaled(g.get(), b.get(), L.smallWidth, L.smallHeight, L.width, L.height);
        b.reset();
        for (const PointF32& p : L.extras)
            DrawTextLine(g.get(), wide, tools, ColorRefToArgb(glowColour, 60),
                         RectF(p.x, p.y, w, h));
    }

    gp::GdipSetSmoothingMode(target, Gdiplus::SmoothingModeAntiAlias);
    if (c) gp::GdipDrawImageRect(target, c.get(), L.haloX, L.haloY, w, h);
    DrawTextLine(target, wide, tools, ColorRefToArgb(textColour), RectF(x, y, w, h));
}

namespace {

// GDI+ measures text on a graphics object; a one-pixel bitmap's will do.
struct Measurer {
    GdipBitmap bitmap = NewArgbBitmap(1, 1);
    GdipGraphics g = GraphicsOn(bitmap.get());
    TextTools tools;
    explicit Measurer(const TextStyle& style) { MakeTextTools(style, &tools); }
    bool ok() const { return g && tools.ok(); }

    Gdiplus::RectF Measure(const std::wstring& text, const RectF& layout, INT* fitted = nullptr) {
        RectF box(0, 0, 0, 0);
        INT lines = 0, codepoints = 0;
        gp::GdipMeasureString(g.get(), text.c_str(), static_cast<INT>(text.size()),
                              tools.font.get(), &layout, tools.format.get(), &box, &codepoints,
                              &lines);
        if (fitted) *fitted = codepoints;
        return box;
    }
};

}  // namespace

std::wstring WrapText(const std::wstring& text, float width, const TextStyle& style) {
    Measurer m(style);
    if (!m.ok()) return text;
    // Whole lines only, and room for one: what fits of the rest is the next line.
    gp::GdipSetStringFormatFlags(m.tools.format.get(), Gdiplus::StringFormatFlagsLineLimit);
    float lineHeight = 0;
    gp::GdipGetFontHeight(m.tools.font.get(), m.g.get(), &lineHeight);
    const RectF oneLine(0, 0, width, lineHeight * 1.5f);
    std::wstring out;
    size_t start = 0;
    for (;;) {
        const size_t newline = text.find(L'\n', start);
        std::wstring rest = text.substr(
            start, newline == std::wstring::npos ? std::wstring::npos : newline - start);
        if (!rest.empty() && rest.back() == L'\r') rest.pop_back();
        do {
            INT fitted = 0;
            m.Measure(rest, oneLine, &fitted);
            // A character wider than the box still makes a line of its own.
            size_t take = std::min(rest.size(), static_cast<size_t>(std::max(fitted, 1)));
            // Closing punctuation starts no line: the character before it goes down with it
            // (the line may not grow past the box, where it would be cut off).
            while (take > 1 && take < rest.size() && IsClosingPunctuation(rest[take]) &&
                   rest[take - 1] != L' ')
                --take;
            std::wstring line = rest.substr(0, take);
            rest.erase(0, take);
            // The spaces GDI+ broke at end the line; they start none.
            while (!line.empty() && line.back() == L' ' && !rest.empty()) line.pop_back();
            while (!rest.empty() && rest.front() == L' ') rest.erase(0, 1);
            out += line;
            if (!rest.empty()) out += L'\n';
        } while (!rest.empty());
        if (newline == std::wstring::npos) break;
        out += L'\n';
        start = newline + 1;
    }
    return out;
}

float TextHeight(const std::wstring& text, const TextStyle& style) {
    Measurer m(style);
    if (!m.ok() || text.empty()) return 0;
    const RectF unbounded(0, 0, 1e6f, 1e6f);
    return m.Measure(text, unbounded).Height;
}

namespace {

// The text's outline in the layout box, as a path.
GdipPath TextPath(const std::wstring& text, const TextTools& tools, const TextStyle& style,
                  const RectF& box) {
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    if (path)
        gp::GdipAddPathString(path.get(), text.c_str(), -1, tools.family.get(), style.style,
                              static_cast<float>(static_cast<int>(style.emSize)), &box,
                              tools.format.get());
    return path;
}

void StrokeAndFill(GpGraphics* g, GpPath* path, uint32_t strokeArgb, float strokeWidth,
                   uint32_t fillArgb, int fills) {
    GdipPen pen;
    gp::GdipCreatePen1(strokeArgb, strokeWidth, Gdiplus::UnitPixel, pen.out());
    if (pen) gp::GdipDrawPath(g, pen.get(), path);
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(fillArgb, brush.out());
    for (int n = 0; brush && n < fills; n++) gp::GdipFillPath(g, brush.get(), path);
}

}  // namespace

void DrawHaloText(GpGraphics* target, const char* text, float x, float y, float width, float height,
                  COLORREF textColour, COLORREF haloColour, int blur, const TextStyle& style) {
    const int k = static_cast<int>(width), m = static_cast<int>(height);
    const int b = std::max(blur, 1);
    if (!target || !text || k <= 0 || m <= 0) return;
    TextTools tools;
    MakeTextTools(style, &tools);
    if (!tools.family || !tools.format) return;
    const std::wstring wide = WideFromGbk(text ? text : "");
    const RectF box(0, b / 2.0f, static_cast<float>(k), static_cast<float>(m));

    GdipBitmap a = NewArgbBitmap(k, m);
    GdipGraphics g = GraphicsOn(a.get());
    if (!g) return;
    gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetCompositingQuality(g.get(), Gdiplus::CompositingQualityHighQuality);
    gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetPixelOffsetMode(g.get(), Gdiplus::PixelOffsetModeNone);
    if (GdipPath halo = TextPath(wide, tools, style, box))
        StrokeAndFill(g.get(), halo.get(), ColorRefToArgb(haloColour), 1.0f,
                      ColorRefToArgb(haloColour), 1);

    // Shrunk and scaled back up, the halo blurs.
    const int smallWidth = std::max(k / b, 1), smallHeight = std::max(m / b, 1);
    GdipBitmap small = NewArgbBitmap(smallWidth, smallHeight);
    if (GdipGraphics s = GraphicsOn(small.get())) {
        gp::GdipSetPixelOffsetMode(s.get(), Gdiplus::PixelOffsetModeNone);
        gp::GdipSetInterpolationMode(s.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        DrawScaled(s.get(), a.get(), k, m, smallWidth, smallHeight);
    }
    gp::GdipGraphicsClear(g.get(), 0);
    if (small) DrawScaled(g.get(), small.get(), smallWidth, smallHeight, k, m);

    if (GdipPath letters = TextPath(wide, tools, style, box))
        StrokeAndFill(g.get(), letters.get(), ColorRefToArgb(haloColour, 120), 2.0f,
                      ColorRefToArgb(textColour), 4);
    g.reset();
    gp::GdipDrawImageRect(target, a.get(), x, y, static_cast<float>(k), static_cast<float>(m));
}

GdipLineBrush VerticalGradient(float x, float y, float height, uint32_t top, uint32_t bottom) {
    GdipLineBrush brush;
    Gdiplus::PointF from(x, y), to(x, y + (height > 0 ? height : 1));
    // Flipped tiling keeps the last row from wrapping round to the first colour.
    gp::GdipCreateLineBrush(&from, &to, top, bottom, Gdiplus::WrapModeTileFlipXY, brush.out());
    return brush;
}

void DrawOutlinedText(GpGraphics* target, const char* text, float x, float y, float width,
                      float height, COLORREF colour, COLORREF outlineColour,
                      const TextStyle& style) {
    if (!target || !text) return;
    TextTools tools;
    MakeTextTools(style, &tools);
    if (!tools.ok()) return;
    // A window text may end in "\r\n": the line break shows nothing, the carriage return must not
    // show as a box either.
    std::wstring wide = WideFromGbk(text ? text : "");
    wide.erase(std::remove(wide.begin(), wide.end(), L'\r'), wide.end());
    static const float kShifts[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& shift : kShifts)
        DrawTextLine(target, wide, tools, ColorRefToArgb(outlineColour, 150),
                     RectF(x + shift[0], y + shift[1], width, height));
    DrawTextLine(target, wide, tools, ColorRefToArgb(colour, 255), RectF(x, y, width, height));
}

void AddTopRoundedRect(GpPath* path, float x, float y, float w, float h, float r) {
    gp::GdipAddPathLine(path, x, y + h, x, y + r);
    gp::GdipAddPathArc(path, x, y, r, r, 180, 90);
    gp::GdipAddPathLine(path, x + r, y, x + w - r, y);
    gp::GdipAddPathArc(path, x + w - r, y, r, r, 270, 90);
    gp::GdipAddPathLine(path, x + w, y + r, x + w, y + h);
}

void AddTopRightRoundedRect(GpPath* path, float x, float y, float w, float h, float r) {
    gp::GdipAddPathLine(path, x, y + h, x, y);
    gp::GdipAddPathLine(path, x, y, x + w - r, y);
    gp::GdipAddPathArc(path, x + w - r, y, r, r, 270, 90);
    gp::GdipAddPathLine(path, x + w, y + r, x + w, y + h);
}

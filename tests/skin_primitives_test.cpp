// Drawing primitives: colour conversion, rounded-rectangle paths, the glow text and the canvas
// registry's release rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas.h"
#include "drawing.h"
#include "gbk_text.h"
#include "geometry.h"
#include "picture_cache.h"
#include "skin_support.h"
#include "text_layout.h"

namespace {

TEST(ColorRefToArgbTest, Values) {
    struct Case {
        uint32_t colorRef;
        int alpha;
        uint32_t want;
    };
    const Case cases[] = {
        {0x00FFFFFF, 0, 0x00FFFFFF},   {0x00DDCA22, 255, 0xFF22CADD},
        {0x00336699, 128, 0x80996633}, {0xAB0000FF, 255, 0xFFFF0000},    // high byte ignored
        {0x00000000, 60, 0x3C000000},  {0x0051AE51, 0x1FF, 0xFF51AE51},  // low byte of alpha
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorRefToArgb(c.colorRef, c.alpha), c.want) << std::hex << c.colorRef;
    EXPECT_EQ(ColorRefToArgb(0x00DDCA22), 0xFF22CADDu);  // alpha defaults to 255
}

TEST(RoundedRectArcsTest, BoxesAndTheOddBottomRightCorner) {
    const auto arcs = RoundedRectArcs(10, 20, 100, 50, 8);
    const ArcBox want[] = {
        {102, 20, 8, 8, 270},
        {101, 61, 9, 9, 0},
        {10, 62, 8, 8, 90},
        {10, 20, 8, 8, 180},
    };
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(arcs[k].x, want[k].x) << k;
        EXPECT_EQ(arcs[k].y, want[k].y) << k;
        EXPECT_EQ(arcs[k].width, want[k].width) << k;
        EXPECT_EQ(arcs[k].height, want[k].height) << k;
        EXPECT_EQ(arcs[k].startAngle, want[k].startAngle) << k;
    }
}

TEST(RoundedRectArcsTest, DiameterIsClamped) {
    struct Case {
        int d, used;
    };
    const Case cases[] = {{-3, 1}, {0, 1}, {1, 1}, {5, 5}, {100, 100}, {101, 100}, {500, 100}};
    for (const Case& c : cases) {
        EXPECT_EQ(ClampCornerDiameter(c.d), c.used) << c.d;
        EXPECT_EQ(RoundedRectArcs(0, 0, 300, 300, c.d)[0].width, c.used) << c.d;
    }
}

std::vector<Gdiplus::PointF> PathPoints(int d) {
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    AddRoundedRect(path.get(), 3, 4, 250, 220, d);
    INT count = 0;
    gp::GdipGetPointCount(path.get(), &count);
    std::vector<Gdiplus::PointF> points(count);
    if (count) gp::GdipGetPathPoints(path.get(), points.data(), count);
    return points;
}

bool SamePoints(const std::vector<Gdiplus::PointF>& a, const std::vector<Gdiplus::PointF>& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k].X != b[k].X || a[k].Y != b[k].Y) return false;
    return true;
}

class Primitives : public SkinTest {};

TEST_F(Primitives, AddRoundedRectClampsTheDiameter) {
    ASSERT_FALSE(PathPoints(1).empty());
    EXPECT_TRUE(SamePoints(PathPoints(0), PathPoints(1)));
    EXPECT_TRUE(SamePoints(PathPoints(500), PathPoints(100)));
    // The clamp is not a no-op: neighbouring diameters give other paths.
    EXPECT_FALSE(SamePoints(PathPoints(2), PathPoints(1)));
    EXPECT_FALSE(SamePoints(PathPoints(99), PathPoints(100)));

    // The path is closed and spans the rectangle.
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    AddRoundedRect(path.get(), 3, 4, 250, 220, 500);
    Gdiplus::RectF bounds;
    gp::GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr);
    EXPECT_NEAR(bounds.X, 3, 0.01);
    EXPECT_NEAR(bounds.Y, 4, 0.01);
    EXPECT_NEAR(bounds.Width, 250, 0.01);
    EXPECT_NEAR(bounds.Height, 220, 0.01);
}

TEST(GlowLayoutTest, OffsetsForBlurFour) {
    const GlowLayout g = ComputeGlowLayout(10, 20, 81.9f, 30.5f, 4);
    EXPECT_EQ(g.width, 81);
    EXPECT_EQ(g.height, 30);
    EXPECT_FLOAT_EQ(g.textX, 2);
    EXPECT_FLOAT_EQ(g.textY, 2);
    EXPECT_FLOAT_EQ(g.textWidth, 83);
    EXPECT_FLOAT_EQ(g.textHeight, 32);
    EXPECT_EQ(g.smallWidth, 20);
    EXPECT_EQ(g.smallHeight, 7);
    // The halo lies 2 px left of and 2.4 px above the text.
    EXPECT_FLOAT_EQ(g.haloX, 8);
    EXPECT_FLOAT_EQ(g.haloY, 17.6f);
    const PointF32 extras[] = {{1, 2.8f}, {3, 2.8f}, {2, 1.8f}, {2, 3.8f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(g.extras[k].x, extras[k].x) << k;
        EXPECT_FLOAT_EQ(g.extras[k].y, extras[k].y) << k;
    }
}

TEST(GlowLayoutTest, DegenerateBlurAndSize) {
    const GlowLayout zero = ComputeGlowLayout(0, 0, 40, 20, 0);  // taken as 1
    EXPECT_EQ(zero.smallWidth, 40);
    EXPECT_EQ(zero.smallHeight, 20);
    const GlowLayout tiny = ComputeGlowLayout(0, 0, 3, 2, 8);  // smaller than the blur
    EXPECT_EQ(tiny.smallWidth, 1);
    EXPECT_EQ(tiny.smallHeight, 1);
}

TEST(RoomForTextTest, GrowsOnlyWhenTheTextNeedsMoreAndStaysInTheWorkArea) {
    struct Case {
        int height, needed, boxTop, boxHeight, grow, newTop;
    };
    // Work area 0 .. 600.
    const Case cases[] = {
        {28, 20, 100, 140, 0, 100},   // fits
        {28, 28, 100, 140, 0, 100},   // exactly
        {28, 44, 100, 140, 16, 100},  // one more line
        {28, 44, 450, 140, 16, 444},  // would reach below the work area: moves up
        {28, 900, 100, 140, 460, 0},  // taller than the work area: fills it, no more
        {28, 900, 100, 700, 0, 0},  // a box taller than the work area already: no more, at its top
    };
    for (const Case& c : cases) {
        const TextRoom room = RoomForText(c.height, c.needed, c.boxTop, c.boxHeight, 0, 600);
        EXPECT_EQ(room.grow, c.grow) << c.needed << " in " << c.height;
        EXPECT_EQ(room.boxTop, c.newTop) << c.needed << " in " << c.height;
    }
}

TEST(KeyOverPixelTest, KeyAndBlendsWithTheInkGiveWayToTheBackdrop) {
    constexpr uint32_t kKey = 0xFF00FF, kBelow = 0x408040;
    struct Case {
        uint32_t pixel, ink, out;
    };
    const Case cases[] = {
        {0xFF00FF, 0x000000, 0x408040},  // the key
        {0x000000, 0x000000, 0x000000},  // the ink itself
        {0x800080, 0x000000, 0x204020},  // half black, half key: half black over the backdrop
        {0x7F007F, 0x000000, 0x204020},
        {0xFF0080, 0xFF0000, 0x9F4020},  // half red over the key
        {0x808080, 0x000000, 0x808080},  // grey is no blend of black and the key: kept
        {0xFFFFFF, 0x000000, 0xFFFFFF},  // white: kept
        {0x3399FF, 0x000000, 0x3399FF},  // a selection's blue: kept
        {0xFF0000, 0x000000, 0xFF0000},  // pure red or blue beside black text: channels a whole
        {0x0000FF, 0x000000, 0x0000FF},  // coverage apart are a colour of its own
        {0xFFFFFF, 0x00FFFF, 0xFFFFFF},  // white or blue beside cyan text likewise
        {0x0000FF, 0x00FFFF, 0x0000FF},
        {0x800080, 0xFF00FF, 0x800080},  // ink of the key's colour: nothing to take apart
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyOverPixel(c.pixel, kBelow, kKey, c.ink), c.out)
            << std::hex << c.pixel << " ink " << c.ink;
}

// A pixel of `ink` laid over `under` with a coverage of its own in each channel, as ClearType
// draws (0x00RRGGBB values).
uint32_t BlendByChannel(uint32_t ink, uint32_t under, const double (&coverage)[3]) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const int s = 16 - 8 * k;
        const double c = ((under >> s) & 0xFF) +
                         coverage[k] * (int((ink >> s) & 0xFF) - int((under >> s) & 0xFF));
        out |= static_cast<uint32_t>(std::lround(c)) << s;
    }
    return out;
}

TEST(KeyOverPixelTest, PerChannelCoverageLeavesNoTintOfTheKey) {
    constexpr uint32_t kKey = 0xFF00FF;
    struct Case {
        uint32_t ink, below;
        double coverage[3];  // red, green, blue
    };
    const Case cases[] = {
        {0x000000, 0x408040, {0.2, 0.5, 0.8}},    // black text, its left edge
        {0x000000, 0x408040, {0.9, 0.55, 0.3}},   // and its right edge
        {0x000000, 0xE0E0E0, {0.05, 0.3, 0.6}},   // a light backdrop
        {0x000000, 0x204060, {0.7, 0.45, 0.2}},   // a dark one
        {0x000000, 0xE0E0E0, {0.4, 0.4, 0.4}},    // grey-scale smoothing: one coverage
        {0xFF0000, 0xC8DCD2, {0.9, 0.6, 0.3}},    // red: only blue tells the coverage
        {0x00FFFF, 0xC8DCD2, {0.3, 0.55, 0.8}},   // cyan: red and green tell it
        {0x5830E0, 0xC8DCD2, {0.25, 0.5, 0.75}},  // the welcome page's purple
        {0x000080, 0x408040, {0.6, 0.4, 0.2}},    // dark blue
    };
    for (const Case& c : cases) {
        const uint32_t pixel = BlendByChannel(c.ink, kKey, c.coverage);
        const uint32_t out = KeyOverPixel(pixel, c.below, kKey, c.ink);
        const uint32_t want = BlendByChannel(c.ink, c.below, c.coverage);
        SCOPED_TRACE(testing::Message() << std::hex << "ink " << c.ink << " over " << c.below
                                        << ": pixel " << pixel << " gave " << out);
        for (int k = 0; k < 3; ++k) {
            const int s = 16 - 8 * k;
            const int o = (out >> s) & 0xFF, w = (want >> s) & 0xFF;
            const int i = (c.ink >> s) & 0xFF, b = (c.below >> s) & 0xFF, key = (kKey >> s) & 0xFF;
            // Each channel lies between the ink and the backdrop: one nearer the key than both
            // is the key's tint, red or blue alone as much as both together.
            EXPECT_GE(o, std::min(i, b) - 1) << "channel " << k;
            EXPECT_LE(o, std::max(i, b) + 1) << "channel " << k;
            // Where ink and key differ, the channel's own coverage is kept.
            if (std::abs(i - key) >= 64) {
                EXPECT_NEAR(o, w, 1) << "channel " << k;
            }
        }
    }
}

struct Ink {
    int count = 0;
    double sumX = 0, sumY = 0, weight = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    void Add(int x, int y, double w) {
        ++count;
        sumX += x * w;
        sumY += y * w;
        weight += w;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    double cx() const { return sumX / weight; }
    double cy() const { return sumY / weight; }
};

// The glow text of "青岚笺语" in the box (30, 18, 100, 24) with blur 4 on a white canvas.
void DrawSample(HDC canvas, COLORREF text, COLORREF glow) {
    GdipGraphics g;
    gp::GdipCreateFromHDC(canvas, g.out());
    ASSERT_TRUE(g);
    gp::GdipGraphicsClear(g.get(), 0xFFFFFFFF);
    DrawGlowText(g.get(), "青岚笺语", 30, 18, 100, 24, text, glow, 4);
}

// Blue text over a red glow: the halo surrounds the text on every side and is centred on it.
// By the placements the halo's centre lies within 0.4 px of the text's; shrinking and enlarging
// the glow may move it by up to half a pixel of the shrunken bitmap, b / 2 = 2 px (Wine's
// resampling moves it 1.7 px to the right). Mirrored offsets would move it 4 px or more.
TEST_F(Primitives, GlowTextSurroundsTheText) {
    ScopedCanvas both(CreateCanvas(160, 60));
    ScopedCanvas haloOnly(CreateCanvas(160, 60));
    ASSERT_TRUE(both && haloOnly);
    DrawSample(both.get(), 0x00FF0000, 0x000000FF);
    DrawSample(haloOnly.get(), 0x00FFFFFF, 0x000000FF);

    const CanvasImage bothImage(both.get()), haloImage(haloOnly.get());
    Ink text, halo;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
            const uint32_t p = bothImage.At(x, y);
            if ((p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 100) text.Add(x, y, 1);
            const int green = (haloImage.At(x, y) >> 8) & 0xFF;
            if (green < 245) halo.Add(x, y, 255 - green);
        }
    ASSERT_GT(text.count, 20);
    ASSERT_GT(halo.count, 20);
    EXPECT_LT(halo.left, text.left);
    EXPECT_LT(halo.top, text.top);
    EXPECT_GT(halo.right, text.right);
    EXPECT_GT(halo.bottom, text.bottom);
    EXPECT_NEAR(halo.cx(), text.cx(), 2.0);
    EXPECT_NEAR(halo.cy(), text.cy(), 2.0);
    // The text itself starts inside the layout box.
    EXPECT_GE(text.left, 30);
    EXPECT_GE(text.top, 18);
    // Every pixel is opaque: the halo is drawn over the white, not into its alpha.
    EXPECT_EQ(CanvasPixel(haloOnly.get(), 40, 20) >> 24, 0xFFu);
}

TEST_F(Primitives, GlowTextWithDegenerateInputDrawsSafely) {
    ScopedCanvas canvas(CreateCanvas(20, 20));
    GdipGraphics g;
    gp::GdipCreateFromHDC(canvas.get(), g.out());
    DrawGlowText(g.get(), "x", 0, 0, 10, 10, 0, 0x00FFFFFF, 0);
    DrawGlowText(g.get(), "x", 0, 0, 3, 2, 0, 0x00FFFFFF, 8);
    DrawGlowText(g.get(), "x", 0, 0, 0, 10, 0, 0x00FFFFFF, 4);
    DrawGlowText(g.get(), "", 0, 0, 10, 10, 0, 0x00FFFFFF, 4);
    DrawGlowText(nullptr, "x", 0, 0, 10, 10, 0, 0x00FFFFFF, 4);
}

// Each line of a wrapped text fits the width it was wrapped for, no line but a paragraph's first
// starts with closing punctuation, and together they hold the whole text: nothing but the spaces
// at the breaks is dropped.
TEST_F(Primitives, WrapTextMakesLinesThatFitAndKeepsEveryCharacter) {
    TextStyle style;
    style.emSize = 12;
    const std::wstring texts[] = {
        WideFromGbk("安装失败：无法写入文件“D:\\\\青岚笺语\\青岚笺语写作.exe”。"),
        WideFromGbk("安装失败：路径过长（超过 259 个字符）：D:\\第十二卷草稿\\第十二卷草稿\\a"),
        WideFromGbk("第一段\r\n\r\n第二段，比这个框宽得多的一段文字"),
        WideFromGbk("安装目录不能为空，请选择安装目录~！"),
        L"x",
        L"",
    };
    GdipBitmap bitmap = NewArgbBitmap(1, 1);
    GdipGraphics g;
    gp::GdipGetImageGraphicsContext(bitmap.get(), g.out());
    GdipFontFamily family;
    GdipFont font;
    gp::GdipCreateFontFamilyFromName(WideFromGbk(style.face).c_str(), nullptr, family.out());
    gp::GdipCreateFont(family.get(), style.emSize, 0, Gdiplus::UnitWorld, font.out());
    std::vector<float> widths;
    for (float width = 60; width <= 400; width += 5) widths.push_back(width);
    for (float width : widths) {
        for (const std::wstring& text : texts) {
            const std::wstring wrapped = WrapText(text, width, style);
            std::wstring joined, expected;
            size_t start = 0;
            for (;;) {
                const size_t end = wrapped.find(L'\n', start);
                const std::wstring line = wrapped.substr(start, end - start);
                const bool paragraphStart =
                    start == 0 || text.find(L"\r\n" + line) != std::wstring::npos;
                if (!line.empty() && !paragraphStart) {
                    EXPECT_FALSE(IsClosingPunctuation(line[0]))
                        << "a line starts with closing punctuation at width " << width;
                }
                const Gdiplus::RectF unbounded(0, 0, 1e6f, 1e6f);
                Gdiplus::RectF box;
                gp::GdipMeasureString(g.get(), line.c_str(), -1, font.get(), &unbounded, nullptr,
                                      &box, nullptr, nullptr);
                EXPECT_LE(box.Width, width) << "line of " << line.size() << " at width " << width;
                joined += line;
                if (end == std::wstring::npos) break;
                start = end + 1;
            }
            for (wchar_t c : text)
                if (c != L'\r' && c != L'\n' && c != L' ') expected += c;
            joined.erase(std::remove(joined.begin(), joined.end(), L' '), joined.end());
            EXPECT_EQ(joined, expected) << "at width " << width;
        }
    }
    // The text's own blank line stays.
    EXPECT_NE(WrapText(texts[2], 400, style).find(L"\n\n"), std::wstring::npos);
}

TEST_F(Primitives, ReleaseCanvasTwice) {
    HDC dc = CreateCanvas(8, 8);
    ASSERT_TRUE(dc);
    EXPECT_EQ(CanvasCount(), 1);
    EXPECT_TRUE(ReleaseCanvas(dc));
    EXPECT_EQ(CanvasCount(), 0);
    EXPECT_FALSE(ReleaseCanvas(dc));
    EXPECT_FALSE(ReleaseCanvas(nullptr));

    // A device context that is not a canvas is left alone.
    MemoryDc plain(CreateCompatibleDC(nullptr));
    EXPECT_FALSE(ReleaseCanvas(plain.get()));
    EXPECT_EQ(GetObjectType(plain.get()), static_cast<DWORD>(OBJ_MEMDC));
}

TEST_F(Primitives, KeyOverCopiesADrawingThatHasNoKeyPixel) {
    constexpr COLORREF kKey = RGB(255, 0, 255);
    constexpr uint32_t kBackdrop = 0xFFE0E0E0;
    // A label filled with its backdrop, black text on it. Its darkest edges read as blends of
    // black and the key as well: in grey-scale (0x141414) and in ClearType (0x580418, green all
    // but covered, red and blue less).
    const std::vector<uint32_t> drawn = {kBackdrop, 0xFF141414, 0xFF580418, 0xFF000000, 0xFF707070};
    // The same label filled with the key.
    const std::vector<uint32_t> onKey = {0xFFFF00FF, 0xFF800080, 0xFF580418, 0xFF000000,
                                         0xFF707070};
    struct Case {
        const char* name;
        const std::vector<uint32_t>& source;
        std::vector<uint32_t> want;
    };
    const Case cases[] = {
        {"drawn over its backdrop", drawn, drawn},
        {"drawn on the key", onKey, {kBackdrop, 0xFF707070, 0xFF4D3115, 0xFF000000, 0xFF707070}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int w = static_cast<int>(c.source.size());
        ScopedCanvas target(CreateCanvas(w, 1)), source(CreateCanvas(w, 1));
        ASSERT_TRUE(WriteCanvasPixels(target.get(), w, 1, std::vector<uint32_t>(w, kBackdrop)));
        ASSERT_TRUE(WriteCanvasPixels(source.get(), w, 1, c.source));
        KeyOver(target.get(), source.get(), w, 1, kKey, RGB(0, 0, 0));
        std::vector<uint32_t> got;
        ASSERT_TRUE(ReadCanvasPixels(target.get(), w, 1, &got));
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(got[x] & 0xFFFFFFu, c.want[x] & 0xFFFFFFu) << "pixel " << x;
    }
}

TEST_F(Primitives, CanvasOfSizeKeepsAMatchingCanvasAndReplacesAnyOther) {
    HDC canvas = CreateCanvas(30, 20);
    ASSERT_TRUE(canvas);
    SetPixel(canvas, 3, 4, RGB(1, 2, 3));
    const int gdi = static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));

    // Same size: the very canvas, pixels untouched, nothing made.
    HDC kept = canvas;
    ASSERT_TRUE(CanvasOfSize(&kept, 30, 20));
    EXPECT_EQ(kept, canvas);
    EXPECT_EQ(GetPixel(kept, 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)), gdi);

    // Another size (either side): the old canvas is freed, a new one stands in its place.
    for (SIZE size : {SIZE{31, 20}, SIZE{30, 19}}) {
        HDC before = kept;
        ASSERT_TRUE(CanvasOfSize(&kept, size.cx, size.cy));
        EXPECT_EQ(CanvasCount(), 1);
        if (kept != before) {
            EXPECT_EQ(GetObjectType(before), 0u);  // freed
        }
        BITMAP bm = {};
        GetObjectA(GetCurrentObject(kept, OBJ_BITMAP), sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size.cx);
        EXPECT_EQ(bm.bmHeight, size.cy);
    }
    EXPECT_TRUE(ReleaseCanvas(kept));

    // A device context that is no canvas is not freed: the caller still owns it.
    MemoryDc plain(CreateCompatibleDC(nullptr));
    HDC replaced = plain.get();
    ASSERT_TRUE(CanvasOfSize(&replaced, 8, 8));
    EXPECT_NE(replaced, plain.get());
    EXPECT_EQ(GetObjectType(plain.get()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_TRUE(ReleaseCanvas(replaced));

    HDC none = nullptr;
    EXPECT_FALSE(CanvasOfSize(&none, 0, 5));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CanvasCount(), 0);
}

TEST_F(Primitives, RegisterCanvasUpdatesAnExistingEntry) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP first = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ previous = SelectObject(dc, first);
    RegisterCanvas(dc, first, previous);
    EXPECT_EQ(CanvasCount(), 1);

    HBITMAP second = CreateBitmap(3, 3, 1, 32, nullptr);
    DeleteObject(SelectObject(dc, second));
    RegisterCanvas(dc, second, previous);
    EXPECT_EQ(CanvasCount(), 1);
    EXPECT_TRUE(ReleaseCanvas(dc));
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
}

}  // namespace

namespace {

// A canvas of `w` x `h` filled with one colour.
HDC FilledCanvas(int w, int h, uint32_t argb) {
    HDC dc = CreateCanvas(w, h);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, argb);
    WriteCanvasPixels(dc, w, h, pixels);
    return dc;
}

uint32_t FirstPixel(HDC dc) {
    std::vector<uint32_t> pixels;
    ReadCanvasPixels(dc, 1, 1, &pixels);
    return pixels.empty() ? 0 : pixels[0];
}

}  // namespace

TEST(PictureCacheTest, ReusesOnlyWhatWasDrawnFromTheSameBackdropAndInputs) {
    PictureCache cache;
    const HWND control = reinterpret_cast<HWND>(0x1234);
    const uint32_t backdrop = 0xFF102030, painted = 0xFFA0B0C0;
    // Draws: a canvas holding the backdrop, painted over and kept under `inputs`.
    auto keep = [&](const std::string& inputs, uint32_t under, uint32_t over) {
        ScopedCanvas canvas(FilledCanvas(8, 4, under));
        std::vector<uint32_t> seen;
        EXPECT_FALSE(cache.Reuse(control, canvas.get(), 8, 4, inputs, &seen)) << inputs;
        EXPECT_EQ(seen, std::vector<uint32_t>(32, under));
        ScopedCanvas paint(FilledCanvas(8, 4, over));
        BitBlt(canvas.get(), 0, 0, 8, 4, paint.get(), 0, 0, SRCCOPY);
        cache.Keep(control, canvas.get(), 8, 4, inputs, std::move(seen));
    };
    // What a repaint finds: the kept picture's first pixel, or 0 when it must draw.
    auto reuse = [&](const std::string& inputs, uint32_t under, int w = 8) {
        ScopedCanvas canvas(FilledCanvas(w, 4, under));
        std::vector<uint32_t> seen;
        return cache.Reuse(control, canvas.get(), w, 4, inputs, &seen) ? FirstPixel(canvas.get())
                                                                       : 0u;
    };
    keep("hot", backdrop, painted);
    EXPECT_EQ(reuse("hot", backdrop), painted);
    EXPECT_EQ(reuse("normal", backdrop), 0u);
    EXPECT_EQ(reuse("hot", 0xFF102031), 0u) << "another backdrop";
    EXPECT_EQ(reuse("hot", backdrop, 7), 0u) << "another size";
    EXPECT_EQ(reuse("hot", backdrop), painted);
    // Four pictures a control; the one used longest ago goes first.
    for (const char* inputs : {"a", "b", "c"}) keep(inputs, backdrop, 0xFF000001);
    EXPECT_EQ(reuse("hot", backdrop), painted);
    keep("d", backdrop, 0xFF000002);
    EXPECT_EQ(reuse("a", backdrop), 0u);
    EXPECT_EQ(reuse("hot", backdrop), painted);
    cache.Forget(control);
    EXPECT_EQ(reuse("hot", backdrop), 0u);
}

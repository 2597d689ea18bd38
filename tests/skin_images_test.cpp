// The embedded skin images decode to the sizes, formats and looks the painters expect.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images.h"
#include "skin_support.h"

namespace {

class Images : public SkinTest {};

uint32_t Pixel(GpImage* image, int x, int y) {
    Gdiplus::ARGB argb = 0;
    gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(image), x, y, &argb);
    return argb;
}
int Alpha(uint32_t argb) {
    return argb >> 24;
}
int Red(uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
int Green(uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
int Blue(uint32_t argb) {
    return argb & 0xFF;
}

TEST_F(Images, SizesAndFormats) {
    const SkinImageSet& set = SkinImages();
    struct Case {
        const char* name;
        ImageBytes bytes;
        GUID format;
        UINT width, height;
    };
    const Case cases[] = {
        {"message-box close", set.messageBoxClose, Gdiplus::ImageFormatPNG, 38, 18},
        {"check box clear", set.checkBoxClear, Gdiplus::ImageFormatPNG, 13, 13},
        {"check box checked", set.checkBoxChecked, Gdiplus::ImageFormatPNG, 13, 13},
        {"arrow down", set.arrowDown, Gdiplus::ImageFormatPNG, 7, 4},
        {"arrow up", set.arrowUp, Gdiplus::ImageFormatPNG, 7, 4},
        {"arrow left", set.arrowLeft, Gdiplus::ImageFormatPNG, 4, 7},
        {"arrow right", set.arrowRight, Gdiplus::ImageFormatPNG, 4, 7},
        {"caption extra 1", set.captionExtra1, Gdiplus::ImageFormatPNG, 26, 18},
        {"caption extra 2", set.captionExtra2, Gdiplus::ImageFormatPNG, 26, 18},
        {"caption minimise", set.captionMinimize, Gdiplus::ImageFormatPNG, 26, 18},
        {"caption maximise", set.captionMaximize, Gdiplus::ImageFormatPNG, 26, 18},
        {"caption restore", set.captionRestore, Gdiplus::ImageFormatPNG, 26, 18},
        {"caption close", set.captionClose, Gdiplus::ImageFormatPNG, 38, 18},
        {"window background", set.windowBackground, Gdiplus::ImageFormatJPEG, 400, 300},
        {"panel animation", set.panelAnimation, Gdiplus::ImageFormatGIF, 208, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GdipImage image = DecodeImage(c.bytes);
        ASSERT_TRUE(image);
        GUID format = {};
        gp::GdipGetImageRawFormat(image.get(), &format);
        EXPECT_TRUE(IsEqualGUID(format, c.format));
        UINT w = 0, h = 0;
        gp::GdipGetImageWidth(image.get(), &w);
        gp::GdipGetImageHeight(image.get(), &h);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        if (IsEqualGUID(c.format, Gdiplus::ImageFormatPNG)) {
            Gdiplus::PixelFormat pixelFormat = 0;
            gp::GdipGetImagePixelFormat(image.get(), &pixelFormat);
            EXPECT_EQ(pixelFormat, PixelFormat32bppARGB);
        }
    }
}

TEST_F(Images, AnimationFramesAndDelays) {
    const ImageBytes gif = SkinImages().panelAnimation;
    GdipImage image = DecodeImage(gif);
    ASSERT_TRUE(image);
    UINT frames = 0;
    gp::GdipImageGetFrameCount(image.get(), &Gdiplus::FrameDimensionTime, &frames);
    EXPECT_EQ(frames, 5u);
    EXPECT_EQ(GifFrameDelays(gif), (std::vector<unsigned>{10, 10, 10, 10, 20}));

    // GDI+'s own list has one entry per frame and agrees at least on the first (Wine fills
    // the others with 0).
    UINT size = 0;
    ASSERT_EQ(gp::GdipGetPropertyItemSize(image.get(), PropertyTagFrameDelay, &size), Gdiplus::Ok);
    std::vector<char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    ASSERT_EQ(gp::GdipGetPropertyItem(image.get(), PropertyTagFrameDelay, size, item), Gdiplus::Ok);
    ASSERT_EQ(item->length, 5 * sizeof(UINT));
    EXPECT_EQ(static_cast<const UINT*>(item->value)[0], 10u);
}

// Truncated or foreign bytes never read past their end and give no delays.
TEST(GifFrameDelaysTest, DamagedInput) {
    const ImageBytes gif = SkinImages().panelAnimation;
    const std::string whole = gif.str();
    EXPECT_EQ(GifFrameDelays(whole.data(), whole.size()).size(), 5u);
    for (size_t cut :
         {size_t(0), size_t(6), size_t(13), size_t(100), whole.size() / 2, whole.size() - 1}) {
        std::vector<char> part(whole.begin(), whole.begin() + cut);  // exact size: no slack
        EXPECT_TRUE(GifFrameDelays(part.data(), part.size()).empty()) << cut;
    }
    const ImageBytes png = SkinImages().arrowDown;
    EXPECT_TRUE(GifFrameDelays(png).empty());
    EXPECT_TRUE(GifFrameDelays(nullptr, 0).empty());
}

TEST_F(Images, UndecodableBytesGiveNoImage) {
    const char junk[] = "not an image";
    EXPECT_FALSE(DecodeImage(junk, sizeof(junk)));
    EXPECT_FALSE(DecodeImage(nullptr, 0));
    EXPECT_FALSE(DecodeImage(std::string()));
}

// Arrow shapes: one row (or column) per line, widths 7, 5, 3, 1 from the base; black, no key.
TEST_F(Images, ArrowsAreSolidTriangles) {
    const SkinImageSet& set = SkinImages();
    struct Case {
        const char* name;
        ImageBytes bytes;
        bool vertical;  // base along a row
        bool baseFirst;
    };
    const Case cases[] = {
        {"down", set.arrowDown, true, true},
        {"up", set.arrowUp, true, false},
        {"right", set.arrowRight, false, true},
        {"left", set.arrowLeft, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GdipImage image = DecodeImage(c.bytes);
        ASSERT_TRUE(image);
        for (int line = 0; line < 4; ++line) {
            const int fromBase = c.baseFirst ? line : 3 - line;
            for (int along = 0; along < 7; ++along) {
                const int x = c.vertical ? along : line;
                const int y = c.vertical ? line : along;
                const bool inside = along >= fromBase && along <= 6 - fromBase;
                const uint32_t p = Pixel(image.get(), x, y);
                EXPECT_EQ(p, inside ? 0xFF000000u : p & 0x00FFFFFFu)
                    << "(" << x << ", " << y << ")";
            }
        }
    }
}

TEST_F(Images, CheckBoxes) {
    GdipImage clear = DecodeImage(SkinImages().checkBoxClear);
    GdipImage checked = DecodeImage(SkinImages().checkBoxChecked);
    ASSERT_TRUE(clear && checked);
    const POINT border[] = {{0, 0}, {12, 0}, {0, 12}, {12, 12}, {6, 0}, {0, 6}};
    for (const POINT& p : border) {
        EXPECT_EQ(Pixel(clear.get(), p.x, p.y), 0xE6030303u);
        EXPECT_EQ(Pixel(checked.get(), p.x, p.y), 0xFF185184u);
    }
    // The inside runs from 0xDEDFD6 at the top left to 0xFDFCFC at the bottom right, opaque.
    const uint32_t topLeft = Pixel(clear.get(), 1, 1);
    const uint32_t bottomRight = Pixel(clear.get(), 11, 11);
    EXPECT_EQ(Alpha(topLeft), 255);
    EXPECT_NEAR(Red(topLeft), 0xDE, 6);
    EXPECT_NEAR(Green(topLeft), 0xDF, 6);
    EXPECT_NEAR(Blue(topLeft), 0xD6, 6);
    EXPECT_NEAR(Red(bottomRight), 0xFD, 6);
    EXPECT_NEAR(Blue(bottomRight), 0xFC, 6);
    EXPECT_EQ(Pixel(checked.get(), 1, 1), topLeft);
    int tick = 0;
    for (int y = 1; y < 12; ++y)
        for (int x = 1; x < 12; ++x) tick += Pixel(checked.get(), x, y) == 0xFF246E75u;
    EXPECT_GE(tick, 7);
}

TEST_F(Images, MessageBoxCloseGlyph) {
    GdipImage image = DecodeImage(SkinImages().messageBoxClose);
    ASSERT_TRUE(image);
    int white = 0, grey = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 38; ++x) {
            const uint32_t p = Pixel(image.get(), x, y);
            if (x < 13 || x > 23 || y < 3 || y > 13) {
                EXPECT_EQ(Alpha(p), 0) << "(" << x << ", " << y << ")";
                continue;
            }
            if (Alpha(p) > 200 && Red(p) > 0xF0) ++white;
            if (Alpha(p) > 200 && Red(p) >= 0x4A && Red(p) <= 0x60) ++grey;
        }
    EXPECT_GT(white, 5);
    EXPECT_GT(grey, 5);
    EXPECT_GT(Red(Pixel(image.get(), 18, 8)), 0xF0);  // the crossing is white
}

TEST_F(Images, CaptionGlyphsOverAFadingWash) {
    const SkinImageSet& set = SkinImages();
    const ImageBytes glyphs[] = {set.captionExtra1,   set.captionExtra2,  set.captionMinimize,
                                 set.captionMaximize, set.captionRestore, set.captionClose};
    int n = 0;
    for (const ImageBytes& bytes : glyphs) {
        SCOPED_TRACE("glyph " + std::to_string(++n));
        GdipImage image = DecodeImage(bytes);
        ASSERT_TRUE(image);
        UINT w = 0;
        gp::GdipGetImageWidth(image.get(), &w);
        const uint32_t top = Pixel(image.get(), 0, 0);
        const uint32_t bottom = Pixel(image.get(), 0, 17);
        EXPECT_NEAR(Alpha(top), 0x50, 2);
        EXPECT_NEAR(Alpha(bottom), 0x01, 1);
        EXPECT_EQ(top & 0x00FFFFFF, 0x00FFFFFFu);
        int white = 0, dark = 0;
        for (int y = 0; y < 18; ++y)
            for (UINT x = 0; x < w; ++x) {
                const uint32_t p = Pixel(image.get(), x, y);
                if (Alpha(p) > 0xC0 && Red(p) > 0xF0) ++white;
                if (Alpha(p) > 0x60 && Red(p) < 0x80) ++dark;
            }
        EXPECT_GT(white, 4);
        EXPECT_GT(dark, 4);
    }
}

}  // namespace

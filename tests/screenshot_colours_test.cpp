// Every screenshot the suite takes, checked for the key colour: no pixel may be pure magenta
// (0xFF00FF), the colour the skin keys out, and no pixel may be tinted towards it. Text drawn with
// anti-aliasing on a key-filled surface blends its edge pixels with the key: a pixel a * T +
// (1 - a) * magenta has its red and blue raised alike by (1 - a) * 255 while its green stays at
// a * T.g, so red and blue stand well above green and close to each other. No colour of the skin
// (the green theme, the background pictures, black text, white glows, the grey and blue of system
// controls) is like that.
//
// screenshot-colours [gtest flags] SCREENSHOT-DIR   (a Unix or Windows path)
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gdiplus_session.h"
#include "window_probe.h"

namespace {

std::string g_dir;

// What a blend of the key into another colour looks like: red and blue at least kLift above green
// and within kSpread of each other.
constexpr int kLift = 60, kSpread = 30;

struct Pixel {
    int r, g, b;
};
bool IsKey(const Pixel& p) {
    return p.r == 255 && p.g == 0 && p.b == 255;
}
bool IsTintedTowardsKey(const Pixel& p) {
    return std::min(p.r, p.b) - p.g >= kLift && std::abs(p.r - p.b) <= kSpread;
}

// The screenshots the suite must have taken before this test runs.
const char* const kExpected[] = {"page-0.png",   "page-1.png",       "page-2.png", "page-3.png",
                                 "page-4.png",   "page-5.png",       "msgbox.png", "gallery.png",
                                 "painters.png", "msgbox-long-1.png"};

std::vector<std::string> PngFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE find = FindFirstFileA((g_dir + "\\*.png").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

struct Finding {
    int count = 0;
    int firstX = -1, firstY = -1;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    void Add(int x, int y) {
        if (count++ == 0) firstX = x, firstY = y;
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
    }
};
std::ostream& operator<<(std::ostream& out, const Finding& f) {
    return out << f.count << " pixels, the first at (" << f.firstX << ", " << f.firstY
               << "), all within (" << f.left << ", " << f.top << ") - (" << f.right << ", "
               << f.bottom << ")";
}

TEST(ScreenshotColours, TheSuiteTookEveryScreenshot) {
    const std::vector<std::string> files = PngFiles();
    for (const char* name : kExpected)
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end())
            << name << " is missing from " << g_dir;
}

TEST(ScreenshotColours, NoKeyColourAndNoTextTintedTowardsIt) {
    const std::vector<std::string> files = PngFiles();
    ASSERT_FALSE(files.empty()) << "no screenshots in " << g_dir;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const std::string path = g_dir + "\\" + name;
        const std::wstring wide(path.begin(), path.end());
        Gdiplus::GpBitmap* image = nullptr;
        ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), &image), Gdiplus::Ok);
        UINT width = 0, height = 0;
        Gdiplus::DllExports::GdipGetImageWidth(image, &width);
        Gdiplus::DllExports::GdipGetImageHeight(image, &height);
        Gdiplus::BitmapData data = {};
        Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        ASSERT_EQ(Gdiplus::DllExports::GdipBitmapLockBits(image, &all, Gdiplus::ImageLockModeRead,
                                                          PixelFormat32bppARGB, &data),
                  Gdiplus::Ok);
        Finding key, tinted;
        for (UINT y = 0; y < height; y++) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
            for (UINT x = 0; x < width; x++) {
                const Pixel p = {static_cast<int>((row[x] >> 16) & 0xFF),
                                 static_cast<int>((row[x] >> 8) & 0xFF),
                                 static_cast<int>(row[x] & 0xFF)};
                if (IsKey(p))
                    key.Add(static_cast<int>(x), static_cast<int>(y));
                else if (IsTintedTowardsKey(p))
                    tinted.Add(static_cast<int>(x), static_cast<int>(y));
            }
        }
        Gdiplus::DllExports::GdipBitmapUnlockBits(image, &data);
        Gdiplus::DllExports::GdipDisposeImage(image);
        EXPECT_EQ(key.count, 0) << "key colour: " << key;
        EXPECT_EQ(tinted.count, 0) << "tinted towards the key: " << tinted;
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot-colours [gtest flags] SCREENSHOT-DIR\n");
        return 2;
    }
    g_dir = WindowsPath(argv[1]);
    GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}

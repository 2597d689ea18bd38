#include "text_width.h"

#include <cmath>
#include <string>

#include "drawing.h"
#include "gdi_handles.h"

int MeasureTextWidth(const char* text, const char* face, int size, int style) {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    GdipGraphics g;
    if (dc) gp::GdipCreateFromHDC(dc.get(), g.out());
    std::wstring faceName = WideFromAnsi(face);
    GdipFontFamily family;
    gp::GdipCreateFontFamilyFromName(faceName.c_str(), nullptr, family.out());
    GdipFont font;
    if (family)
        gp::GdipCreateFont(family.get(), static_cast<float>(size), style, Gdiplus::UnitWorld,
                           font.out());
    Gdiplus::RectF box;
    if (g && font) {
        std::wstring wide = WideFromAnsi(text);
        const Gdiplus::RectF layout(0, 0, 0, 0);
        gp::GdipMeasureString(g.get(), wide.c_str(), -1, font.get(), &layout, nullptr, &box,
                              nullptr, nullptr);
    }
    return static_cast<int>(std::floor(box.Width)) + 1;
}

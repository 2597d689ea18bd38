#include "control_font.h"

#include "gbk_text.h"
#include "gdi_handles.h"

ControlFont QueryControlFont(HWND control) {
    ControlFont result;
    auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    WindowDc dc(control);
    GdipFont font;
    // UTF-16 throughout: a face name read or passed through the system's code page ("宋体" on a
    // Western system) names no font at all.
    LOGFONTW logFont = {};
    if (handle && GetObjectW(handle, sizeof(logFont), &logFont) == sizeof(logFont))
        gp::GdipCreateFontFromLogfontW(dc.get(), &logFont, font.out());
    else
        gp::GdipCreateFontFromDC(dc.get(), font.out());
    if (!font) return result;

    float size = 0;
    int style = 0;
    gp::GdipGetFontSize(font.get(), &size);
    gp::GdipGetFontStyle(font.get(), &style);
    result.size = static_cast<int>(size);
    result.style = style;

    GdipFontFamily family;
    WCHAR name[LF_FACESIZE] = {};
    if (gp::GdipGetFamily(font.get(), family.out()) == Gdiplus::Ok &&
        gp::GdipGetFamilyName(family.get(), name, LANG_NEUTRAL) == Gdiplus::Ok &&
        !GbkFromWide(name, &result.face))
        result.face.clear();  // a face GBK cannot name: the painters' default face instead
    return result;
}

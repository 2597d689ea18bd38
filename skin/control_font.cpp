#include "control_font.h"

#include "gdi_handles.h"

ControlFont QueryControlFont(HWND control) {
    ControlFont result;
    auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    WindowDc dc(control);
    GdipFont font;
    LOGFONTA logFont = {};
    if (handle && GetObjectA(handle, sizeof(logFont), &logFont) == sizeof(logFont))
        gp::GdipCreateFontFromLogfontA(dc.get(), &logFont, font.out());
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
        gp::GdipGetFamilyName(family.get(), name, LANG_NEUTRAL) == Gdiplus::Ok) {
        char ansi[LF_FACESIZE * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi), nullptr, nullptr);
        result.face = ansi;
    }
    return result;
}

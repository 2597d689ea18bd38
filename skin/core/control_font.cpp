#include "control_font.h"

#include "gbk_text.h"
#include "gdi_handles.h"

ControlFont QueryControlFont(HWND control) {
    ControlFont result;
    auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    WindowDc dc(control);
    // UTF-16 throughout: a face name read or passed through the system's code page ("宋体" on a
    // Western system) names no font at all.
    LOGFONTW logFont = {};
    GpFont* made = nullptr;
    const Gdiplus::Status status =
        handle && GetObjectW(handle, sizeof(logFont), &logFont) == sizeof(logFont)
            ? gp::GdipCreateFontFromLogfontW(dc.get(), &logFont, &made)
            : gp::GdipCreateFontFromDC(dc.get(), &made);
    // A face GDI+ does not find (the system's "MS Shell Dlg" where it names no installed font)
    // fails, and may leave the pointer at what it freed: taken only on success.
    if (status != Gdiplus::Ok || !made) return result;
    GdipFont font(made);

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

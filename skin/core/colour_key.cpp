#include "colour_key.h"

#include <commctrl.h>

#include "canvas.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

struct KeyedRef {
    KeyedControlRecord* entry = nullptr;
    WNDPROC original = nullptr;
};

KeyedRef FindKeyed(HWND hwnd) {
    KeyedRef ref;
    ref.original = reinterpret_cast<WNDPROC>(SkinProp(hwnd, kPropKjProc));
    WindowSkinRecord* record = WindowRecord(static_cast<int>(SkinProp(hwnd, kPropKjFuId)));
    KeyedControlRecord* entry =
        record ? record->containerTable.At(static_cast<int>(SkinProp(hwnd, kPropKjLbId))) : nullptr;
    if (entry && entry->hwnd == hwnd) ref.entry = entry;
    return ref;
}

LRESULT PassOn(HWND hwnd, const KeyedRef& k, UINT msg, WPARAM wp, LPARAM lp) {
    return k.original ? CallWindowProcW(k.original, hwnd, msg, wp, lp)
                      : DefWindowProcW(hwnd, msg, wp, lp);
}

// Controls that draw into the device context handed to them with WM_PAINT.
bool DrawsIntoGivenDc(HWND hwnd) {
    static const char* const kClasses[] = {MONTHCAL_CLASSA,  WC_TABCONTROLA, TOOLBARCLASSNAMEA,
                                           STATUSCLASSNAMEA, "Button",       TRACKBAR_CLASSA};
    for (const char* name : kClasses)
        if (ClassNameIs(hwnd, name)) return true;
    return false;
}

// The control draws onto its backdrop; what it drew, key colour aside, goes onto a clean backdrop.
LRESULT PaintThroughGivenDc(HWND hwnd, const KeyedRef& k, LPARAM lp) {
    const RECT rc = ClientRectOf(hwnd);
    const int w = Width(rc), h = Height(rc);
    ScopedCanvas canvas(BackgroundSnapshot(hwnd, rc));
    PaintScope paint(hwnd);
    const LRESULT result = PassOn(hwnd, k, WM_PAINT, reinterpret_cast<WPARAM>(canvas.get()), lp);
    ScopedCanvas back(ClientBackdropCanvas(hwnd));
    if (canvas && back) {
        TransparentBlt(back.get(), 0, 0, w, h, canvas.get(), 0, 0, w, h, k.entry->keyColour);
        BitBlt(paint.dc(), 0, 0, w, h, back.get(), 0, 0, SRCCOPY);
    }
    return result;
}

// Labels and the like. Some systems' labels paint on the screen whatever DC they are given,
// others draw into the given DC. They are handed a key-filled capture of the update rectangle:
// when the update region is still pending afterwards the label drew into the capture, otherwise
// it painted the screen and its pixels are read back from there.
LRESULT PaintCaptured(HWND hwnd, const KeyedRef& k, LPARAM lp) {
    RECT rc = {};
    GetUpdateRect(hwnd, &rc, FALSE);
    const int w = Width(rc), h = Height(rc);
    const COLORREF key = k.entry->keyColour;
    WindowDc dc(hwnd);
    ScopedCanvas capture(CreateCanvas(w, h));
    if (!capture) return PassOn(hwnd, k, WM_PAINT, 0, lp);
    {
        GdiBrush keyBrush(CreateSolidBrush(key));
        const RECT all = {0, 0, w, h};
        FillRect(capture.get(), &all, keyBrush.get());
    }
    SetViewportOrgEx(capture.get(), -rc.left, -rc.top, nullptr);
    const LRESULT result = PassOn(hwnd, k, WM_PAINT, reinterpret_cast<WPARAM>(capture.get()), lp);
    SetViewportOrgEx(capture.get(), 0, 0, nullptr);
    RECT pending = {};
    const bool drewIntoCapture = GetUpdateRect(hwnd, &pending, FALSE) != 0;

    // The colour the label's text was given, for the anti-aliased edges of its letters.
    const COLORREF ink = GetTextColor(capture.get());
    ScopedCanvas canvas(BackgroundSnapshot(hwnd, rc));
    if (canvas) {
        if (!drewIntoCapture) BitBlt(capture.get(), 0, 0, w, h, dc.get(), rc.left, rc.top, SRCCOPY);
        KeyOver(canvas.get(), capture.get(), w, h, key, ink);
        BitBlt(dc.get(), rc.left, rc.top, w, h, canvas.get(), 0, 0, SRCCOPY);
    }
    if (drewIntoCapture) ValidateRect(hwnd, nullptr);
    InvalidateVisibleChildren(hwnd);
    return result;
}

}  // namespace

void InstallColourKeyedToolbars(int, HWND parent) {
    for (HWND bar = FindWindowExA(parent, nullptr, TOOLBARCLASSNAMEA, nullptr); bar;
         bar = FindWindowExA(parent, bar, TOOLBARCLASSNAMEA, nullptr))
        RegisterColourKeyed(bar, 0, 0, 0, 0);
}

void RegisterColourKeyed(HWND hwnd, COLORREF keyColour, int useKeyColour, COLORREF fillColour,
                         int fillAlpha) {
    const int i = OwningWindowIndex(hwnd);
    WindowSkinRecord* record = WindowRecord(i);
    // A second subclassing would make the procedure call itself for ever.
    if (!record || record->containerTable.Find(hwnd)) return;
    const int index = record->containerTable.Add(hwnd);
    KeyedControlRecord& entry = record->containerTable[index];
    entry.keyColour = useKeyColour ? keyColour : GetSysColor(COLOR_BTNFACE);
    SetSkinProp(hwnd, kPropKjLbId, index);
    SetSkinProp(hwnd, kPropKjFuId, i);
    entry.originalProc = SubclassWindow(hwnd, ColourKeyProc);
    SetSkinProp(hwnd, kPropKjProc, reinterpret_cast<LONG_PTR>(entry.originalProc));
    if (FindWindowExA(hwnd, nullptr, nullptr, nullptr))
        RegisterControl(hwnd, 0, fillColour, fillAlpha & 0xFF, 0);
}

LRESULT CALLBACK ColourKeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // A keyed label's colour answers stay on it until it goes.
    if (msg == WM_DESTROY) DeleteColourAnswer(hwnd);
    KeyedRef k = FindKeyed(hwnd);
    if (!k.entry) return PassOn(hwnd, k, msg, wp, lp);
    switch (msg) {
        case WM_MOVE:
            if (g_skinSettings.translucentControls) InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_ERASEBKGND:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return 1;
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (ClassNameIs(hwnd, "RichEdit20A")) InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_PAINT:
            if (!g_skinSettings.engineEnabled) break;
            return DrawsIntoGivenDc(hwnd) ? PaintThroughGivenDc(hwnd, k, lp)
                                          : PaintCaptured(hwnd, k, lp);
    }
    return PassOn(hwnd, k, msg, wp, lp);
}

#include "static_painter.h"

#include <cmath>
#include <string>

#include "canvas.h"
#include "drawing.h"
#include "gbk_text.h"
#include "gdi_handles.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

constexpr COLORREF kTextColour = 0x000000, kGlowColour = 0xFFFFFF;
constexpr int kGlowBlur = 4;
// Where the text's layout box starts in the static.
constexpr float kTextLeft = -2, kTextTop = 2;

StaticRecord* StaticEntry(HWND hwnd, int* windowIndex = nullptr) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    WindowSkinRecord* record = WindowRecord(i);
    if (windowIndex) *windowIndex = i;
    return record ? record->staticTable.At(static_cast<int>(SkinProp(hwnd, kPropHwLbId))) : nullptr;
}

void DeletePropObject(HWND hwnd, const char* name) {
    if (HGDIOBJ object = reinterpret_cast<HGDIOBJ>(SkinProp(hwnd, name))) DeleteObject(object);
    // Gone from the property too, so nothing deletes it a second time.
    RemovePropA(hwnd, name);
}

TextStyle TextStyleOf(const StaticRecord& entry) {
    TextStyle style;
    style.face = entry.fontFace.c_str();
    style.style = entry.fontStyle;
    style.emSize = static_cast<float>(entry.fontSize);
    return style;
}

}  // namespace

std::wstring StaticTextLines(const StaticRecord& entry, int width) {
    return WrapText(WindowTextWide(entry.hwnd), static_cast<float>(width) - kTextLeft,
                    TextStyleOf(entry));
}

int StaticTextBottom(const StaticRecord& entry, int width) {
    if (entry.kind != kTextStatic) return 0;
    const float height = TextHeight(StaticTextLines(entry, width), TextStyleOf(entry));
    return static_cast<int>(std::ceil(kTextTop + height));
}

ControlFont StaticFont(const ControlFont& own, const ControlFont& parent) {
    ControlFont font = own.face.empty() ? parent : own;
    if (font.face.empty()) font.face = "宋体";
    if (font.size == 0) font.size = 12;
    return font;
}

void InstallStatics(int windowIndex, HWND parent) {
    InstallChildren(
        windowIndex, parent, "Static", &WindowSkinRecord::staticTable, true, StaticProc,
        [](HWND, LONG_PTR style) { return !HasStyle(style, 0xA); },
        [](StaticRecord& entry, HWND s, LONG_PTR style) {
            const ControlFont own = QueryControlFont(s);
            const ControlFont font =
                StaticFont(own, own.face.empty() ? QueryControlFont(GetParent(s)) : ControlFont());
            entry.fontFace = font.face;
            entry.fontSize = font.size;
            entry.fontStyle = font.style;
            if (HasStyle(style, 0x3)) {
                entry.kind = kIconStatic;
            } else {
                entry.kind = kTextStatic;
                const RECT r = ChildRectInParent(s);
                SetWindowPos(s, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOOWNERZORDER);
            }
        });
}

void PaintStatic(int windowIndex, int staticIndex) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    StaticRecord* entry = record ? record->staticTable.At(staticIndex) : nullptr;
    if (!entry || !entry->hwnd) return;
    HWND s = entry->hwnd;
    RECT r;
    GetClientRect(s, &r);
    ScopedCanvas canvas(BackgroundSnapshot(s, r));
    if (!canvas) return;
    if (entry->kind == kTextStatic) {
        GdipGraphics g = GraphicsOn(canvas.get());
        // Broken into lines that end at the static's right edge; the wider layout box keeps GDI+
        // from breaking them again, the glow's passes included.
        if (g)
            DrawGlowText(g.get(), StaticTextLines(*entry, r.right), kTextLeft, kTextTop,
                         static_cast<float>(r.right + entry->fontSize + 10),
                         static_cast<float>(r.bottom), kTextColour, kGlowColour, kGlowBlur,
                         TextStyleOf(*entry));
    } else if (entry->kind == kIconStatic) {
        // The icon stays the control's.
        if (auto icon = reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0)))
            DrawIcon(canvas.get(), 0, 0, icon);
    }
    WindowDc dc(s);
    ExcludeOpaqueChildren(s, dc.get(), 1);
    BitBlt(dc.get(), 0, 0, r.right, r.bottom, canvas.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    int i = 0;
    StaticRecord* entry = StaticEntry(hwnd, &i);
    if (!entry) return ForwardMessage(hwnd, msg, wp, lp);
    const int j = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    switch (msg) {
        case WM_DESTROY:
            DeletePropObject(hwnd, kPropKjBrush);
            DeletePropObject(hwnd, kPropKjBrushBitmap);
            break;
        case WM_MOVE:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_SETTEXT:
            // The old text once; the static's own invalidation brings the new one.
            PaintStatic(i, j);
            break;
        case WM_PAINT: {
            {
                PaintScope paint(hwnd);
                PaintStatic(i, j);
            }
            return DefWindowProcW(hwnd, msg, wp, lp);
        }
        case WM_ERASEBKGND: {
            auto dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            return SetTextColor(dc, static_cast<COLORREF>(SkinProp(hwnd, kPropKjTextColour)));
        }
        case WM_NCPAINT:
            return 1;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

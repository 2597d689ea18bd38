#include "container.h"

#include <commctrl.h>

#include "button_painter.h"
#include "canvas.h"
#include "drawing.h"
#include "edit_painter.h"
#include "gbk_text.h"
#include "geometry.h"
#include "list_frame_painter.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

struct ContainerRef {
    int windowIndex = 0;
    int index = 0;
    ControlSkinRecord* entry = nullptr;
};

ContainerRef FindContainer(HWND hwnd) {
    ContainerRef ref;
    ref.windowIndex = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    ref.index = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    ControlSkinRecord* entry = ControlRecord(ref.windowIndex, ref.index);
    if (entry && entry->hwnd == hwnd) ref.entry = entry;
    return ref;
}

bool SkinIsTranslucent() {
    return g_skinSettings.engineEnabled && g_skinSettings.translucentControls;
}

// ---- Messages ---------------------------------------------------------------------------------

LRESULT OnShowWindow(HWND hwnd, const ContainerRef& c, WPARAM wp, LPARAM lp) {
    if (wp != 1) return ForwardMessage(hwnd, WM_SHOWWINDOW, wp, lp);
    ForwardMessage(hwnd, WM_SHOWWINDOW, wp, lp);
    if (c.entry->fillChildren) PaintContainerFull(c.windowIndex, c.index, nullptr);
    return DefWindowProcW(hwnd, WM_SHOWWINDOW, wp, lp);
}

LRESULT OnPaint(HWND hwnd, const ContainerRef& c, WPARAM wp, LPARAM lp) {
    if (!c.entry->fillChildren) return ForwardMessage(hwnd, WM_PAINT, wp, lp);
    {
        PaintScope paint(hwnd);
        if (c.entry->installed == 1)
            PaintContainerFull(c.windowIndex, c.index, paint.dc());
        else
            PaintContainerQuick(c.windowIndex, c.index, hwnd, paint.dc());
    }
    return DefWindowProcW(hwnd, WM_PAINT, wp, lp);
}

LRESULT OnNotify(HWND hwnd, WPARAM wp, LPARAM lp) {
    NMHDR header = {};
    if (ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(lp), &header,
                          sizeof(header), nullptr) &&
        (header.code == TVN_ITEMEXPANDINGA || header.code == TVN_ITEMEXPANDEDA))
        InvalidateRect(header.hwndFrom, nullptr, TRUE);
    return ForwardMessage(hwnd, WM_NOTIFY, wp, lp);
}

// A canvas of the container's client area with its decoration.
HDC DecoratedCanvas(int windowIndex, int containerIndex, HWND container, RECT* client) {
    *client = ClientRectOf(container);
    HDC canvas = BackgroundSnapshot(container, *client);
    if (canvas) DecorateContainer(windowIndex, containerIndex, canvas);
    return canvas;
}

void StrokeRounded(GpGraphics* g, float x, float y, float width, float height, int corner,
                   uint32_t argb) {
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    if (!path) return;
    AddRoundedRect(path.get(), x, y, width, height, corner);
    DrawPathArgb(g, path.get(), argb);
}

}  // namespace

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ContainerRef c = FindContainer(hwnd);
    if (!c.entry) return ForwardMessage(hwnd, msg, wp, lp);
    ControlSkinRecord& entry = *c.entry;
    LRESULT answer = 0;
    switch (msg) {
        case WM_MOVE:
            if (entry.fillChildren && (entry.fillAlpha & 0xFF) != 255)
                InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_SIZE:
            entry.installed = 1;
            DockChildren(c.windowIndex, c.index);
            break;
        case WM_SHOWWINDOW:
            return OnShowWindow(hwnd, c, wp, lp);
        case WM_PAINT:
            return OnPaint(hwnd, c, wp, lp);
        case WM_ERASEBKGND:
            if (!entry.fillChildren) break;
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return 1;
        case WM_DRAWITEM:
            DrawButtonItemMessage(c.windowIndex, lp);
            break;
        case WM_NOTIFY:
            return OnNotify(hwnd, wp, lp);
        case WM_COMMAND:
            InvalidateOnContentChange(wp, lp);
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (AnswerControlColour(msg, wp, lp, &answer)) return answer;
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

bool AnswerControlColour(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND child = reinterpret_cast<HWND>(lp);
    HDC dc = reinterpret_cast<HDC>(wp);
    if (!SkinIsTranslucent() || !child) return false;
    switch (msg) {
        case WM_CTLCOLOREDIT:
            // The edit field of a combo box is the combo box's own business.
            if (ClassNameIs(GetParent(child), "ComboBox")) return false;
            *result = reinterpret_cast<LRESULT>(AnswerEditColour(child, dc));
            return true;
        case WM_CTLCOLORSTATIC:
            *result = reinterpret_cast<LRESULT>(AnswerEditColour(child, dc));
            return true;
        case WM_CTLCOLORLISTBOX:
            if (!ClassNameIs(child, "ListBox") || IsOwnerDrawnListBox(child)) return false;
            *result = reinterpret_cast<LRESULT>(AnswerWithHollowBrush(child, dc));
            return true;
        case WM_CTLCOLORBTN:
            *result = reinterpret_cast<LRESULT>(AnswerWithHollowBrush(child, dc));
            return true;
    }
    return false;
}

void InvalidateOnContentChange(WPARAM wp, LPARAM lp) {
    HWND child = reinterpret_cast<HWND>(lp);
    if (!SkinIsTranslucent() || !child) return;
    const WORD code = HIWORD(wp);
    bool changed = false;
    if (ClassNameIs(child, "Edit"))
        changed =
            code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE || code == EN_UPDATE;
    else if (ClassNameIs(child, "ListBox"))
        changed = code == LBN_SELCHANGE || code == LBN_SELCANCEL;
    else if (ClassNameIs(child, "ComboBox"))
        changed = code == CBN_SELCHANGE || code == CBN_KILLFOCUS;
    if (changed) InvalidateRect(child, nullptr, TRUE);
}

HBRUSH AnswerWithHollowBrush(HWND child, HDC dc) {
    SetTextColor(dc, TextColourOf(child));
    SetBkMode(dc, TRANSPARENT);
    // The bitmap of an earlier pattern brush goes with it: nothing else would ever free it.
    DeleteColourAnswer(child);
    auto brush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    SetSkinProp(child, kPropKjBrush, reinterpret_cast<LONG_PTR>(brush));
    return brush;
}

// ---- Painting ---------------------------------------------------------------------------------

void PaintContainerFull(int windowIndex, int containerIndex, HDC dc) {
    ControlSkinRecord* entry = ControlRecord(windowIndex, containerIndex);
    if (!entry || !entry->hwnd) return;
    const HWND container = entry->hwnd;
    RECT rc;
    ScopedCanvas canvas(DecoratedCanvas(windowIndex, containerIndex, container, &rc));
    if (canvas) {
        const bool own = dc == nullptr;
        if (own) dc = ExcludeOpaqueChildren(container, nullptr, 0);
        BitBlt(dc, 0, 0, Width(rc), Height(rc), canvas.get(), 0, 0, SRCCOPY);
        if (own) ReleaseDC(container, dc);
    }
    entry->installed = 0;
}

void PaintContainerQuick(int windowIndex, int containerIndex, HWND container, HDC) {
    RECT rc;
    ScopedCanvas canvas(DecoratedCanvas(windowIndex, containerIndex, container, &rc));
    if (canvas) {
        // Not the paint DC: this one leaves the opaque children alone.
        HDC dc = ExcludeOpaqueChildren(container, nullptr, 0);
        BitBlt(dc, rc.left, rc.top, Width(rc), Height(rc), canvas.get(), rc.left, rc.top, SRCCOPY);
        ReleaseDC(container, dc);
    }
    InvalidateTransparentChildren(container);
}

void DecorateContainer(int windowIndex, int containerIndex, HDC canvas) {
    ControlSkinRecord* entry = ControlRecord(windowIndex, containerIndex);
    if (!entry) return;
    if (entry->isGroupBox) {
        PaintGroupBoxFrame(windowIndex, containerIndex, canvas);
    } else if (entry->borderColour) {
        const RECT rc = ClientRectOf(entry->hwnd);
        const float w = static_cast<float>(Width(rc)), h = static_cast<float>(Height(rc));
        GdipGraphics g = GraphicsOn(canvas);
        if (!g) return;
        StrokeRounded(g.get(), 0, 0, w - 1, h - 1, 5, 0x28000000);
        StrokeRounded(g.get(), 1, 1, w - 3, h - 3, 3, 0x64FFFFFF);
    }
}

void PaintGroupBoxFrame(int windowIndex, int containerIndex, HDC canvas) {
    ControlSkinRecord* entry = ControlRecord(windowIndex, containerIndex);
    if (!entry) return;
    const HWND box = entry->hwnd;
    const RECT rc = ClientRectOf(box);
    const float w = static_cast<float>(Width(rc)), h = static_cast<float>(Height(rc));
    {
        GdipGraphics g = GraphicsOn(canvas);
        if (!g) return;
        StrokeRounded(g.get(), 0, 5, w - 1, h - 6, 5, 0x28000000);
        StrokeRounded(g.get(), 1, 6, w - 3, h - 8, 3, 0x5AFFFFFF);
    }
    const std::string text = WindowTextGbk(box);
    const int tw =
        MeasureTextWidth(text, entry->fontFace.c_str(), entry->fontSize, entry->fontStyle);
    const LONG_PTR style = StyleOf(box);
    float x;
    if (HasStyle(style, BS_CENTER))
        x = (w - tw) / 2;
    else if (HasStyle(style, BS_LEFT))
        x = 10;
    else
        x = w - tw - 10;
    const float captionHeight = static_cast<float>(entry->fontSize + 3);
    const RECT wipe = {static_cast<LONG>(x), 1, static_cast<LONG>(x + tw),
                       static_cast<LONG>(1 + captionHeight)};
    FillBackdropRect(box, canvas, wipe);

    GdipGraphics g = GraphicsOn(canvas);
    TextLayout layout = {entry->fontFace.c_str(), static_cast<float>(entry->fontSize),
                         entry->fontStyle};
    layout.align = Gdiplus::StringAlignmentCenter;
    DrawTextArgb(g.get(), text, layout, ColorRefToArgb(TextColourOf(box)), x, 1,
                 static_cast<float>(tw), captionHeight);
}

void FillBackdropRect(HWND control, HDC dc, const RECT& rect) {
    ScopedCanvas canvas(BackgroundSnapshot(control, rect));
    if (canvas)
        BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), canvas.get(), 0, 0, SRCCOPY);
}

void InvalidateTransparentChildren(HWND hwnd) {
    for (HWND c = FindWindowExA(hwnd, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(hwnd, c, nullptr, nullptr))
        if (IsTransparentWindow(c)) InvalidateRect(c, nullptr, FALSE);
}

void DockChildren(int windowIndex, int containerIndex) {
    ControlSkinRecord* entry = ControlRecord(windowIndex, containerIndex);
    if (!entry) return;
    const RECT rc = ClientRectOf(entry->hwnd);
    for (int k = 1; k <= entry->dockedChildren.Count(); ++k) {
        const DockedChild& docked = entry->dockedChildren[k];
        if (docked.hwnd)
            MoveWindow(docked.hwnd, 2, docked.top, rc.right - 4, rc.bottom - docked.top, TRUE);
    }
}

int MeasureTextWidth(const std::string& text, const char* face, int size, int style) {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    GdipGraphics g = GraphicsOn(dc.get());
    GdipFontFamily family;
    gp::GdipCreateFontFamilyFromName(WideFromGbk(face && *face ? face : "").c_str(), nullptr,
                                     family.out());
    GdipFont font;
    if (family)
        gp::GdipCreateFont(family.get(), static_cast<float>(size), style, Gdiplus::UnitWorld,
                           font.out());
    Gdiplus::RectF box;
    if (g && font) {
        const std::wstring wide = WideFromGbk(text);
        const Gdiplus::RectF layout(0, 0, 0, 0);
        gp::GdipMeasureString(g.get(), wide.c_str(), static_cast<INT>(wide.size()), font.get(),
                              &layout, nullptr, &box, nullptr, nullptr);
    }
    return static_cast<int>(box.Width) + 1;
}

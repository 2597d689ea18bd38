#include "list_frame_painter.h"

#include <commctrl.h>

#include "canvas.h"
#include "geometry.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

constexpr COLORREF kKey = 0x00FF00FF;
constexpr uint32_t kKeyArgb = 0xFFFF00FF;

using ListRef = ControlRef<ListFrameRecord>;

ListRef FindList(HWND hwnd) {
    return FindControl(hwnd, &WindowSkinRecord::listTable);
}

uint32_t Wash() {
    return ColorRefToArgb(0x00FFFFFF, g_skinSettings.overlayAlpha);
}

bool IsComposedOverBackdrop(HWND hwnd) {
    return ClassNameIs(hwnd, WC_LISTVIEWA) ||
           (ClassNameIs(hwnd, "ListBox") && !IsOwnerDrawnListBox(hwnd));
}

// ---- Installer --------------------------------------------------------------------------------

void Register(int windowIndex, HWND control) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    if (!record) return;
    const int index = record->listTable.Add(control);
    ListFrameRecord& entry = record->listTable[index];
    entry.originalProc = SubclassWindow(control, ListFrameProc);
    SetSkinProp(control, kPropHwLbId, index);
    SetSkinProp(control, kPropHwFuId, windowIndex);
    SetSkinProp(control, kPropHwProc, reinterpret_cast<LONG_PTR>(entry.originalProc));
}

// Walks the direct children of `parent` of `className`; `pick` gives the control to register
// (0: none) after preparing it.
template <typename Pick>
void Pass(int windowIndex, HWND parent, const char* className, Pick pick) {
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child;
         child = FindWindowExA(parent, child, className, nullptr))
        if (HWND control = pick(child)) Register(windowIndex, control);
}

// ---- Procedure --------------------------------------------------------------------------------

void Paint(const ListRef& l, int hot, int useHot, int focused, int useFocused) {
    PaintListFrame(l.windowIndex, l.index, hot, useHot, focused, useFocused);
}

LRESULT OnMouseMove(HWND hwnd, const ListRef& l, WPARAM wp, LPARAM lp) {
    RequestMouseLeave(hwnd);
    if (l.index >= 1 && TrackHot(*l.window, kHotList, l.index, l.entry->hot)) Paint(l, 1, 1, 0, 0);
    return ForwardMessage(hwnd, WM_MOUSEMOVE, wp, lp);
}

LRESULT OnMouseLeave(HWND hwnd, const ListRef& l, WPARAM wp, LPARAM lp) {
    l.window->lastHotIndex = 0;
    if (l.index >= 1) {
        l.entry->hot = 0;
        Paint(l, 0, 1, 0, 0);
    }
    return ForwardMessage(hwnd, WM_MOUSELEAVE, wp, lp);
}

LRESULT OnEraseBackground(HWND hwnd, WPARAM wp, LPARAM lp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    if (ClassNameIs(hwnd, WC_TREEVIEWA) || IsComposedOverBackdrop(hwnd)) {
        SetBkMode(dc, TRANSPARENT);
        return 1;  // the paint composes the background
    }
    if (!IsOwnerDrawnListBox(hwnd) && !ClassNameIs(hwnd, "ComboLBox")) {
        SetBkMode(dc, TRANSPARENT);
        FillClientBackdrop(hwnd, dc, true);
        return static_cast<LRESULT>(SetTextColor(dc, TextColourOf(hwnd)));
    }
    return ForwardMessage(hwnd, WM_ERASEBKGND, wp, lp);
}

COLORREF TreeTextColour(HWND tree) {
    const auto colour = static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0));
    return colour == static_cast<COLORREF>(CLR_NONE) ? GetSysColor(COLOR_WINDOWTEXT) : colour;
}

// The tree draws on a canvas whose magenta background is then keyed out over the backdrop, the
// edges of its anti-aliased item texts with it.
LRESULT PaintTreeView(HWND hwnd, LPARAM lp) {
    const RECT client = ClientRectOf(hwnd);
    const int cw = Width(client), ch = Height(client);
    {
        ScopedCanvas tree(BackgroundSnapshot(hwnd, client));
        ScopedCanvas back(ClientBackdropCanvas(hwnd));
        if (tree && back) {
            CallWindowProcW(reinterpret_cast<WNDPROC>(SkinProp(hwnd, kPropHwProc)), hwnd, WM_PAINT,
                            reinterpret_cast<WPARAM>(tree.get()), lp);
            HDC dc = ExcludeOpaqueChildren(hwnd, nullptr, 0);
            KeyOver(back.get(), tree.get(), cw, ch, kKey, TreeTextColour(hwnd));
            BitBlt(dc, 0, 0, cw, ch, back.get(), 0, 0, SRCCOPY);
            ReleaseDC(hwnd, dc);
        }
    }
    return DefWindowProcW(hwnd, WM_PAINT, 0, lp);
}

// List views and list boxes draw their content straight onto the backdrop.
LRESULT PaintOverBackdrop(HWND hwnd, LPARAM lp) {
    const RECT client = ClientRectOf(hwnd);
    {
        ScopedCanvas back(ClientBackdropCanvas(hwnd));
        PaintScope paint(hwnd);
        if (back) {
            CallWindowProcW(reinterpret_cast<WNDPROC>(SkinProp(hwnd, kPropHwProc)), hwnd, WM_PAINT,
                            reinterpret_cast<WPARAM>(back.get()), lp);
            BitBlt(paint.dc(), 0, 0, Width(client), Height(client), back.get(), 0, 0, SRCCOPY);
        }
    }
    InvalidateVisibleChildren(hwnd);  // a list view's header paints over the result
    return DefWindowProcW(hwnd, WM_PAINT, 0, lp);
}

LRESULT OnPaint(HWND hwnd, const ListRef& l, WPARAM wp, LPARAM lp) {
    Paint(l, 0, 0, 0, 0);
    if (ClassNameIs(hwnd, WC_TREEVIEWA)) return PaintTreeView(hwnd, lp);
    if (IsComposedOverBackdrop(hwnd)) return PaintOverBackdrop(hwnd, lp);
    return ForwardMessage(hwnd, WM_PAINT, wp, lp);
}

LRESULT OnNonClientPaint(HWND hwnd, const ListRef& l, LPARAM lp) {
    Paint(l, 0, 0, 0, 0);
    GdiRegion bars(HasScrollBars(hwnd) ? ScrollBarRegion(hwnd) : nullptr);
    return DefaultNonClientPaint(hwnd, bars.get(), lp);
}

}  // namespace

void InstallListFrames(int windowIndex, HWND parent) {
    if (!g_skinSettings.engineEnabled) return;
    Pass(windowIndex, parent, "ListBox", [](HWND list) { return list; });
    Pass(windowIndex, parent, "ComboBox", [](HWND combo) -> HWND {
        HWND list = FindWindowExA(combo, nullptr, "ComboLBox", nullptr);
        return list && !HasStyle(StyleOf(list), LBS_OWNERDRAWFIXED) ? list : nullptr;
    });
    Pass(windowIndex, parent, WC_LISTVIEWA, [](HWND view) -> HWND {
        if (HasStyle(StyleOf(view), LVS_SORTASCENDING)) return nullptr;
        if (g_skinSettings.translucentControls)
            SendMessageW(view, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
        return view;
    });
    Pass(windowIndex, parent, WC_TREEVIEWA, [](HWND tree) {
        if (g_skinSettings.translucentControls)
            SendMessageW(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(kKey));
        return tree;
    });
    Pass(windowIndex, parent, WC_IPADDRESSA, [](HWND field) { return field; });
    Pass(windowIndex, parent, DATETIMEPICK_CLASSA, [](HWND picker) { return picker; });
}

LRESULT CALLBACK ListFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ListRef l = FindList(hwnd);
    if (!l) return ForwardMessage(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, l, wp, lp);
        case WM_MOUSELEAVE:
            return OnMouseLeave(hwnd, l, wp, lp);
        case WM_SETFOCUS:
            l.entry->focused = 1;
            Paint(l, 0, 0, 0, 0);
            break;
        case WM_KILLFOCUS:
            l.entry->focused = 0;
            Paint(l, 0, 0, 0, 0);
            break;
        case WM_MOVE:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_KEYDOWN:
            if (wp == VK_LEFT || wp == VK_UP || wp == VK_RIGHT || wp == VK_DOWN)
                l.entry->arrowKeyDown = 1;
            break;
        case WM_KEYUP:
            ReleaseCapture();
            l.entry->arrowKeyDown = 0;
            break;
        case kListArrowRepaint:
            if (l.entry->arrowKeyDown) InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_ERASEBKGND:
            return OnEraseBackground(hwnd, wp, lp);
        case WM_PAINT:
            return OnPaint(hwnd, l, wp, lp);
        case WM_NCPAINT:
            return OnNonClientPaint(hwnd, l, lp);
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void PaintListFrame(int windowIndex, int recordIndex, int hot, int useHot, int focused,
                    int useFocused) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    ListFrameRecord* entry = record ? record->listTable.At(recordIndex) : nullptr;
    if (!entry || !entry->hwnd) return;
    const HWND control = entry->hwnd;
    const RECT full = WindowRectAtOrigin(control);
    const int W = Width(full), H = Height(full);
    const bool isHot = (useHot ? hot : entry->hot) != 0;
    const bool isFocused = (useFocused ? focused : entry->focused) != 0;
    const RECT inner = ListFrameInnerRect(control);

    ScopedCanvas canvas(BackgroundSnapshot(control, full));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        if (!g) return;
        const float w = static_cast<float>(W), h = static_cast<float>(H);
        if (ClassNameIs(control, "ComboLBox") || !HasFrameBorder(control)) {
            gp::GdipGraphicsClear(g.get(), kKeyArgb);
        } else {
            gp::GdipSetClipRect(g.get(), 0, 0, w, h, Gdiplus::CombineModeReplace);
            gp::GdipSetClipRect(g.get(), static_cast<float>(inner.left),
                                static_cast<float>(inner.top), static_cast<float>(Width(inner)),
                                static_cast<float>(Height(inner)), Gdiplus::CombineModeXor);
            FillRectArgb(g.get(), Wash(), 0, 0, w, h);
            gp::GdipResetClip(g.get());
            ClearRectArgb(g.get(), kKeyArgb, static_cast<float>(inner.left),
                          static_cast<float>(inner.top), static_cast<float>(Width(inner)),
                          static_cast<float>(Height(inner)));
            if (isHot)
                DrawRectArgb(g.get(), ThemeArgb(200), 2.0f, 1, 1, w - 2, h - 2);
            else if (isFocused)
                DrawRectArgb(g.get(), ThemeArgb(200), 1.0f, 0, 0, w - 1, h - 1);
            else
                DrawRectArgb(g.get(), 0x5A000000, 1.0f, 0, 0, w - 1, h - 1);
        }
    }
    WindowDc dc(control, WindowDc::kWholeWindow);
    ExcludeClipRect(dc.get(), inner.left, inner.top, inner.right, inner.bottom);
    TransparentBlt(dc.get(), 0, 0, W, H, canvas.get(), 0, 0, W, H, kKey);
}

bool HasFrameBorder(HWND hwnd) {
    const LONG_PTR ex = ExStyleOf(hwnd);
    return HasStyle(StyleOf(hwnd), WS_BORDER) || HasStyle(ex, WS_EX_WINDOWEDGE) ||
           HasStyle(ex, WS_EX_CLIENTEDGE) || HasStyle(ex, WS_EX_DLGMODALFRAME);
}

bool IsOwnerDrawnListBox(HWND hwnd) {
    const LONG_PTR style = StyleOf(hwnd);
    return ClassNameIs(hwnd, "ListBox") &&
           (HasStyle(style, LBS_OWNERDRAWFIXED) || HasStyle(style, LBS_OWNERDRAWVARIABLE));
}

#include "edit_painter.h"

#include "canvas.h"
#include "drawing.h"
#include "gbk_text.h"
#include "geometry.h"
#include "images.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

constexpr COLORREF kKey = 0x00FF00FF;
constexpr uint32_t kKeyArgb = 0xFFFF00FF;

using EditRef = ControlRef<EditRecord>;
using ComboRef = ControlRef<ComboRecord>;

EditRef FindEdit(HWND hwnd) {
    return FindControl(hwnd, &WindowSkinRecord::editTable);
}
ComboRef FindCombo(HWND hwnd) {
    return FindControl(hwnd, &WindowSkinRecord::comboTable);
}

void RegisterEdit(int windowIndex, HWND edit, WindowSkinRecord& record) {
    const int index = record.editTable.Add(edit);
    EditRecord& entry = record.editTable[index];
    SetSkinProp(edit, kPropHwLbId, index);
    SetSkinProp(edit, kPropHwFuId, windowIndex);
    SetSkinProp(edit, kPropKjTextColour, 0);
    entry.originalProc = SubclassWindow(edit, EditProc);
    SetSkinProp(edit, kPropHwProc, reinterpret_cast<LONG_PTR>(entry.originalProc));
}

// ---- Edit procedure ---------------------------------------------------------------------------

void Invalidate(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
}

bool TranslucentWithoutBars(HWND hwnd) {
    return g_skinSettings.translucentControls && !HasScrollBars(hwnd);
}

LRESULT OnEditMouseMove(HWND hwnd, const EditRef& e, WPARAM wp, LPARAM lp) {
    RequestMouseLeave(hwnd);
    WindowSkinRecord& w = *e.window;
    w.hotIndex = e.index;
    const HWND parent = GetParent(hwnd);
    if (!(w.hotIndex == w.lastHotIndex && w.hotKind == kHotEdit && parent == w.hotParent)) {
        e.entry->hot = 1;
        PaintEditFrame(hwnd, 0, 0, 1, 1);
        w.lastHotIndex = w.hotIndex;
        w.hotKind = kHotEdit;
        w.hotParent = parent;
    }
    // A selection being dragged is composed again over the backdrop.
    if (e.entry->mouseDown && !HasScrollBars(hwnd)) Invalidate(hwnd);
    return ForwardMessage(hwnd, WM_MOUSEMOVE, wp, lp);
}

LRESULT OnEditMouseLeave(HWND hwnd, const EditRef& e, WPARAM wp, LPARAM lp) {
    e.window->lastHotIndex = 0;
    e.entry->hot = 0;
    PaintEditFrame(hwnd, e.entry->focused ? 1 : 0, 1, 0, 0);
    return ForwardMessage(hwnd, WM_MOUSELEAVE, wp, lp);
}

LRESULT OnEditEraseBackground(HWND hwnd, WPARAM wp, LPARAM lp) {
    if (!g_skinSettings.translucentControls) return ForwardMessage(hwnd, WM_ERASEBKGND, wp, lp);
    HDC dc = reinterpret_cast<HDC>(wp);
    SetBkMode(dc, TRANSPARENT);
    FillClientBackdrop(hwnd, dc, true);
    return 1;
}

LRESULT OnEditNonClientPaint(HWND hwnd, LPARAM lp) {
    PaintEditFrame(hwnd, 0, 0, 0, 0);
    GdiRegion bars(ScrollBarRegion(hwnd));
    return DefaultNonClientPaint(hwnd, bars.get(), lp);
}

LRESULT OnEditKillFocus(HWND hwnd, const EditRef& e, WPARAM wp, LPARAM lp) {
    if (e.index >= 1) {
        e.entry->focused = 0;
        if (!ClassNameIs(GetParent(hwnd), "ComboBox")) Invalidate(hwnd);
    }
    return ForwardMessage(hwnd, WM_KILLFOCUS, wp, lp);
}

// ---- Combo procedure --------------------------------------------------------------------------

void PaintCombo(const ComboRef& c, int hot, int ignored, int focused, int useFocused) {
    PaintComboBox(c.windowIndex, c.index, hot, ignored, focused, useFocused);
}

LRESULT OnComboMouseMove(HWND hwnd, const ComboRef& c, WPARAM wp, LPARAM lp) {
    RequestMouseLeave(hwnd);
    if (TrackHot(*c.window, kHotCombo, c.index, c.entry->hot)) PaintCombo(c, 1, 1, 0, 0);
    return ForwardMessage(hwnd, WM_MOUSEMOVE, wp, lp);
}

LRESULT OnComboMouseLeave(HWND hwnd, const ComboRef& c, WPARAM wp, LPARAM lp) {
    PaintCombo(c, 0, 1, 0, 0);
    LeaveHot(*c.window, c.entry->hot);
    return ForwardMessage(hwnd, WM_MOUSELEAVE, wp, lp);
}

LRESULT OnComboPaint(HWND hwnd, const ComboRef& c, WPARAM wp, LPARAM lp) {
    {
        PaintScope paint(hwnd);
        PaintCombo(c, 0, 0, 0, 0);
    }
    return DefWindowProcW(hwnd, WM_PAINT, wp, lp);
}

LRESULT OnComboCommand(HWND hwnd, WPARAM wp, LPARAM lp) {
    HWND child = reinterpret_cast<HWND>(lp);
    if (g_skinSettings.translucentControls && g_skinSettings.engineEnabled && child &&
        ClassNameIs(child, "Edit")) {
        switch (HIWORD(wp)) {
            case EN_VSCROLL:
            case EN_HSCROLL:
            case EN_CHANGE:
            case EN_UPDATE:
                Invalidate(child);
                break;
        }
    }
    return ForwardMessage(hwnd, WM_COMMAND, wp, lp);
}

// The combo box's child windows keep their own pixels: their areas are cleared to the key.
void KeyOutChildren(GpGraphics* g, HWND combo, LONG_PTR style) {
    const bool all = HasStyle(style, CBS_SIMPLE);
    for (HWND c = FindWindowExA(combo, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(combo, c, nullptr, nullptr)) {
        RECT r = RectInParentWindow(c);
        if (ClassNameIs(c, "ComboLBox")) InflateRect(&r, -2, -2);
        ClearRectArgb(g, kKeyArgb, static_cast<float>(r.left), static_cast<float>(r.top),
                      static_cast<float>(Width(r)), static_cast<float>(Height(r)));
        if (!all) break;
    }
}

}  // namespace

// ---- Installer --------------------------------------------------------------------------------

int EditIndex(int windowIndex, HWND hwnd) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    return record ? record->editTable.Find(hwnd) : 0;
}

void InstallEditsAndCombos(int windowIndex, HWND parent) {
    InstallChildren(
        windowIndex, parent, "Edit", &WindowSkinRecord::editTable, true, EditProc,
        [](HWND, LONG_PTR) { return true; },
        [](EditRecord&, HWND edit, LONG_PTR) { SetSkinProp(edit, kPropKjTextColour, 0); });

    InstallChildren(
        windowIndex, parent, "ComboBox", &WindowSkinRecord::comboTable, false, ComboProc,
        [](HWND, LONG_PTR) { return true; },
        [windowIndex](ComboRecord&, HWND combo, LONG_PTR) {
            // The selected item becomes the window text a drop-down list draws.
            const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (sel >= 0) {
                const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0);
                if (n >= 0) {
                    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
                    SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&text[0]));
                    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                }
            }
            HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
            if (edit && g_skinSettings.translucentControls)
                RegisterEdit(windowIndex, edit, *WindowRecord(windowIndex));
        });
}

// ---- Edit fields ------------------------------------------------------------------------------

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) DeleteColourAnswer(hwnd);
    EditRef e = FindEdit(hwnd);
    if (!e) return ForwardMessage(hwnd, msg, wp, lp);
    const bool translucent = g_skinSettings.translucentControls != 0;
    switch (msg) {
        case WM_MOVE:
            if (translucent) Invalidate(hwnd);
            break;
        case WM_SETFOCUS:
            if (e.index >= 1) e.entry->focused = 1;
            break;
        case WM_KILLFOCUS:
            return OnEditKillFocus(hwnd, e, wp, lp);
        case WM_PAINT:
            PaintEditFrame(hwnd, 0, 0, 0, 0);
            break;
        case WM_ERASEBKGND:
            return OnEditEraseBackground(hwnd, wp, lp);
        case WM_NCPAINT:
            return OnEditNonClientPaint(hwnd, lp);
        case WM_KEYDOWN:
            if (TranslucentWithoutBars(hwnd)) Invalidate(hwnd);
            break;
        case WM_LBUTTONDOWN:
            e.entry->mouseDown = 1;
            if (TranslucentWithoutBars(hwnd)) Invalidate(hwnd);
            break;
        case WM_LBUTTONUP:
            e.entry->mouseDown = 0;
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (translucent) Invalidate(hwnd);
            break;
        case WM_MOUSEMOVE:
            return OnEditMouseMove(hwnd, e, wp, lp);
        case WM_MOUSELEAVE:
            return OnEditMouseLeave(hwnd, e, wp, lp);
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void PaintEditFrame(HWND edit, int focused, int useFocused, int hot, int useHot) {
    EditRef e = FindEdit(edit);
    if (!e) return;
    const int isFocused = useFocused ? focused : e.entry->focused;
    const int isHot = useHot ? hot : e.entry->hot;
    const RECT window = WindowRectAtOrigin(edit);
    const RECT inner = ListFrameInnerRect(edit);
    const float W = static_cast<float>(Width(window)), H = static_cast<float>(Height(window));

    ScopedCanvas canvas(BackgroundSnapshot(edit, window));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        if (!g) return;
        gp::GdipSetClipRect(g.get(), 0, 0, W, H, Gdiplus::CombineModeReplace);
        gp::GdipSetClipRect(g.get(), static_cast<float>(inner.left), static_cast<float>(inner.top),
                            static_cast<float>(Width(inner)), static_cast<float>(Height(inner)),
                            Gdiplus::CombineModeXor);
        if (g_skinSettings.translucentControls)
            FillRectArgb(g.get(), ControlWash(), 0, 0, W, H);
        else
            gp::GdipGraphicsClear(g.get(), 0xFFFFFFFF);
        PaintEditOutline(edit, isFocused, 1, isHot, 1, g.get());
    }
    WindowDc dc(edit, WindowDc::kWholeWindow);
    ExcludeClipRect(dc.get(), inner.left, inner.top, inner.right, inner.bottom);
    BitBlt(dc.get(), 0, 0, Width(window), Height(window), canvas.get(), 0, 0, SRCCOPY);
}

void PaintEditOutline(HWND edit, int focused, int useFocused, int hot, int useHot, GpGraphics* g) {
    const int i = OwningWindowIndex(edit);
    if (i == 0) return;
    int isFocused = focused, isHot = hot;
    if (int k = EditIndex(i, edit)) {
        const EditRecord& entry = WindowRecord(i)->editTable[k];
        isFocused = useFocused ? focused : entry.focused;
        isHot = useHot ? hot : entry.hot;
    }
    const RECT window = WindowRectAtOrigin(edit);
    const float W = static_cast<float>(Width(window)), H = static_cast<float>(Height(window));
    if (isHot)
        DrawRectArgb(g, ThemeArgb(180), 2.0f, 1, 1, W - 2, H - 2);
    else if (isFocused)
        DrawRectArgb(g, ThemeArgb(180), 1.0f, 0, 0, W - 1, H - 1);
    else
        DrawRectArgb(g, 0x50000000, 1.0f, 0, 0, W - 1, H - 1);
}

// ---- Combo boxes ------------------------------------------------------------------------------

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ComboRef c = FindCombo(hwnd);
    if (!c) return ForwardMessage(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_MOUSEMOVE:
            return OnComboMouseMove(hwnd, c, wp, lp);
        case WM_MOUSELEAVE:
            return OnComboMouseLeave(hwnd, c, wp, lp);
        case WM_MOVE:
            PaintCombo(c, 0, 0, 0, 0);
            break;
        case WM_SETFOCUS:
            c.entry->focused = 1;
            PaintCombo(c, 0, 0, 1, 1);
            break;
        case WM_KILLFOCUS:
            c.entry->focused = 0;
            break;
        case WM_SETTEXT:
            if (FindWindowExA(hwnd, nullptr, "Edit", nullptr)) Invalidate(hwnd);
            break;
        case WM_PAINT:
            return OnComboPaint(hwnd, c, wp, lp);
        case WM_ERASEBKGND:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return 1;
        case WM_NCPAINT:
            PaintCombo(c, 0, 0, 0, 0);
            return DefaultNonClientPaint(hwnd, nullptr, lp);
        case WM_COMMAND:
            return OnComboCommand(hwnd, wp, lp);
        case WM_CTLCOLOREDIT:
            if (g_skinSettings.translucentControls)
                return reinterpret_cast<LRESULT>(
                    AnswerEditColour(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp)));
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void PaintComboBox(int windowIndex, int comboIndex, int hot, int, int focused, int useFocused) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    ComboRecord* entry = record ? record->comboTable.At(comboIndex) : nullptr;
    if (!entry || !entry->hwnd) return;
    const HWND combo = entry->hwnd;
    const bool isFocused = (useFocused ? focused : entry->focused) != 0;
    const LONG_PTR style = StyleOf(combo);
    const RECT R = WindowRectAtOrigin(combo);
    const int W = Width(R), H = Height(R);
    const int bw = HasStyle(style, CBS_DROPDOWNLIST) ? 17 : 18;
    const float bx = static_cast<float>(W - bw - 2), by = 2, bh = static_cast<float>(H - 4);

    ScopedCanvas canvas(BackgroundSnapshot(combo, R));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        if (!g) return;
        FillRectArgb(g.get(), ControlWash(), 0, 0, static_cast<float>(W), static_cast<float>(H));
        KeyOutChildren(g.get(), combo, style);
        DrawRectArgb(g.get(), hot || isFocused ? ThemeArgb(200) : 0x50000000, 1.0f, 0, 0,
                     static_cast<float>(W - 1), static_cast<float>(H - 1));
        if (HasStyle(style, CBS_DROPDOWN)) {
            GdipPath outline, fill;
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, outline.out());
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, fill.out());
            if (outline && fill) {
                AddRoundedRect(outline.get(), bx, by, static_cast<float>(bw - 1), bh - 1, 4);
                DrawPathArgb(g.get(), outline.get(), hot ? ThemeArgb(200) : 0x50000000);
                AddRoundedRect(fill.get(), bx + 1, by + 1, static_cast<float>(bw - 2), bh - 2, 1);
                FillPathGradient(g.get(), fill.get(), bx + 1, by, bx + 1, by + bh - 2,
                                 hot ? 0x64FFFFFF : ThemeArgb(30),
                                 hot ? ThemeArgb(150) : ThemeArgb(100));
            }
            DrawImageCentredOn(g.get(), SkinImages().arrowDown, bx + bw / 2.0f, by + bh / 2);
            if (HasStyle(style, CBS_SIMPLE)) {
                TextLayout layout = {"宋体", 12, 0};
                layout.defaultFormat = true;
                DrawTextArgb(g.get(), WindowTextGbk(combo), layout,
                             ColorRefToArgb(TextColourOf(combo)), 2, static_cast<float>(H - 12) / 2,
                             static_cast<float>(W - 17), static_cast<float>(H - 4));
            }
        }
    }
    WindowDc dc(combo, WindowDc::kWholeWindow);
    TransparentBlt(dc.get(), 0, 0, W, H, canvas.get(), 0, 0, W, H, kKey);
}

// ---- Helpers ----------------------------------------------------------------------------------

HBITMAP EditBackdropBitmap(HWND edit) {
    const RECT r = ClientRectInWindow(edit);
    const int cw = Width(r), ch = Height(r);
    ScopedCanvas canvas(BackgroundSnapshot(edit, r));
    if (!canvas) return nullptr;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        FillRectArgb(g.get(), ControlWash(), 0, 0, static_cast<float>(cw), static_cast<float>(ch));
    }
    MemoryDc memory(CreateCompatibleDC(nullptr));
    GdiBitmap bitmap(CreateCompatibleBitmap(canvas.get(), cw, ch));
    if (!memory || !bitmap) return nullptr;
    {
        ScopedSelect select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, cw, ch, canvas.get(), 0, 0, SRCCOPY);
    }
    return bitmap.release();
}

HBRUSH AnswerEditColour(HWND edit, HDC dc) {
    SetTextColor(dc, TextColourOf(edit));
    SetBkMode(dc, TRANSPARENT);
    DeleteColourAnswer(edit);
    GdiBitmap bitmap(EditBackdropBitmap(edit));
    GdiBrush brush(bitmap ? CreatePatternBrush(bitmap.get()) : nullptr);
    if (!brush) return nullptr;
    SetSkinProp(edit, kPropKjBrush, reinterpret_cast<LONG_PTR>(brush.get()));
    SetSkinProp(edit, kPropKjBrushBitmap, reinterpret_cast<LONG_PTR>(bitmap.release()));
    return brush.release();
}

RECT RectInParentWindow(HWND hwnd) {
    if (FindWindowIndex(hwnd) >= 1) return RECT{};
    return RectRelativeTo(GetParent(hwnd), hwnd);
}

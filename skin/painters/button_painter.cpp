#include "button_painter.h"

#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "control_font.h"
#include "drawing.h"
#include "gbk_text.h"
#include "geometry.h"
#include "images.h"
#include "paint_tools.h"
#include "picture_cache.h"
#include "registry.h"

namespace {

// The focus glow stays cyan whatever the theme colour.
constexpr COLORREF kGlowColour = 0x00DDCA22;
constexpr int kBoxSize = 13;
constexpr int kCorner = 5;

using ButtonRef = ControlRef<ButtonRecord>;

PictureCache g_pushButtonPictures;

ButtonRef FindButton(HWND hwnd) {
    return FindControl(hwnd, &WindowSkinRecord::buttonTable);
}

uint32_t TextArgb(HWND button) {
    return ColorRefToArgb(TextColourOf(button));
}

int ButtonType(LONG_PTR style) {
    return static_cast<int>(style & 0xF);
}

// ---- Installers -----------------------------------------------------------------------------

bool IsPushType(HWND, LONG_PTR style) {
    const int type = ButtonType(style);
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON;
}

bool IsCheckType(HWND, LONG_PTR style) {
    switch (ButtonType(style)) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_PUSHBOX:
        case BS_AUTORADIOBUTTON:
            return true;
    }
    return false;
}

void FillPushButton(ButtonRecord& entry, HWND button, LONG_PTR style) {
    entry.kind = kPushButton;
    // Owner-drawn from now on; every other style bit stays.
    SetWindowLongPtrW(button, GWL_STYLE, style | BS_OWNERDRAW);
    entry.text = WindowTextGbk(button);
    const ControlFont font = PushButtonFont(QueryControlFont(button));
    entry.fontFace = font.face;
    entry.fontSize = font.size;
    entry.fontStyle = font.style;
}

void FillCheckButton(ButtonRecord& entry, HWND button, LONG_PTR style) {
    entry.kind = ButtonType(style) == BS_AUTORADIOBUTTON ? kRadioButton : kCheckBox;
    entry.text = WindowTextGbk(button);
    // No fallback here: a font without a face draws no text.
    ControlFont font = QueryControlFont(button);
    entry.fontFace = font.face;
    entry.fontSize = font.size;
    entry.fontStyle = font.style;
}

// ---- Procedure --------------------------------------------------------------------------------

// After the system has drawn a check or radio button its own way, draw it the skin's way again.
LRESULT RepaintCheckKind(HWND hwnd, const ButtonRecord& entry, UINT msg, WPARAM wp, LPARAM lp) {
    ForwardMessage(hwnd, msg, wp, lp);
    if (entry.kind == kRadioButton)
        PaintRadioButton(hwnd, kStatePressed);
    else
        PaintCheckBox(hwnd, 0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT OnMouseMove(HWND hwnd, const ButtonRef& b, WPARAM wp, LPARAM lp) {
    RequestMouseLeave(hwnd);
    if (TrackHot(*b.window, kHotButton, b.index, b.entry->hot)) RepaintButton(hwnd, 0, true);
    return ForwardMessage(hwnd, WM_MOUSEMOVE, wp, lp);
}

LRESULT OnMouseLeave(HWND hwnd, const ButtonRef& b, WPARAM wp, LPARAM lp) {
    LeaveHot(*b.window, b.entry->hot);
    RepaintButton(hwnd, b.entry->focused ? kStateFocus : 0, false);
    return ForwardMessage(hwnd, WM_MOUSELEAVE, wp, lp);
}

LRESULT OnPaint(HWND hwnd, const ButtonRecord& entry, WPARAM wp, LPARAM lp) {
    // Push buttons are painted by their parent's WM_DRAWITEM, which the system sends from here.
    if (entry.kind == kPushButton) return ForwardMessage(hwnd, WM_PAINT, wp, lp);
    {
        PaintScope paint(hwnd);
        if (entry.kind == kRadioButton)
            PaintRadioButton(hwnd, 0);
        else
            PaintCheckBox(hwnd, 0);
    }
    return DefWindowProcW(hwnd, WM_PAINT, wp, lp);
}

LRESULT OnEraseBackground(HWND hwnd, WPARAM wp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<LRESULT>(SetTextColor(dc, TextColourOf(hwnd)));
}

LRESULT OnSetText(HWND hwnd, ButtonRecord& entry, WPARAM wp, LPARAM lp) {
    entry.text = lp ? GbkForDisplay(reinterpret_cast<const wchar_t*>(lp)) : "";
    return ForwardMessage(hwnd, WM_SETTEXT, wp, lp);
}

}  // namespace

void InstallPushButtons(int windowIndex, HWND parent) {
    InstallChildren(windowIndex, parent, "BUTTON", &WindowSkinRecord::buttonTable, true, ButtonProc,
                    IsPushType, FillPushButton);
}

void InstallCheckButtons(int windowIndex, HWND parent) {
    InstallChildren(windowIndex, parent, "BUTTON", &WindowSkinRecord::buttonTable, false,
                    ButtonProc, IsCheckType, FillCheckButton);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Check boxes ask their parent for WM_CTLCOLORSTATIC whenever the system draws them.
    if (msg == WM_DESTROY) {
        DeleteColourAnswer(hwnd);
        g_pushButtonPictures.Forget(hwnd);
    }
    ButtonRef b = FindButton(hwnd);
    if (!b) return ForwardMessage(hwnd, msg, wp, lp);
    ButtonRecord& entry = *b.entry;
    const bool checkKind = entry.kind != kPushButton;
    switch (msg) {
        case WM_MOUSEMOVE:
            return OnMouseMove(hwnd, b, wp, lp);
        case WM_MOUSELEAVE:
            return OnMouseLeave(hwnd, b, wp, lp);
        case WM_MOVE:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_LBUTTONDOWN:
            if (checkKind) return RepaintCheckKind(hwnd, entry, msg, wp, lp);
            break;
        case WM_LBUTTONUP:
            b.window->lastHotIndex = 0;
            break;
        case WM_LBUTTONDBLCLK:
            return 0;  // a double click is not a second click
        case WM_KEYDOWN:
            if (wp == VK_SPACE && checkKind) return RepaintCheckKind(hwnd, entry, msg, wp, lp);
            break;
        case BM_SETCHECK:
            if (checkKind) return RepaintCheckKind(hwnd, entry, msg, wp, lp);
            break;
        case WM_PAINT:
            return OnPaint(hwnd, entry, wp, lp);
        case WM_ERASEBKGND:
            return OnEraseBackground(hwnd, wp);
        case WM_NCPAINT:
            return 1;
        case WM_SETFOCUS:
            entry.focused = 1;
            break;
        case WM_KILLFOCUS:
            entry.focused = 0;
            break;
        case WM_SETTEXT:
            return OnSetText(hwnd, entry, wp, lp);
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void RepaintButton(HWND button, UINT state, bool hover) {
    ButtonRef b = FindButton(button);
    if (!b) return;
    WindowDc dc(button);
    const RECT client = ClientRectOf(button);
    if (hover) state |= kStateHot;
    switch (b.entry->kind) {
        case kPushButton:
            PaintPushButton(button, dc.get(), state, client);
            break;
        case kRadioButton:
            PaintRadioButton(button, state);
            break;
        case kCheckBox:
            PaintCheckBox(button, state);
            break;
    }
}

void DrawButtonItem(int windowIndex, const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON || SkinProp(item.hwndItem, kPropHwLbId) < 1) return;
    WindowSkinRecord* record = WindowRecord(windowIndex);
    if (!record) return;
    const ButtonRecord* entry =
        record->buttonTable.At(static_cast<int>(SkinProp(item.hwndItem, kPropHwLbId)));
    // Another table's index on a foreign item must not paint some other button's record.
    if (!entry || entry->hwnd != item.hwndItem || entry->kind != kPushButton) return;
    PaintPushButton(item.hwndItem, item.hDC, item.itemState, item.rcItem);
}

void DrawButtonItemMessage(int windowIndex, LPARAM lp) {
    // Copied through ReadProcessMemory: a bad pointer from a foreign sender fails the read instead
    // of faulting.
    DRAWITEMSTRUCT item = {};
    if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(lp), &item,
                           sizeof(item), nullptr))
        return;
    DrawButtonItem(windowIndex, item);
}

ControlFont PushButtonFont(const ControlFont& font) {
    ControlFont result = font;
    if (result.face.empty()) result.face = "宋体";
    if (result.size == 0) result.size = 12;
    return result;
}

// ---- Shapes -----------------------------------------------------------------------------------

void StrokeGlow(GpGraphics* g, GpPath* path, int count, COLORREF colour, int alpha) {
    GdipPen pen;
    gp::GdipCreatePen1(ColorRefToArgb(colour, alpha), 1.0f, Gdiplus::UnitWorld, pen.out());
    if (!g || !path || !pen) return;
    for (int i = 1; i <= count; ++i) {
        gp::GdipSetPenWidth(pen.get(), static_cast<float>(i));
        gp::GdipDrawPath(g, pen.get(), path);
    }
}

// ---- Painters ---------------------------------------------------------------------------------

namespace {

// The push button's face and text over the backdrop already on the canvas; false when GDI+
// could not draw.
bool DrawPushButtonFace(HWND button, const ButtonRecord& entry, HDC canvas, UINT state,
                        const RECT& rect) {
    const int L = rect.left, T = rect.top, W = Width(rect), H = Height(rect);
    const float l = static_cast<float>(L), t = static_cast<float>(T);
    const float w = static_cast<float>(W), h = static_cast<float>(H);
    GdipGraphics g = GraphicsOn(canvas);
    GdipPath face;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, face.out());
    if (!g || !face) return false;
    AddRoundedRect(face.get(), l, t, w - 1, h - 1, kCorner);

    FillPathArgb(g.get(), face.get(), 0x78FFFFFF);
    if (state & kStateDisabled) {
        FillRectArgb(g.get(), 0xFFC0C0C0, l, t, w, h);
        DrawPathArgb(g.get(), face.get(), 0x50000000);
    } else {
        FillPathGradient(g.get(), face.get(), l, t, l, t + h - 1, 0x00FFFFFF, 0x3C808080);
        GdipPath gloss;
        gp::GdipCreatePath(Gdiplus::FillModeAlternate, gloss.out());
        if (gloss) {
            AddTopRoundedRect(gloss.get(), L, T, W - 1, H / 2, kCorner);
            FillPathGradient(g.get(), gloss.get(), l, t, l, t + h / 2, 0x32FFFFFF, 0x0AFFFFFF);
        }
        if (state & kStateHot) {
            FillPathGradient(g.get(), face.get(), l, t, l, t + h - 1, ThemeArgb(60), ThemeArgb(10));
            DrawPathArgb(g.get(), face.get(), ThemeArgb(255));
        } else if (state & kStateFocus) {
            StrokeGlow(g.get(), face.get(), 3, kGlowColour, 120);
            DrawPathArgb(g.get(), face.get(), 0x46000000);
        } else {
            DrawPathArgb(g.get(), face.get(), 0x78000000);
        }
        if (state & kStatePressed) {
            GdipPath pressed;
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, pressed.out());
            if (pressed) {
                AddRoundedRect(pressed.get(), l + 2, t + 2, w - 3, h - 3, kCorner);
                FillPathGradient(g.get(), pressed.get(), 2, 2, 2, h - 2, ThemeArgb(60), 0x64FFFFFF);
            }
        }
    }
    TextLayout layout = {entry.fontFace.c_str(), static_cast<float>(entry.fontSize),
                         entry.fontStyle};
    layout.align = Gdiplus::StringAlignmentCenter;
    layout.lineAlign = Gdiplus::StringAlignmentCenter;
    DrawTextArgb(g.get(), entry.text, layout, TextArgb(button), 0, 2, w, h);
    return true;
}

}  // namespace

void PaintPushButton(HWND button, HDC target, UINT state, const RECT& rect) {
    ButtonRef b = FindButton(button);
    if (!b) return;
    const ButtonRecord& entry = *b.entry;
    const int W = Width(rect), H = Height(rect);
    ScopedCanvas canvas(BackgroundSnapshot(button, rect));
    if (!canvas) return;
    // The face is drawn from the backdrop and these alone: a picture kept from the same ones is
    // copied instead of drawn again.
    const std::string inputs = std::to_string(state) + ' ' + std::to_string(rect.left) + ' ' +
                               std::to_string(rect.top) + ' ' + std::to_string(TextArgb(button)) +
                               ' ' + std::to_string(ThemeArgb(255)) + ' ' + entry.fontFace + ' ' +
                               std::to_string(entry.fontSize) + ' ' +
                               std::to_string(entry.fontStyle) + ' ' + entry.text;
    std::vector<uint32_t> backdrop;
    if (!g_pushButtonPictures.Reuse(button, canvas.get(), W, H, inputs, &backdrop)) {
        if (!DrawPushButtonFace(button, entry, canvas.get(), state, rect)) return;
        g_pushButtonPictures.Keep(button, canvas.get(), W, H, inputs, std::move(backdrop));
    }
    BitBlt(target, 0, 0, W, H, canvas.get(), 0, 0, SRCCOPY);
}

namespace {

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DrawCheckText(GpGraphics* g, HWND button, const ButtonRecord& entry, float x, float y,
                   float width, float height) {
    TextLayout layout = {entry.fontFace.c_str(), static_cast<float>(entry.fontSize),
                         entry.fontStyle};
    layout.lineAlign = Gdiplus::StringAlignmentCenter;
    DrawTextArgb(g, entry.text, layout, TextArgb(button), x, y, width, height);
}

// The canvas of a check or radio button goes to the button's own device context.
void CopyToButton(HWND button, HDC canvas, int width, int height) {
    WindowDc dc(button);
    BitBlt(dc.get(), 0, 0, width, height, canvas, 0, 0, SRCCOPY);
}

}  // namespace

void PaintCheckBox(HWND button, UINT state) {
    ButtonRef b = FindButton(button);
    if (!b) return;
    const RECT rect = ClientRectOf(button);
    const float l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
    const float w = static_cast<float>(Width(rect)), h = static_cast<float>(Height(rect));
    const float y = t + (h - kBoxSize) / 2;  // half a pixel down when h - 13 is odd

    ScopedCanvas canvas(BackgroundSnapshot(button, rect));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        if (!g) return;
        DrawImageAt(g.get(), SkinImages().checkBoxClear, l, y);
        if (IsChecked(button)) DrawImageAt(g.get(), SkinImages().checkBoxChecked, l, y);
        if (state & kStateHot) {
            GdipPath box;
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, box.out());
            if (box) {
                gp::GdipAddPathRectangle(box.get(), l, y, kBoxSize, kBoxSize);
                const float yc = t + (h - 12) / 2 + 1;
                FillPathGradient(g.get(), box.get(), l + 3, yc, l + 11, yc + 11, ThemeArgb(100),
                                 0x00000000);
                StrokeGlow(g.get(), box.get(), 2, kGlowColour, 30);
            }
        }
        DrawCheckText(g.get(), button, *b.entry, l + 17, 2, w - 19, h);
    }
    CopyToButton(button, canvas.get(), Width(rect), Height(rect));
}

void PaintRadioButton(HWND button, UINT state) {
    ButtonRef b = FindButton(button);
    if (!b) return;
    const RECT rect = ClientRectOf(button);
    const float l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
    const float w = static_cast<float>(Width(rect)), h = static_cast<float>(Height(rect));
    const float yr = t + (h - 12) / 2;

    ScopedCanvas canvas(BackgroundSnapshot(button, rect));
    if (!canvas) return;
    {
        GdipGraphics g = GraphicsOn(canvas.get());
        GdipPath ring, disc;
        gp::GdipCreatePath(Gdiplus::FillModeAlternate, ring.out());
        gp::GdipCreatePath(Gdiplus::FillModeAlternate, disc.out());
        if (!g || !ring || !disc) return;
        gp::GdipSetSmoothingMode(g.get(), Gdiplus::SmoothingModeAntiAlias);

        gp::GdipAddPathEllipse(ring.get(), l + 2, yr, 12, 12);
        DrawPathArgb(g.get(), ring.get(), 0xC8000000);

        gp::GdipAddPathEllipse(disc.get(), l + 3, t + (h - 11) / 2 + 1, 9, 9);
        DrawPathArgb(g.get(), disc.get(), 0xFFFFFFFF);
        FillPathArgb(g.get(), disc.get(), 0xFFFFFFFF);
        FillPathGradient(g.get(), disc.get(), l + 3, yr + 1, l + 10, yr + 11, 0x64000000,
                         0x00000000);
        if (state & kStateHot) {
            FillPathGradient(g.get(), disc.get(), l + 3, yr + 1, l + 11, yr + 12, ThemeArgb(100),
                             0x00000000);
            StrokeGlow(g.get(), disc.get(), 2, kGlowColour, 30);
        }
        if (IsChecked(button)) {
            GdipPath dot;
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, dot.out());
            if (dot) {
                gp::GdipAddPathEllipse(dot.get(), l + 5, yr + 3, 6, 6);
                DrawPathArgb(g.get(), dot.get(), 0xC8000000);
                GdipPathBrush shine;
                gp::GdipCreatePathGradientFromPath(dot.get(), shine.out());
                if (shine) {
                    Gdiplus::ARGB surround = 0xFF008080;
                    INT count = 1;
                    gp::GdipSetPathGradientCenterColor(shine.get(), 0x64FFFFFF);
                    gp::GdipSetPathGradientSurroundColorsWithCount(shine.get(), &surround, &count);
                    gp::GdipFillPath(g.get(), shine.get(), dot.get());
                }
            }
        }
        DrawCheckText(g.get(), button, *b.entry, l + 18, 2, w, h);
    }
    CopyToButton(button, canvas.get(), Width(rect), Height(rect));
}

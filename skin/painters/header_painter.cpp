// List headers: every item drawn over the skin backdrop as a translucent gradient body with a
// gradient divider at its right edge, its image and its text in black, cut with an ellipsis when
// it does not fit. The last item of a list view's header reaches the list view's right edge, so the
// empty rest of the header is skinned too. Sizing, dragging and clicks stay with the system.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "canvas.h"
#include "container.h"
#include "control_font.h"
#include "drawing.h"
#include "gbk_text.h"
#include "geometry.h"
#include "paint_tools.h"
#include "registry.h"
#include "remaining_painters.h"

namespace {

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

constexpr uint32_t kHotEnd = ColorRefToArgb(kBlack, 30);
constexpr uint32_t kPressedStart = ColorRefToArgb(kBlack, 30);
constexpr uint32_t kPressedEnd = ColorRefToArgb(kWhite, 120);
constexpr uint32_t kDividerStart = ColorRefToArgb(kBlack, 60);
constexpr uint32_t kDividerEnd = ColorRefToArgb(kWhite, 50);
constexpr uint32_t kText = 0xFF000000;

constexpr int kDividerMargin = 5;  // pixels beside each divider that belong to no item
constexpr int kTextBuffer = 260;

HeaderRecord* FindHeader(int windowIndex, int index) {
    return TableEntry(windowIndex, index, &WindowSkinRecord::headerTable);
}

bool HasClass(HWND hwnd, const char* className) {
    char name[256] = {};
    GetClassNameA(hwnd, name, 255);
    return lstrcmpA(name, className) == 0;
}

void AddHeader(int windowIndex, HWND header) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    if (!record) return;
    const LONG_PTR style = GetWindowLongPtrW(header, GWL_STYLE);
    ControlFont font = QueryControlFont(header);
    const int index = record->headerTable.Add(header);
    HeaderRecord& entry = record->headerTable[index];
    entry.buttons = HasStyle(style, HDS_BUTTONS) ? 1 : 0;
    SetSkinProp(header, kPropHwLbId, index);
    SetSkinProp(header, kPropHwFuId, windowIndex);
    entry.originalProc = SubclassWindow(header, HeaderProc);
    SetSkinProp(header, kPropHwProc, reinterpret_cast<LONG_PTR>(entry.originalProc));
    entry.fontFace = font.face;
    entry.fontSize = font.size;
    entry.fontStyle = font.style;
    entry.imageList = reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0));
}

// Where the item's image starts, by the alignment bits of its format.
int ImageX(int fmt, int w, int iw, int tw, int margin) {
    const bool fits = iw + margin + tw < w;
    if (fmt & HDF_RIGHT) return fits ? w - iw - tw : margin;
    if (fmt & HDF_CENTER) return fits ? (w - iw - margin - tw) / 2 : margin;
    return margin;
}

float MeasuredWidth(GpGraphics* g, const std::wstring& text, GpFont* font, GpStringFormat* format) {
    const Gdiplus::RectF unbounded(0, 0, 0, 0);
    Gdiplus::RectF box;
    gp::GdipMeasureString(g, text.c_str(), -1, font, &unbounded, format, &box, nullptr, nullptr);
    return box.Width;
}

// The text as the ellipsis trimming shows it in `width`: whole when it fits, else the longest
// beginning that fits with the ellipsis after it. Done here because not every GDI+ trims (Wine's
// wraps the rest onto a cut-off second line instead); where GDI+ trims, the result is the same.
std::wstring FitWithEllipsis(GpGraphics* g, const std::wstring& text, GpFont* font,
                             GpStringFormat* format, float width) {
    if (text.empty() || MeasuredWidth(g, text, font, format) <= width) return text;
    const wchar_t kEllipsis = 0x2026;
    size_t keep = text.size();
    while (keep > 0) {
        --keep;
        if (keep > 0 && IS_HIGH_SURROGATE(text[keep - 1])) continue;  // never split a pair
        std::wstring candidate = text.substr(0, keep) + kEllipsis;
        if (MeasuredWidth(g, candidate, font, format) <= width) return candidate;
    }
    return std::wstring(1, kEllipsis);
}

void DrawItemText(GpGraphics* g, const HeaderRecord& entry, const char* text, float x, float width,
                  float height) {
    std::wstring face = WideFromGbk(entry.fontFace.c_str());
    GdipFontFamily family;
    gp::GdipCreateFontFamilyFromName(face.c_str(), nullptr, family.out());
    GdipFont font;
    if (family)
        gp::GdipCreateFont(family.get(), static_cast<float>(entry.fontSize), entry.fontStyle,
                           Gdiplus::UnitWorld, font.out());
    GdipStringFormat format;
    gp::GdipCreateStringFormat(0, LANG_NEUTRAL, format.out());
    if (format)
        gp::GdipSetStringFormatTrimming(format.get(), Gdiplus::StringTrimmingEllipsisCharacter);
    GdipSolidBrush brush = NewSolidBrush(kText);
    if (!g || !font || !format || !brush) return;
    std::wstring shown = FitWithEllipsis(g, WideFromGbk(text), font.get(), format.get(), width);
    const Gdiplus::RectF box(x, 0, width, height);
    gp::GdipDrawString(g, shown.c_str(), -1, font.get(), &box, format.get(), brush.get());
}

}  // namespace

void InstallHeaders(int windowIndex, HWND parent) {
    if (!g_skinSettings.engineEnabled) return;
    for (HWND h = FindWindowExA(parent, nullptr, WC_HEADERA, nullptr); h;
         h = FindWindowExA(parent, h, WC_HEADERA, nullptr))
        AddHeader(windowIndex, h);
    for (HWND list = FindWindowExA(parent, nullptr, WC_LISTVIEWA, nullptr); list;
         list = FindWindowExA(parent, list, WC_LISTVIEWA, nullptr))
        if (HWND h = FindWindowExA(list, nullptr, WC_HEADERA, nullptr)) AddHeader(windowIndex, h);
}

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwFuId));
    const int j = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    HeaderRecord* entry = FindHeader(i, j);
    LRESULT result = 0;
    if (AnswerOwnPaint(
            hwnd, msg, wp, lp, [=] { PaintHeader(i, j); }, &result))
        return result;
    switch (msg) {
        case WM_MOUSEMOVE: {
            RequestMouseLeave(hwnd);
            WindowSkinRecord* record = WindowRecord(i);
            if (!record || !entry) break;
            record->hotIndex = j;
            if (record->hotIndex > 0 || record->hotKind != kHotHeader) {
                entry->hot = 1;
                entry->hotItem = HeaderHitItem(i, j, lp);
                record->hotKind = kHotHeader;
                // Repaint only when the item under the mouse changes, never while the button is
                // held; a divider margin or the space past the last item clears the hover.
                if (entry->hotItem != entry->paintedHotItem && entry->hotItem >= 1 &&
                    entry->pressed == 0) {
                    PaintHeader(i, j);
                    entry->paintedHotItem = entry->hotItem;
                } else if (entry->hotItem == 0) {
                    entry->paintedHotItem = 0;
                    entry->hot = 0;
                    PaintHeader(i, j);
                }
            }
            record->lastHotIndex = record->hotIndex;
            break;
        }
        case WM_LBUTTONDOWN:
            if (entry) {
                entry->pressed = 1;
                if (entry->hotItem >= 1) entry->pressedItem = entry->hotItem;
            }
            break;
        case WM_LBUTTONUP:
            if (entry) {
                entry->pressed = 0;
                entry->pressedItem = 0;
            }
            break;
        case WM_MOUSELEAVE: {
            WindowSkinRecord* record = WindowRecord(i);
            if (record && entry) {
                record->lastHotIndex = 0;
                entry->paintedHotItem = 0;
                entry->hotItem = 0;
                entry->hot = 0;
                PaintHeader(i, j);
            }
            break;
        }
        default:
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

int HeaderHitItem(int windowIndex, int index, LPARAM point) {
    HeaderRecord* entry = FindHeader(windowIndex, index);
    if (!entry || !entry->hwnd) return 0;
    const int x = static_cast<short>(LOWORD(point));
    const int n = static_cast<int>(SendMessageW(entry->hwnd, HDM_GETITEMCOUNT, 0, 0));
    for (int item = 1; item <= n; ++item) {
        RECT r = {};
        SendMessageW(entry->hwnd, HDM_GETITEMRECT, item - 1, reinterpret_cast<LPARAM>(&r));
        if (x >= r.left + kDividerMargin && x <= r.right - kDividerMargin) return item;
    }
    return 0;
}

void PaintHeader(int windowIndex, int index, HDC dc) {
    HeaderRecord* entry = FindHeader(windowIndex, index);
    if (!entry || !entry->hwnd) return;
    HWND header = entry->hwnd;
    const int n = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const int margin = static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
    HWND parent = GetParent(header);
    const bool inListView = parent && HasClass(parent, WC_LISTVIEWA);
    const COLORREF theme = g_skinSettings.themeColour;
    const uint32_t bodyFrom =
        entry->buttons ? ColorRefToArgb(kWhite, 80) : ColorRefToArgb(theme, 60);
    const uint32_t bodyTo = entry->buttons ? ColorRefToArgb(theme, 120) : ColorRefToArgb(theme, 10);
    HDC taken = nullptr;  // the header's device context when none was handed in

    for (int item = 1; item <= n; ++item) {
        RECT rc = {};
        SendMessageW(header, HDM_GETITEMRECT, item - 1, reinterpret_cast<LPARAM>(&rc));
        wchar_t text[kTextBuffer] = {};
        HDITEMW info = {};
        info.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_BITMAP | HDI_IMAGE;
        info.pszText = text;
        info.cchTextMax = kTextBuffer;
        SendMessageW(header, HDM_GETITEMW, item - 1, reinterpret_cast<LPARAM>(&info));
        text[kTextBuffer - 1] = L'\0';
        const std::string itemText = GbkForDisplay(text);
        HICON icon = nullptr;
        if (info.fmt & HDF_IMAGE)
            icon = ImageList_GetIcon(entry->imageList, info.iImage, ILD_TRANSPARENT);

        int w = rc.right - rc.left;
        const int h = rc.bottom - rc.top, top = rc.top;
        if (item == n && inListView) {
            RECT client = {};
            GetClientRect(parent, &client);
            if (rc.right < client.right) {
                w = client.right - rc.left;
                rc.right = rc.left + w;
            }
        }

        ScopedCanvas canvas(BackgroundSnapshot(header, rc));
        if (canvas) {
            GdipGraphics g = GraphicsOn(canvas.get());
            const float fw = static_cast<float>(w), fh = static_cast<float>(h);
            const float ft = static_cast<float>(top);
            GdipPath body = RectanglePath(0, ft, fw, fh);
            GdipSolidBrush ground =
                NewSolidBrush(ColorRefToArgb(kWhite, g_skinSettings.overlayAlpha));
            FillPath(g.get(), ground.get(), body.get());
            GdipLineBrush bodyBrush = NewLineBrush(0, ft, 0, ft + fh, bodyFrom, bodyTo);
            FillPath(g.get(), bodyBrush.get(), body.get());
            if (entry->buttons && entry->hot && item == entry->hotItem) {
                GdipLineBrush hot =
                    NewLineBrush(0, ft, 0, ft + fh, ColorRefToArgb(theme, 60), kHotEnd);
                FillPath(g.get(), hot.get(), body.get());
            }
            if (entry->buttons && item == entry->pressedItem) {
                GdipLineBrush down = NewLineBrush(0, ft, 0, ft + fh, kPressedStart, kPressedEnd);
                FillPath(g.get(), down.get(), body.get());
            }

            GdipLineBrush dividerBrush =
                NewLineBrush(fw - 1, ft, fw - 1, ft + fh, kDividerStart, kDividerEnd);
            GdipPen divider;
            if (dividerBrush)
                gp::GdipCreatePen2(dividerBrush.get(), 1.0f, Gdiplus::UnitWorld, divider.out());
            if (g && divider) gp::GdipDrawLine(g.get(), divider.get(), fw - 1, ft, fw - 1, ft + fh);

            GdipBitmap image;
            if (icon) gp::GdipCreateBitmapFromHICON(icon, image.out());
            const PixelSize size = ImagePixelSize(image.get());
            const UINT iw = static_cast<UINT>(size.width), ih = static_cast<UINT>(size.height);
            const int tw = MeasureTextWidth(itemText, entry->fontFace.c_str(), entry->fontSize,
                                            entry->fontStyle);
            const int x = ImageX(info.fmt, w, static_cast<int>(iw), tw, margin);
            if (iw != 0 && g)
                gp::GdipDrawImageRect(g.get(), image.get(), static_cast<float>(x),
                                      (fh - static_cast<float>(ih)) / 2, static_cast<float>(iw),
                                      static_cast<float>(ih));
            DrawItemText(g.get(), *entry, itemText.c_str(), static_cast<float>(x) + iw,
                         fw - static_cast<float>(iw) - 2.0f * margin, fh);
        }
        if (icon) DestroyIcon(icon);
        if (!canvas) continue;
        if (!dc) dc = taken = GetDC(header);
        BitBlt(dc, rc.left, rc.top, w, h, canvas.get(), 0, 0, SRCCOPY);
    }
    if (taken) ReleaseDC(header, taken);
}

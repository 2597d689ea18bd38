#include "wizard_controls.h"

#include <string>
#include <vector>

#include "gbk_text.h"
#include "gdi_handles.h"
#include "geometry.h"
#include "text_layout.h"

namespace {

// Per-control data hangs off GWLP_USERDATA and goes with WM_NCDESTROY.
struct ControlData {
    COLORREF colour = 0;
    HFONT font = nullptr;  // not owned: the wizard owns its fonts
    GdiBitmap picture;
    SIZE pictureSize = {0, 0};
};

ControlData* DataOf(HWND hwnd) {
    return reinterpret_cast<ControlData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Transparent label: the text alone, in its colour and font, over whatever lies behind.
void PaintTransparentLabel(HWND hwnd, HDC dc, const ControlData& data) {
    RECT client;
    GetClientRect(hwnd, &client);
    std::wstring text = WindowTextWide(hwnd);
    HGDIOBJ font = data.font ? static_cast<HGDIOBJ>(data.font) : GetStockObject(DEFAULT_GUI_FONT);
    ScopedSelect selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, data.colour);

    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    int em = metrics.tmHeight - metrics.tmInternalLeading;
    // A space is half an em wide, as in the classic Chinese faces: the texts line up words
    // with runs of spaces, which proportional faces would shrink.
    std::vector<int> advances(text.size(), 0);
    for (size_t i = 0; i < text.size(); i++) {
        SIZE size;
        if (text[i] == L' ')
            advances[i] = em / 2;
        else if (text[i] != L'\r' && text[i] != L'\n' &&
                 GetTextExtentPoint32W(dc, &text[i], 1, &size))
            advances[i] = size.cx;
    }
    int y = 0;
    for (const TextLine& line : BreakLines(text, advances, client.right)) {
        if (y >= client.bottom) break;
        ExtTextOutW(dc, 0, y, ETO_CLIPPED, &client, text.c_str() + line.start,
                    static_cast<UINT>(line.length), advances.data() + line.start);
        // Lines advance by the character height, as with the classic Chinese faces, whose
        // internal leading is zero; faces with a tall leading would not fit the labels otherwise.
        y += em;
    }
}

void PaintPictureBox(HWND hwnd, HDC dc, const ControlData& data) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (!data.picture) return;
    Box fit = FitInside(data.pictureSize.cx, data.pictureSize.cy, client.right, client.bottom);
    MemoryDc source(CreateCompatibleDC(dc));
    ScopedSelect selectPicture(source.get(), data.picture.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, fit.x, fit.y, fit.width, fit.height, source.get(), 0, 0, data.pictureSize.cx,
               data.pictureSize.cy, SRCCOPY);
}

void SetPicture(HWND hwnd, ControlData* data, HBITMAP picture) {
    data->picture.reset(picture);
    BITMAP info = {};
    if (picture) GetObjectA(picture, sizeof(info), &info);
    data->pictureSize = {info.bmWidth, info.bmHeight};
    InvalidateRect(hwnd, nullptr, TRUE);
}

enum class Kind { TransparentLabel, PictureBox, DrawingBoard };

template <Kind kind>
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ControlData* data = DataOf(hwnd);
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ControlData));
            break;
        case WM_NCDESTROY:
            delete data;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        case WM_SETFONT:
            if (data) data->font = reinterpret_cast<HFONT>(wp);
            if (lp) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return data ? reinterpret_cast<LRESULT>(data->font) : 0;
        case WM_NCHITTEST:
            // Labels let clicks through to what lies under them.
            if (kind == Kind::TransparentLabel) return HTTRANSPARENT;
            break;
        case WM_ERASEBKGND:
            if (kind == Kind::TransparentLabel) return 1;
            if (kind == Kind::DrawingBoard && data) {
                RECT client;
                GetClientRect(hwnd, &client);
                GdiBrush brush(CreateSolidBrush(data->colour));
                FillRect(reinterpret_cast<HDC>(wp), &client, brush.get());
                return 1;
            }
            break;
        case WM_SETTEXT:
            if (kind == Kind::TransparentLabel) {
                // The old text is only visible through the parent: repaint what lies behind.
                LRESULT result = DefWindowProcW(hwnd, msg, wp, lp);
                RECT r;
                GetWindowRect(hwnd, &r);
                MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
                InvalidateRect(GetParent(hwnd), &r, TRUE);
                return result;
            }
            break;
        case WM_APP_SETPICTURE:
            if (kind == Kind::PictureBox && data)
                SetPicture(hwnd, data, reinterpret_cast<HBITMAP>(lp));
            return 0;
        case WM_PAINT:
            if (kind != Kind::DrawingBoard && data) {
                PaintScope paint(hwnd);
                if (kind == Kind::TransparentLabel)
                    PaintTransparentLabel(hwnd, paint.dc(), *data);
                else
                    PaintPictureBox(hwnd, paint.dc(), *data);
                return 0;
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool RegisterControlClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool RegisterWizardControlClasses(HINSTANCE instance) {
    return RegisterControlClass(instance, QL_TRANSPARENT_LABEL_CLASS_W,
                                ControlProc<Kind::TransparentLabel>) &&
           RegisterControlClass(instance, QL_PICTURE_BOX_CLASS_W, ControlProc<Kind::PictureBox>) &&
           RegisterControlClass(instance, QL_DRAWING_BOARD_CLASS_W,
                                ControlProc<Kind::DrawingBoard>);
}

void SetControlColour(HWND control, COLORREF colour) {
    if (ControlData* data = DataOf(control)) {
        data->colour = colour;
        InvalidateRect(control, nullptr, TRUE);
    }
}

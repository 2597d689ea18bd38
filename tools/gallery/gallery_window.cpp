#include "gallery_window.h"

#include "button_painter.h"
#include "container.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "canvas.h"
#include "drawing.h"
#include "gbk_text.h"
#include "gdi_handles.h"
#include "images.h"
#include "main_window_skin.h"
#include "registry.h"

const char kGalleryTitle[] = "青岚笺语 皮肤一览";
const char kResizableFrameTitle[] = "青岚笺语 可调窗口";
const char* const kGalleryColumnTitles[3] = {"名称", "很长很长的列标题", "修改时间"};

namespace {

const wchar_t kGalleryClass[] = L"QinglanSkinGallery";
const wchar_t kFrameClass[] = L"QinglanSkinResizableFrame";
constexpr int kCaptionBand = 36;  // dragging here moves the window
constexpr int kCloseId = 100;

// What the window owns; freed with the window.
struct GalleryState {
    int windowIndex = 0;
    bool quitOnClose = false;
    MemoryDc background;
    GdiBitmap backgroundBitmap;
    HGDIOBJ previous = nullptr;
    GdiFont font;
};

GalleryState* StateOf(HWND hwnd) {
    return reinterpret_cast<GalleryState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The skin background stretched over the whole window, with the title on it.
void PaintBackground(GalleryState& state, int width, int height) {
    state.backgroundBitmap.reset(CreateTopDownDib(width, height));
    state.background.reset(CreateCompatibleDC(nullptr));
    if (!state.backgroundBitmap || !state.background) return;
    state.previous = SelectObject(state.background.get(), state.backgroundBitmap.get());

    GdipGraphics g;
    gp::GdipCreateFromHDC(state.background.get(), g.out());
    GdipImage picture = DecodeImage(SkinImages().windowBackground);
    if (!g) return;
    if (picture) {
        gp::GdipSetInterpolationMode(g.get(), Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipDrawImageRectI(g.get(), picture.get(), 0, 0, width, height);
    }
    TextStyle title;
    title.emSize = 14;
    title.lineAlign = Gdiplus::StringAlignmentCenter;
    DrawGlowText(g.get(), kGalleryTitle, 14, 6, 300, kCaptionBand - 12, 0x00FFFFFF, 0x00404040, 4,
                 title);
}

void FreeBackground(GalleryState& state) {
    WindowSkinRecord* record = WindowRecord(state.windowIndex);
    if (record) record->backgroundDc = nullptr;  // the record outlives the window
    if (state.background && state.previous) SelectObject(state.background.get(), state.previous);
    state.background.reset();
    state.backgroundBitmap.reset();
}

LRESULT CALLBACK GalleryProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    GalleryState* state = StateOf(hwnd);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (state && state->background) {
                RECT r = {};
                GetClientRect(hwnd, &r);
                BitBlt(paint.dc(), 0, 0, r.right, r.bottom, state->background.get(), 0, 0, SRCCOPY);
            }
            return 0;
        }
        case WM_NCHITTEST: {
            POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ScreenToClient(hwnd, &p);
            return p.y < kCaptionBand ? HTCAPTION : HTCLIENT;
        }
        // What the main-window frame hands to the painters, this window hands over too.
        case WM_DRAWITEM:
            if (state) DrawButtonItemMessage(state->windowIndex, lp);
            return TRUE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (AnswerControlColour(msg, wp, lp, &brush)) return brush;
            return DefWindowProcW(hwnd, msg, wp, lp);
        }
        case WM_COMMAND:
            InvalidateOnContentChange(wp, lp);
            if (LOWORD(wp) == kCloseId || LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (state) FreeBackground(*state);
            if (state && state->quitOnClose) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete state;
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

// The frame window's own procedure: everything else is the skin's.
LRESULT CALLBACK ResizableFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (GetWindowLongPtrW(hwnd, GWLP_USERDATA)) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool RegisterFrameClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    if (GetClassInfoExW(instance, kFrameClass, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;  // the caption double-click maximises
    wc.lpfnWndProc = ResizableFrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kFrameClass;
    return RegisterClassExW(&wc) != 0;
}

bool RegisterGalleryClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    if (GetClassInfoExW(instance, kGalleryClass, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = GalleryProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kGalleryClass;
    return RegisterClassExW(&wc) != 0;
}

class Builder {
  public:
    Builder(HWND parent, HINSTANCE instance, HFONT font)
        : parent_(parent), instance_(instance), font_(font) {}
    // Unicode controls, their GBK texts converted (gbk_text.h).
    HWND Make(const wchar_t* cls, DWORD style, int x, int y, int w, int h, const char* text = "",
              int id = 0, HWND parent = nullptr, DWORD exStyle = 0) {
        HWND hwnd =
            CreateWindowExW(exStyle, cls, WideFromGbk(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                            x, y, w, h, parent ? parent : parent_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return hwnd;
    }

  private:
    HWND parent_;
    HINSTANCE instance_;
    HFONT font_;
};

HWND MakeProgress(Builder& b, DWORD style, int x, int y, int w, int h, int low, int high, int pos) {
    HWND p = b.Make(PROGRESS_CLASSW, style, x, y, w, h);
    SendMessageW(p, PBM_SETRANGE32, low, high);
    SendMessageW(p, PBM_SETPOS, pos, 0);
    return p;
}

// Without an alignment style the control keeps the rectangle given here.
HWND MakeUpDown(Builder& b, DWORD style, HWND buddy, int pos, RECT r = RECT{}) {
    HWND u = b.Make(UPDOWN_CLASSW, style | UDS_SETBUDDYINT | UDS_ARROWKEYS, r.left, r.top,
                    r.right - r.left, r.bottom - r.top);
    SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(u, UDM_SETRANGE32, 0, 100);
    SendMessageW(u, UDM_SETPOS32, 0, pos);
    return u;
}

void FillControls(Builder& b, GalleryControls& c) {
    const DWORD tab = WS_TABSTOP;
    // Buttons.
    c.pushButton = b.Make(L"BUTTON", BS_PUSHBUTTON | tab, 20, 48, 100, 28, "普通按钮");
    c.defaultButton = b.Make(L"BUTTON", BS_DEFPUSHBUTTON | tab, 130, 48, 100, 28, "默认按钮");
    c.checkBox = b.Make(L"BUTTON", BS_AUTOCHECKBOX | tab, 20, 84, 100, 20, "已选复选框");
    SendMessageW(c.checkBox, BM_SETCHECK, BST_CHECKED, 0);
    c.checkBoxClear = b.Make(L"BUTTON", BS_AUTOCHECKBOX | tab, 130, 84, 100, 20, "复选框");
    c.radioFirst =
        b.Make(L"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP | tab, 20, 108, 100, 20, "单选一");
    SendMessageW(c.radioFirst, BM_SETCHECK, BST_CHECKED, 0);
    c.radioSecond = b.Make(L"BUTTON", BS_AUTORADIOBUTTON, 130, 108, 100, 20, "单选二");
    // Edits and combo boxes.
    c.edit = b.Make(L"Edit", ES_AUTOHSCROLL | WS_BORDER | tab, 20, 136, 210, 24, "单行编辑框");
    c.multiLineEdit =
        b.Make(L"Edit", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | tab, 20, 168, 210,
               60, "多行编辑框：第一行\r\n第二行\r\n第三行\r\n第四行\r\n第五行");
    c.dropDownCombo = b.Make(L"ComboBox", CBS_DROPDOWN | WS_VSCROLL | tab, 20, 238, 210, 160);
    c.dropListCombo = b.Make(L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | tab, 20, 270, 210, 160);
    for (const char* gbk : {"第一章", "第二章", "第三章"}) {
        const std::wstring item = WideFromGbk(gbk);
        SendMessageW(c.dropDownCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageW(c.dropListCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(c.dropDownCombo, CB_SETCURSEL, 0, 0);
    SendMessageW(c.dropListCombo, CB_SETCURSEL, 1, 0);
    // List-type controls.
    c.listBox = b.Make(L"ListBox", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | tab, 20, 304, 210, 100);
    for (const char* gbk : {"人物设定", "世界观", "大纲", "正文", "灵感", "素材", "回收站"})
        SendMessageW(c.listBox, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromGbk(gbk).c_str()));
    SendMessageW(c.listBox, LB_SETCURSEL, 1, 0);

    c.listView =
        b.Make(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | tab, 250, 48, 300, 150);
    for (int k = 0; k < 3; ++k) {
        std::wstring title = WideFromGbk(kGalleryColumnTitles[k]);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = kGalleryColumnWidths[k];
        column.pszText = &title[0];
        SendMessageW(c.listView, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&column));
    }
    const char* rows[][3] = {
        {"第一卷", "12 万字", "昨天"}, {"第二卷", "8 万字", "今天"}, {"番外", "1 万字", "上周"}};
    for (int r = 0; r < 3; ++r) {
        std::wstring first = WideFromGbk(rows[r][0]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = &first[0];
        SendMessageW(c.listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int s = 1; s < 3; ++s) {
            item.iSubItem = s;
            std::wstring cell = WideFromGbk(rows[r][s]);
            item.pszText = &cell[0];
            SendMessageW(c.listView, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
    }

    c.treeView =
        b.Make(WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | WS_BORDER | tab, 250,
               208, 300, 130);
    std::wstring rootName = WideFromGbk("青岚笺语");
    TVINSERTSTRUCTW insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.hParent = TVI_ROOT;
    insert.item.pszText = &rootName[0];
    HTREEITEM root = reinterpret_cast<HTREEITEM>(
        SendMessageW(c.treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    for (const char* gbk : {"第一卷", "第二卷", "番外"}) {
        std::wstring name = WideFromGbk(gbk);
        insert.hParent = root;
        insert.item.pszText = &name[0];
        SendMessageW(c.treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SendMessageW(c.treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));

    // Progress bars.
    c.progressEmpty = MakeProgress(b, 0, 250, 350, 300, 18, 0, 100, 0);
    c.progressHalf = MakeProgress(b, 0, 250, 376, 300, 18, 0, 100, 50);
    c.progressFull = MakeProgress(b, 0, 250, 402, 300, 18, 0, 100, 100);
    c.progressShifted = MakeProgress(b, 0, 250, 428, 300, 18, 50, 150, 100);
    c.progressQuarter = MakeProgress(b, PBS_VERTICAL, 640, 300, 22, 160, 0, 100, 25);
    c.progressThreeQuarters = MakeProgress(b, PBS_VERTICAL, 680, 300, 22, 160, 0, 100, 75);

    // Track bars.
    c.trackBar =
        b.Make(TRACKBAR_CLASSW, TBS_AUTOTICKS | TBS_ENABLESELRANGE | tab, 570, 48, 170, 40);
    SendMessageW(c.trackBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(c.trackBar, TBM_SETSEL, TRUE, MAKELPARAM(60, 90));
    SendMessageW(c.trackBar, TBM_SETPOS, TRUE, 20);
    c.trackBarPlain = b.Make(TRACKBAR_CLASSW, TBS_NOTICKS | tab, 570, 96, 170, 30);
    SendMessageW(c.trackBarPlain, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageW(c.trackBarPlain, TBM_SETPOS, TRUE, 7);
    c.trackBarVertical = b.Make(TRACKBAR_CLASSW, TBS_VERT | TBS_BOTH | tab, 570, 136, 40, 160);
    SendMessageW(c.trackBarVertical, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(c.trackBarVertical, TBM_SETPOS, TRUE, 60);

    // Up-down controls with their buddies.
    c.upDownVerticalBuddy = b.Make(L"Edit", ES_NUMBER | WS_BORDER | tab, 630, 140, 100, 24);
    c.upDownVertical = MakeUpDown(b, UDS_ALIGNRIGHT, c.upDownVerticalBuddy, 5);
    c.upDownHorizontalBuddy = b.Make(L"Edit", ES_NUMBER | WS_BORDER | tab, 630, 180, 62, 24);
    c.upDownHorizontal =
        MakeUpDown(b, UDS_HORZ, c.upDownHorizontalBuddy, 50, RECT{694, 180, 730, 204});

    // A group box holding controls of its own.
    c.groupBox = b.Make(L"BUTTON", BS_GROUPBOX, 20, 414, 210, 90, "分组框");
    c.groupEdit = b.Make(L"Edit", ES_AUTOHSCROLL | WS_BORDER | tab, 10, 22, 190, 24, "框内编辑框",
                         0, c.groupBox);
    c.groupProgress = MakeProgress(b, 0, 10, 56, 190, 16, 0, 100, 70);
    SetParent(c.groupProgress, c.groupBox);

    c.closeButton = b.Make(L"BUTTON", BS_PUSHBUTTON | tab, 640, 476, 100, 28, "关闭", kCloseId);
}

}  // namespace

GalleryControls CreateGallery(HINSTANCE instance, int x, int y, bool quitOnClose) {
    GalleryControls c;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                 ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                 ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    if (!RegisterGalleryClass(instance)) return c;

    // What the engine holds while it paints an application window.
    g_skinSettings.engineEnabled = 1;
    g_skinSettings.translucentControls = 1;
    g_skinSettings.overlayAlpha = 0;
    g_skinSettings.themeColour = 0x0051AE51;
    g_skinSettings.trackBarOption = 1;

    c.window = CreateWindowExW(WS_EX_APPWINDOW, kGalleryClass, WideFromGbk(kGalleryTitle).c_str(),
                               WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                               kGalleryWidth, kGalleryHeight, nullptr, nullptr, instance, nullptr);
    if (!c.window) return c;
    auto* state = new GalleryState;
    state->quitOnClose = quitOnClose;
    SetWindowLongPtrW(c.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));

    state->font.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, WideFromGbk("宋体").c_str()));
    Builder builder(c.window, instance, state->font.get());
    FillControls(builder, c);

    // The window's record with its painted background, then the controls taken over.
    PaintBackground(*state, kGalleryWidth, kGalleryHeight);
    c.windowIndex = state->windowIndex = AppendWindowRecord(c.window);
    WindowSkinRecord* record = WindowRecord(c.windowIndex);
    record->backgroundDc = state->background.get();
    RunInstallers(c.windowIndex, c.window, kLastControlRow);
    RegisterControl(c.groupBox, 1, GetSysColor(COLOR_BTNFACE), 0, 0);
    record->registrationComplete = 1;
    return c;
}

HWND CreateResizableFrame(HINSTANCE instance, MainWindowSkin& skin, int x, int y,
                          bool quitOnClose) {
    if (!RegisterFrameClass(instance)) return nullptr;
    HWND hwnd = CreateWindowExW(
        WS_EX_APPWINDOW, kFrameClass, WideFromGbk(kResizableFrameTitle).c_str(),
        WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, x, y,
        kResizableFrameWidth, kResizableFrameHeight, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, quitOnClose ? 1 : 0);
    Builder b(hwnd, instance, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    b.Make(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 20, 60, 120, 28, "拖动边框改变大小");
    b.Make(L"Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 20, 100, 240, 24,
           "双击标题栏最大化或还原");
    skin.SkinMainWindow(hwnd, kResizableFrameCaption, 1, 1, 1, 1);
    return hwnd;
}

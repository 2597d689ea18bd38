#include "painter_fixture.h"

#include <commctrl.h>

#include <cmath>

#include "button_painter.h"
#include "canvas.h"
#include "colour_key.h"
#include "container.h"
#include "images.h"
#include "painters.h"
#include "registry.h"

namespace {

const char kFixtureClass[] = "QlPainterFixture";
PainterTest* g_current = nullptr;
GdiBrush g_magentaBrush;

LRESULT CALLBACK FixtureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace

struct FixtureAccess {
    static LRESULT Handle(PainterTest* t, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

namespace {

LRESULT CALLBACK FixtureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_current) return FixtureAccess::Handle(g_current, hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT FixtureAccess::Handle(PainterTest* t, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    PainterTest* self = t;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            WindowSkinRecord* record = WindowRecord(self->index_);
            if (record && record->backgroundDc) {
                RECT r;
                GetClientRect(hwnd, &r);
                BitBlt(dc, 0, 0, r.right, r.bottom, record->backgroundDc, 0, 0, SRCCOPY);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DRAWITEM: {
            DrawButtonItemMessage(self->index_, lp);
            // The application's own drawing of the items the skin leaves alone.
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->hwndItem == self->c.ownerDraw || item->hwndItem == self->c.ownerList) {
                GdiBrush brush(CreateSolidBrush(kAppOwnerDrawColour));
                FillRect(item->hDC, &item->rcItem, brush.get());
            }
            return TRUE;
        }
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 16;
            return TRUE;
        case WM_COMMAND:
            InvalidateOnContentChange(wp, lp);
            if (reinterpret_cast<HWND>(lp) == self->c.push && HIWORD(wp) == BN_CLICKED)
                ++self->clicks_;
            return 0;
        case WM_CTLCOLORSTATIC:
            // The label's own background is the key colour, as the application paints it.
            if (reinterpret_cast<HWND>(lp) == self->c.label) {
                HDC dc = reinterpret_cast<HDC>(wp);
                SetTextColor(dc, self->labelInk_);
                SetBkColor(dc, kMagenta);
                return reinterpret_cast<LRESULT>(g_magentaBrush.get());
            }
            [[fallthrough]];
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            LRESULT answer = 0;
            if (AnswerControlColour(msg, wp, lp, &answer)) return answer;
            break;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void PainterTest::SetUp() {
    SkinTest::SetUp();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterFixtureClass(kFixtureClass, FixtureProc, CS_DBLCLKS);
    if (!g_magentaBrush) g_magentaBrush.reset(CreateSolidBrush(kMagenta));
    InstallSkinPainters();
    // The settings while the application's controls are painted.
    g_skinSettings.translucentControls = 1;
    g_skinSettings.overlayAlpha = 0;
    g_skinSettings.themeColour = kTheme;
    // Keep the pointer off the fixture: only the tests' own mouse messages make controls hot.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    g_current = this;
}

void PainterTest::TearDown() {
    if (top_) DestroyWindow(top_);
    top_ = nullptr;
    PumpMessages();
    g_current = nullptr;
    if (pictureDc_) {
        SelectObject(pictureDc_, picturePrevious_);
        DeleteObject(pictureBitmap_);
        DeleteDC(pictureDc_);
        pictureDc_ = nullptr;
    }
    SkinTest::TearDown();
}

void PainterTest::BuildFixture(Backdrop backdrop) {
    const int W = 640, H = 480;
    top_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kFixtureClass, "painters",
                           WS_POPUP | WS_CLIPCHILDREN, 40, 40, W, H, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(top_);
    backdrop_ = backdrop;
    HDC backgroundDc = pattern_.dc();
    if (backdrop != Backdrop::kPattern) {
        pictureDc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        pictureBitmap_ = CreateTopDownDib(W, H, &bits);
        picturePrevious_ = SelectObject(pictureDc_, pictureBitmap_);
        if (backdrop == Backdrop::kPlain) {
            auto* pixels = static_cast<uint32_t*>(bits);
            for (int k = 0; k < W * H; ++k) pixels[k] = kPlainBackdrop;
        } else {
            GdipGraphics g;
            gp::GdipCreateFromHDC(pictureDc_, g.out());
            GdipImage picture = DecodeImage(SkinImages().windowBackground);
            if (g && picture) gp::GdipDrawImageRectI(g.get(), picture.get(), 0, 0, W, H);
        }
        backgroundDc = pictureDc_;
    }

    auto make = [this](const char* cls, DWORD style, DWORD ex, int x, int y, int w, int h,
                       const char* text, HWND parent = nullptr) {
        HWND hwnd =
            CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                            parent ? parent : top_, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_TRUE(hwnd) << cls;
        return hwnd;
    };
    c.push = make("BUTTON", BS_PUSHBUTTON, 0, 20, 20, 100, 28, "按钮");
    c.defPush = make("BUTTON", BS_DEFPUSHBUTTON, 0, 130, 20, 100, 28, "默认");
    c.ownerDraw = make("BUTTON", BS_OWNERDRAW, 0, 240, 20, 100, 28, "自绘");
    c.noFace = make("BUTTON", BS_PUSHBUTTON, 0, 350, 20, 100, 28, "无字体");
    c.check = make("BUTTON", BS_AUTOCHECKBOX, 0, 20, 60, 120, 20, "选择框");
    c.radio = make("BUTTON", BS_AUTORADIOBUTTON, 0, 150, 60, 120, 20, "单选框");
    c.plainRadio = make("BUTTON", BS_RADIOBUTTON, 0, 280, 60, 120, 20, "普通单选");
    c.threeState = make("BUTTON", BS_AUTO3STATE, 0, 410, 60, 120, 20, "三态");
    c.edit = make("Edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 20, 95, 200, 24, "编辑框");
    c.memo = make("Edit", ES_MULTILINE | WS_VSCROLL, WS_EX_CLIENTEDGE, 240, 95, 200, 80,
                  "多行\r\n编辑框\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8");
    c.simpleCombo = make("ComboBox", CBS_SIMPLE, 0, 460, 95, 150, 90, "");
    c.dropDown = make("ComboBox", CBS_DROPDOWN, 0, 20, 190, 150, 200, "");
    c.dropList = make("ComboBox", CBS_DROPDOWNLIST, 0, 190, 190, 150, 200, "");
    for (HWND combo : {c.simpleCombo, c.dropDown, c.dropList}) {
        for (const char* item : {"第一项", "第二项", "第三项"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(combo, CB_SETCURSEL, 1, 0);
    }
    c.list = make("ListBox", WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 20, 230, 150, 90, "");
    c.ownerList = make("ListBox", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, WS_EX_CLIENTEDGE, 190, 230,
                       120, 90, "");
    for (HWND list : {c.list, c.ownerList})
        for (const char* item : {"甲", "乙", "丙", "丁", "戊", "己", "庚"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    c.listView = make(WC_LISTVIEWA, LVS_REPORT, WS_EX_CLIENTEDGE, 330, 230, 150, 90, "");
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<char*>("名称");
    SendMessageA(c.listView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (const char* text : {"项目一", "项目二"}) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = 100;
        item.pszText = const_cast<char*>(text);
        SendMessageA(c.listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    c.tree = make(WC_TREEVIEWA, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, WS_EX_CLIENTEDGE,
                  500, 230, 120, 90, "");
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("根");
    HTREEITEM root = reinterpret_cast<HTREEITEM>(
        SendMessageA(c.tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hParent = root;
    insert.item.pszText = const_cast<char*>("枝");
    SendMessageA(c.tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    SendMessageA(c.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    c.group = make("BUTTON", BS_GROUPBOX, 0, 20, 340, 250, 120, "分组框");
    c.groupEdit = make("Edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 15, 30, 200, 24, "框内", c.group);
    c.label = make("Static", SS_LEFT, 0, 290, 340, 200, 40, "标签");
    c.toolbar =
        make(TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_LIST, 0,
             290, 400, 200, 40, "");
    SendMessageA(c.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[2] = {};
    const char* names[2] = {"工具一", "工具二"};
    for (int k = 0; k < 2; ++k) {
        buttons[k].iBitmap = I_IMAGENONE;
        buttons[k].idCommand = 100 + k;
        buttons[k].fsState = TBSTATE_ENABLED;
        buttons[k].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[k].iString = reinterpret_cast<INT_PTR>(names[k]);
    }
    SendMessageA(c.toolbar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));

    // A font whose face GDI+ does not know: the push button falls back to the default face.
    static GdiFont unknownFace(
        CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "QlNoSuchFace"));
    SendMessageA(c.noFace, WM_SETFONT, reinterpret_cast<WPARAM>(unknownFace.get()), FALSE);
    // The other controls draw with the default face at 12 pixels.
    for (HWND w : {c.push, c.defPush, c.check, c.radio, c.plainRadio, c.threeState, c.edit, c.memo,
                   c.simpleCombo, c.dropDown, c.dropList, c.list, c.ownerList, c.listView, c.tree,
                   c.group, c.groupEdit, c.toolbar})
        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(SongTi12()), FALSE);
    static GdiFont big(
        CreateFontA(-32, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体"));
    SendMessageA(c.label, WM_SETFONT, reinterpret_cast<WPARAM>(big.get()), FALSE);

    // Skinned as the main window is: the record with its background, rows 1 to 8 over the
    // children, the labels keyed on magenta, the group box a container with an invisible fill.
    index_ = AppendWindowRecord(top_);
    WindowRecord(index_)->backgroundDc = backgroundDc;
    SetSkinProp(top_, kPropHwLbId, index_);
    RunInstallers(index_, top_, kLastControlRow);
    RegisterColourKeyed(c.label, kMagenta, 1, 0, 0);
    RegisterControl(c.group, 1, GetSysColor(COLOR_BTNFACE), 0, 0);
    // Toolbars are taken by the message-box row; the fixture shows one all the same.
    InstallColourKeyedToolbars(index_, top_);

    ShowWindow(top_, SW_SHOWNOACTIVATE);
    Settle();
}

HFONT PainterTest::SongTi12() {
    static GdiFont font(
        CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体"));
    return font.get();
}

HWND PainterTest::MakePanel(int x, int y, int w, int h, const char* cls) {
    return Child(top_, cls, 0, 0, x, y, w, h);
}

HWND PainterTest::Child(HWND parent, const char* cls, DWORD style, DWORD ex, int x, int y, int w,
                        int h, const char* text) {
    HWND hwnd = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(hwnd) << cls;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(SongTi12()), FALSE);
    return hwnd;
}

void PainterTest::Settle() {
    for (int round = 0; round < 3; ++round) {
        if (top_) RedrawWindow(top_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages();
    }
    GdiFlush();
}

uint32_t PainterTest::BackdropOf(HWND w, int x, int y) const {
    const RECT r = RectRelativeTo(top_, w);
    return BackgroundAt(r.left + x, r.top + y);
}

std::vector<uint32_t> PainterTest::Screen(HWND w, int* width, int* height) {
    RECT r;
    GetWindowRect(w, &r);
    const int W = r.right - r.left, H = r.bottom - r.top;
    ScopedCanvas canvas(CreateCanvas(W, H));
    {
        HDC dc = GetWindowDC(w);
        BitBlt(canvas.get(), 0, 0, W, H, dc, 0, 0, SRCCOPY);
        ReleaseDC(w, dc);
    }
    CanvasImage image(canvas.get());
    std::vector<uint32_t> pixels(static_cast<size_t>(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) pixels[y * W + x] = image.At(x, y) | 0xFF000000u;
    if (width) *width = W;
    if (height) *height = H;
    return pixels;
}

uint32_t PainterTest::ScreenPixel(HWND w, int x, int y) {
    int W = 0;
    std::vector<uint32_t> pixels = Screen(w, &W);
    return pixels[y * W + x];
}

uint32_t Over(uint32_t below, uint32_t argb) {
    const double a = ((argb >> 24) & 0xFF) / 255.0;
    auto mix = [a](int d, int s) { return static_cast<uint32_t>(std::lround(d + (s - d) * a)); };
    return 0xFF000000u | (mix(Red(below), Red(argb)) << 16) |
           (mix(Green(below), Green(argb)) << 8) | mix(Blue(below), Blue(argb));
}

::testing::AssertionResult Near(uint32_t a, uint32_t b, int tolerance) {
    if (std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
        std::abs(Blue(a) - Blue(b)) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[96];
    wsprintfA(text, "%06X is not within %d of %06X", a & 0xFFFFFF, tolerance, b & 0xFFFFFF);
    return ::testing::AssertionFailure() << text;
}

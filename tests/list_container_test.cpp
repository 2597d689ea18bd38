// List frames, containers and colour-keyed controls on the fixture window.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour_key.h"
#include "container.h"
#include "list_frame_painter.h"
#include "painter_fixture.h"
#include "paint_tools.h"
#include "registry.h"

namespace {

uint32_t Theme(int alpha) {
    return ColorRefToArgb(kTheme, alpha);
}

// ---- List frames ------------------------------------------------------------------------------

class ListFrames : public PainterTest {};

TEST_F(ListFrames, InstallerTakesTheListKinds) {
    BuildFixture();
    WindowSkinRecord& r = *WindowRecord(index_);
    HWND simpleList = FindWindowExA(c.simpleCombo, nullptr, "ComboLBox", nullptr);
    ASSERT_TRUE(simpleList);
    const HWND expected[] = {c.list, c.ownerList, simpleList, c.listView, c.tree};
    ASSERT_EQ(r.listTable.Count(), 5);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(r.listTable[k].hwnd, expected[k - 1]) << k;
        EXPECT_EQ(SkinProp(expected[k - 1], kPropHwLbId), k);
    }
    EXPECT_EQ(SendMessageA(c.tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(kMagenta));
}

TEST_F(ListFrames, RingByState) {
    BuildFixture();
    const HWND l = c.list;
    const int mx = 60;
    struct Case {
        const char* name;
        int hot, focused;
        uint32_t pen;
        bool twoPixels;
    };
    const Case cases[] = {
        {"normal", 0, 0, 0x5A000000, false},
        {"focused", 0, 1, Theme(200), false},
        {"hot", 1, 0, Theme(200), true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PaintListFrame(index_, 1, k.hot, 1, k.focused, 1);
        const uint32_t b1 = BackdropOf(l, mx, 1);
        EXPECT_TRUE(Near(ScreenPixel(l, mx, 0), Over(BackdropOf(l, mx, 0), k.pen), 2));
        EXPECT_TRUE(Near(ScreenPixel(l, mx, 1), k.twoPixels ? Over(b1, k.pen) : b1, 2));
        EXPECT_TRUE(Near(ScreenPixel(l, 0, 40), Over(BackdropOf(l, 0, 40), k.pen), 2));
    }
}

TEST_F(ListFrames, ContentIsComposedOverTheBackdrop) {
    BuildFixture();
    struct Case {
        const char* name;
        HWND control;
        POINT p;  // window coordinates, away from items, lines and header
    };
    const Case cases[] = {
        {"tree view", c.tree, {100, 70}},
        {"list view", c.listView, {100, 75}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(Rgb(ScreenPixel(k.control, k.p.x, k.p.y)),
                  Rgb(BackdropOf(k.control, k.p.x, k.p.y)));
    }
    // The tree's items are there, and its magenta background is not.
    int dark = 0, magenta = 0;
    for (uint32_t p : Screen(c.tree)) {
        dark += Red(p) < 0x30 && Green(p) < 0x30;
        magenta += Rgb(p) == kMagenta;
    }
    EXPECT_GT(dark, 5);
    EXPECT_EQ(magenta, 0);
}

TEST_F(ListFrames, BorderlessListGetsNoOutline) {
    BuildFixture();
    HWND panel = MakePanel(20, 150, 300, 120);
    HWND bare = Child(panel, "ListBox", LBS_NOINTEGRALHEIGHT, 0, 10, 10, 100, 60);
    RegisterControl(panel, 0);
    Settle();
    const std::vector<uint32_t> before = Screen(bare);
    const int k = static_cast<int>(SkinProp(bare, kPropHwLbId));
    ASSERT_GE(k, 1);
    PaintListFrame(index_, k, 1, 1, 1, 1);
    EXPECT_EQ(Screen(bare), before);
}

// ---- Containers -------------------------------------------------------------------------------

class Containers : public PainterTest {};

// Columns [first, last] of the pixels in rows 1 .. 1 + height that are darker than any frame line.
std::pair<int, int> DarkColumns(const std::vector<uint32_t>& pixels, int width, int height) {
    int first = width, last = -1;
    for (int y = 1; y <= height; ++y)
        for (int x = 0; x < width; ++x)
            if (Green(pixels[y * width + x]) < 0x80) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST_F(Containers, GroupBoxCaptionPlace) {
    BuildFixture(Backdrop::kPlain);
    const int w = 200;
    struct Case {
        const char* name;
        DWORD align;
        int expectedX;  // -1: right, -2: centred
    };
    const Case cases[] = {
        {"neither", 0, -1},
        {"BS_RIGHT", BS_RIGHT, -1},
        {"BS_LEFT", BS_LEFT, 10},
        {"BS_CENTER", BS_CENTER, -2},
    };
    int y = 150;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HWND box = Child(top_, "BUTTON", BS_GROUPBOX | k.align, 0, 300, y, w, 60, "标题");
        y += 70;
        RegisterControl(box, 1, GetSysColor(COLOR_BTNFACE), 0, 0);
        InvalidateRect(box, nullptr, TRUE);
        Settle();
        const ControlSkinRecord& entry = *ControlRecord(index_, ControlIndex(index_, box));
        ASSERT_EQ(entry.isGroupBox, 1);
        const int tw =
            MeasureTextWidth("标题", entry.fontFace.c_str(), entry.fontSize, entry.fontStyle);
        const int x = k.expectedX == -1 ? w - tw - 10 : k.expectedX == -2 ? (w - tw) / 2 : 10;
        const auto columns = DarkColumns(Screen(box), w, entry.fontSize + 3);
        // The measured width holds the glyphs with a little room on either side.
        EXPECT_GE(columns.first, x);
        EXPECT_LE(columns.first, x + 5);
        EXPECT_LT(columns.second, x + tw);
        EXPECT_GE(columns.second, x + tw - 6);
    }
}

TEST_F(Containers, EmptyCaptionWipesOnePixel) {
    BuildFixture();
    const int w = 200;
    HWND box = Child(top_, "BUTTON", BS_GROUPBOX, 0, 300, 150, w, 60, "");
    RegisterControl(box, 1, GetSysColor(COLOR_BTNFACE), 0, 0);
    InvalidateRect(box, nullptr, TRUE);
    Settle();
    EXPECT_EQ(MeasureTextWidth("", "宋体", 12, 0), 1);
    const int x = w - 1 - 10;
    // The outer line at row 5 and the inner one at row 6 are gone in that one column only.
    for (int row : {5, 6}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Rgb(ScreenPixel(box, x, row)), Rgb(BackdropOf(box, x, row)));
        EXPECT_NE(Rgb(ScreenPixel(box, x - 1, row)), Rgb(BackdropOf(box, x - 1, row)));
        EXPECT_NE(Rgb(ScreenPixel(box, x + 1, row)), Rgb(BackdropOf(box, x + 1, row)));
    }
    EXPECT_TRUE(Near(ScreenPixel(box, x - 1, 5), Over(BackdropOf(box, x - 1, 5), 0x28000000), 2));
    EXPECT_TRUE(Near(ScreenPixel(box, x - 1, 6), Over(BackdropOf(box, x - 1, 6), 0x5AFFFFFF), 2));
}

LRESULT CALLBACK BluePanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, blue);
        DeleteObject(blue);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterBluePanel() {
    RegisterFixtureClass("QlBluePanel", BluePanelProc);
}

TEST_F(Containers, WithoutFillChildrenPaintsNothingButStillAnswers) {
    BuildFixture();
    RegisterBluePanel();
    struct Case {
        const char* name;
        int fillChildren;
        bool paintsItself;
    };
    const Case cases[] = {{"fillChildren 0", 0, false}, {"fillChildren 1", 1, true}};
    int x = 20;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HWND panel = MakePanel(x, 150, 200, 120, "QlBluePanel");
        x += 210;
        HWND edit = Child(panel, "Edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 10, 150, 24, "字");
        HWND button = Child(panel, "BUTTON", BS_PUSHBUTTON, 0, 10, 60, 100, 28, "按");
        RegisterControl(panel, k.fillChildren);
        InvalidateRect(panel, nullptr, TRUE);
        Settle();
        const uint32_t pixel = ScreenPixel(panel, 180, 100);
        if (k.paintsItself)
            EXPECT_EQ(Rgb(pixel), Rgb(BackdropOf(panel, 180, 100)));
        else
            EXPECT_EQ(Rgb(pixel), 0x0000FFu);
        // Colour answers for its children either way.
        HDC dc = GetDC(edit);
        const LRESULT brush = SendMessageA(panel, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(edit));
        ReleaseDC(edit, dc);
        EXPECT_NE(brush, 0);
        EXPECT_EQ(SkinProp(edit, kPropKjBrush), brush);
        // And the owner-drawn button inside is the skin's: its outline lies over the backdrop.
        EXPECT_TRUE(Near(
            ScreenPixel(button, 50, 0),
            Over(Over(Over(BackdropOf(button, 50, 0), 0x78FFFFFF), 0x32FFFFFF), 0x78000000), 4));
    }
}

TEST_F(Containers, MoveInvalidatesUnlessOpaque) {
    BuildFixture();
    struct Case {
        const char* name;
        int fillChildren, fillAlpha;
        bool invalidated;
    };
    const Case cases[] = {
        {"fillAlpha 255", 1, 255, false},
        {"fillAlpha 0", 1, 0, true},
        {"fillAlpha 128", 1, 128, true},
        {"fillChildren 0", 0, 0, false},
    };
    int x = 20;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HWND panel = MakePanel(x, 150, 100, 80);
        x += 110;
        RegisterControl(panel, k.fillChildren, 0x00336699, k.fillAlpha);
        Settle();
        ValidateRect(panel, nullptr);
        SendMessageA(panel, WM_MOVE, 0, MAKELPARAM(x, 150));
        RECT update = {};
        EXPECT_EQ(GetUpdateRect(panel, &update, FALSE) != 0, k.invalidated);
    }
}

TEST_F(Containers, SizeMakesTheNextPaintFull) {
    BuildFixture();
    const int k = ControlIndex(index_, c.group);
    ASSERT_GE(k, 1);
    ControlSkinRecord& entry = *ControlRecord(index_, k);
    EXPECT_EQ(entry.installed, 0);  // the first paint was full
    SendMessageA(c.group, WM_SIZE, 0, MAKELPARAM(250, 120));
    EXPECT_EQ(entry.installed, 1);
    InvalidateRect(c.group, nullptr, TRUE);
    Settle();
    EXPECT_EQ(entry.installed, 0);
}

TEST_F(Containers, HollowBrushForListBoxesAndButtons) {
    BuildFixture();
    HDC dc = GetDC(c.list);
    const LRESULT brush = SendMessageA(top_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(c.list));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(c.list, dc);
    // An owner-drawn list box is left to its owner.
    LRESULT answer = 0;
    EXPECT_FALSE(
        AnswerControlColour(WM_CTLCOLORLISTBOX, 0, reinterpret_cast<LPARAM>(c.ownerList), &answer));
}

// ---- Colour-keyed controls --------------------------------------------------------------------

class ColourKeyed : public PainterTest {};

TEST_F(ColourKeyed, LabelKeyIsTransparentAndTextIsNot) {
    BuildFixture();
    InvalidateRect(c.label, nullptr, FALSE);
    Settle();
    int W = 0, H = 0;
    const std::vector<uint32_t> screen = Screen(c.label, &W, &H);
    int red = 0, magenta = 0;
    for (uint32_t p : screen) {
        red += Rgb(p) == 0xFF0000u;
        magenta += Rgb(p) == kMagenta;
    }
    EXPECT_GT(red, 30);     // the text's own pixels
    EXPECT_EQ(magenta, 0);  // never the key
    // Away from the text: the backdrop, pixel for pixel.
    for (POINT p : {POINT{150, 5}, POINT{199, 39}, POINT{120, 30}})
        EXPECT_EQ(Rgb(screen[p.y * W + p.x]), Rgb(BackdropOf(c.label, p.x, p.y)))
            << p.x << ", " << p.y;
    // Registered as keyed, not as a container (it has no children).
    WindowSkinRecord& r = *WindowRecord(index_);
    EXPECT_GE(r.containerTable.Find(c.label), 1);
    EXPECT_EQ(ControlIndex(index_, c.label), 0);
    // A second registration changes nothing.
    const WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(c.label, GWLP_WNDPROC));
    RegisterColourKeyed(c.label, kMagenta, 1, 0, 0);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(c.label, GWLP_WNDPROC)), proc);
    InvalidateRect(c.label, nullptr, FALSE);
    Settle();
    EXPECT_EQ(Screen(c.label), screen);
}

// A label that paints on the screen whatever device context it is handed: magenta everywhere,
// a red bar in the middle.
LRESULT CALLBACK ScreenLabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH key = CreateSolidBrush(kMagenta), red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, key);
        RECT bar = {20, 10, 60, 20};
        FillRect(dc, &bar, red);
        DeleteObject(key);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(ColourKeyed, LabelThatPaintsTheScreenIsReadBack) {
    BuildFixture();
    RegisterFixtureClass("QlScreenLabel", ScreenLabelProc);
    HWND label = Child(top_, "QlScreenLabel", 0, 0, 300, 150, 100, 30);
    RegisterColourKeyed(label, kMagenta, 1, 0, 0);
    InvalidateRect(label, nullptr, FALSE);
    Settle();
    EXPECT_EQ(Rgb(ScreenPixel(label, 30, 15)), 0xFF0000u);
    for (POINT p : {POINT{5, 5}, POINT{90, 25}, POINT{19, 15}, POINT{60, 15}})
        EXPECT_EQ(Rgb(ScreenPixel(label, p.x, p.y)), Rgb(BackdropOf(label, p.x, p.y)))
            << p.x << ", " << p.y;
}

TEST_F(ColourKeyed, EngineOffPassesThePaintOn) {
    BuildFixture();
    g_skinSettings.engineEnabled = 0;
    InvalidateRect(c.label, nullptr, FALSE);
    Settle();
    EXPECT_EQ(Rgb(ScreenPixel(c.label, 150, 5)), kMagenta);
    g_skinSettings.engineEnabled = 1;
}

TEST_F(ColourKeyed, ToolbarShowsTheSkinWhereItPaintsButtonFace) {
    BuildFixture();
    InvalidateRect(c.toolbar, nullptr, TRUE);
    Settle();
    int W = 0;
    const std::vector<uint32_t> screen = Screen(c.toolbar, &W);
    EXPECT_EQ(Rgb(screen[35 * W + 195]), Rgb(BackdropOf(c.toolbar, 195, 35)));
    int H = 0, drawn = 0;
    Screen(c.toolbar, &W, &H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            drawn += Rgb(screen[y * W + x]) != Rgb(BackdropOf(c.toolbar, x, y));
    EXPECT_GT(drawn, 30);  // the button texts
    EXPECT_GE(WindowRecord(index_)->containerTable.Find(c.toolbar), 1);
    // A toolbar with child windows is also a container that does not paint.
    HWND panel = MakePanel(20, 150, 300, 60);
    HWND bar = Child(panel, TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 0, 200, 40);
    Child(bar, "Edit", 0, 0, 100, 5, 60, 20, "");
    RegisterControl(panel, 0);
    InstallColourKeyedToolbars(index_, panel);
    const int k = ControlIndex(index_, bar);
    ASSERT_GE(k, 1);
    EXPECT_EQ(ControlRecord(index_, k)->fillChildren, 0);
}

}  // namespace

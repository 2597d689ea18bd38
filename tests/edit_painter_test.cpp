// Edit fields and combo boxes on the fixture window: the ring by state, the translucent client
// area, the system's scroll bars, the drop button and the colour answers.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "container.h"
#include "edit_painter.h"
#include "gbk_text.h"
#include "paint_tools.h"
#include "painter_fixture.h"
#include "registry.h"
#include "window_tools.h"

namespace {

class Edits : public PainterTest {};

uint32_t Theme(int alpha) {
    return ColorRefToArgb(kTheme, alpha);
}

TEST_F(Edits, RingByState) {
    BuildFixture();
    const HWND e = c.edit;
    const int mx = 100;
    struct Case {
        const char* name;
        int focused, hot;
        uint32_t pen;
        bool twoPixels;  // the hot pen is 2 pixels wide, inset by one
    };
    const Case cases[] = {
        {"normal", 0, 0, 0x50000000, false},
        {"focused", 1, 0, Theme(180), false},
        {"hot", 0, 1, Theme(180), true},
        {"hot and focused", 1, 1, Theme(180), true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PaintEditFrame(e, k.focused, 1, k.hot, 1);
        const uint32_t b1 = BackdropOf(e, mx, 1);
        EXPECT_TRUE(Near(ScreenPixel(e, mx, 0), Over(BackdropOf(e, mx, 0), k.pen), 2));
        EXPECT_TRUE(Near(ScreenPixel(e, mx, 1), k.twoPixels ? Over(b1, k.pen) : b1, 2));
        EXPECT_TRUE(Near(ScreenPixel(e, 0, 12), Over(BackdropOf(e, 0, 12), k.pen), 2));
        EXPECT_TRUE(Near(ScreenPixel(e, mx, 23), Over(BackdropOf(e, mx, 23), k.pen), 2));
    }
}

TEST_F(Edits, StateFollowsFocusAndMouse) {
    BuildFixture();
    const HWND e = c.edit;
    SetFocus(e);
    PumpMessages();
    EXPECT_EQ(WindowRecord(index_)->editTable[EditIndex(index_, e)].focused, 1);
    InvalidateRect(e, nullptr, TRUE);
    RedrawWindow(e, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Near(ScreenPixel(e, 100, 0), Over(BackdropOf(e, 100, 0), Theme(180)), 2));
    SendMessageA(e, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(Near(ScreenPixel(e, 100, 1), Over(BackdropOf(e, 100, 1), Theme(180)), 2));
    SendMessageA(e, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Rgb(ScreenPixel(e, 100, 1)), Rgb(BackdropOf(e, 100, 1)));
    EXPECT_TRUE(Near(ScreenPixel(e, 100, 0), Over(BackdropOf(e, 100, 0), Theme(180)), 2));
}

TEST_F(Edits, TranslucentClientAreaShowsTheBackdrop) {
    BuildFixture();
    struct Case {
        const char* name;
        HWND edit;
        POINT p;  // in window coordinates, away from the text
    };
    const Case cases[] = {
        {"single line", c.edit, {180, 12}},
        {"multi-line with scroll bar", c.memo, {150, 40}},
        {"inside the group box", c.groupEdit, {180, 12}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(Rgb(ScreenPixel(k.edit, k.p.x, k.p.y)), Rgb(BackdropOf(k.edit, k.p.x, k.p.y)));
    }
    // And the text itself is drawn.
    int dark = 0;
    for (uint32_t p : Screen(c.edit)) dark += Red(p) < 0x20 && Green(p) < 0x20;
    EXPECT_GT(dark, 10);
}

TEST_F(Edits, ScrollBarsAreTheSystems) {
    BuildFixture();
    const HWND m = c.memo;
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(m, OBJID_VSCROLL, &bar));
    RECT window;
    GetWindowRect(m, &window);
    OffsetRect(&bar.rcScrollBar, -window.left, -window.top);
    const RECT& r = bar.rcScrollBar;
    // The whole bar is the system's drawing, with its button faces; none of it is backdrop.
    int W = 0;
    const std::vector<uint32_t> screen = Screen(m, &W);
    int backdrop = 0, face = 0;
    const COLORREF btnFace = GetSysColor(COLOR_BTNFACE);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = screen[y * W + x];
            backdrop += Rgb(p) == Rgb(BackdropOf(m, x, y));
            face += RGB(Red(p), Green(p), Blue(p)) == btnFace;
        }
    EXPECT_EQ(backdrop, 0);
    EXPECT_GT(face, 50);
    const int x = r.left + 3;
    // Right of and below the bar lies the skin's ring.
    EXPECT_TRUE(Near(ScreenPixel(m, x, 79), Over(BackdropOf(m, x, 79), 0x50000000), 2));
    EXPECT_EQ(Rgb(ScreenPixel(m, x, 78)), Rgb(BackdropOf(m, x, 78)));
    EXPECT_TRUE(Near(ScreenPixel(m, 199, 40), Over(BackdropOf(m, 199, 40), 0x50000000), 2));
    // The region handed to the system is exactly the bar.
    HRGN region = ScrollBarRegion(m);
    ASSERT_TRUE(region);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    OffsetRect(&box, -window.left, -window.top);
    EXPECT_TRUE(EqualRect(&box, &r));
    DeleteObject(region);
    EXPECT_EQ(ScrollBarRegion(c.edit), nullptr);
}

TEST_F(Edits, BothScrollBarsMakeOneRegionWithTheCorner) {
    BuildFixture();
    HWND panel = MakePanel(20, 150, 300, 120);
    HWND both = Child(panel, "Edit", ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, 5, 5,
                      200, 100, "x");
    RegisterControl(panel, 0);
    Settle();
    SCROLLBARINFO h = {}, v = {};
    h.cbSize = v.cbSize = sizeof(SCROLLBARINFO);
    GetScrollBarInfo(both, OBJID_HSCROLL, &h);
    GetScrollBarInfo(both, OBJID_VSCROLL, &v);
    HRGN region = ScrollBarRegion(both);
    ASSERT_TRUE(region);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, h.rcScrollBar.left);
    EXPECT_EQ(box.right, v.rcScrollBar.right);
    EXPECT_EQ(box.top, v.rcScrollBar.top);
    EXPECT_EQ(box.bottom, h.rcScrollBar.bottom);
    // Nothing below the horizontal bar: the bottom row of the ring stays the skin's.
    EXPECT_FALSE(PtInRegion(region, v.rcScrollBar.left + 1, h.rcScrollBar.bottom));
    // The corner square belongs to it.
    EXPECT_TRUE(PtInRegion(region, v.rcScrollBar.left + 1, h.rcScrollBar.top + 1));
    DeleteObject(region);
}

TEST_F(Edits, ComboDropButton) {
    BuildFixture();
    struct Case {
        const char* name;
        HWND combo;
        int buttonWidth;
    };
    const Case cases[] = {
        {"drop-down list", c.dropList, 17},
        {"drop-down", c.dropDown, 18},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RECT r;
        GetWindowRect(k.combo, &r);
        const int W = r.right - r.left, H = r.bottom - r.top;
        const int bx = W - k.buttonWidth - 2, y = H / 2;
        EXPECT_TRUE(
            Near(ScreenPixel(k.combo, bx, y), Over(BackdropOf(k.combo, bx, y), 0x50000000), 2));
        EXPECT_EQ(Rgb(ScreenPixel(k.combo, bx - 1, y)), Rgb(BackdropOf(k.combo, bx - 1, y)));
        // The outline round the whole box.
        EXPECT_TRUE(
            Near(ScreenPixel(k.combo, 40, 0), Over(BackdropOf(k.combo, 40, 0), 0x50000000), 2));
        // Hot: the theme outline.
        PaintComboBox(index_, static_cast<int>(SkinProp(k.combo, kPropHwLbId)), 1, 1, 0, 0);
        EXPECT_TRUE(
            Near(ScreenPixel(k.combo, 40, 0), Over(BackdropOf(k.combo, 40, 0), Theme(200)), 2));
        EXPECT_TRUE(
            Near(ScreenPixel(k.combo, bx, y), Over(BackdropOf(k.combo, bx, y), Theme(200)), 2));
    }
    // The drop-down list draws its selected text itself.
    int dark = 0;
    for (uint32_t p : Screen(c.dropList)) dark += Red(p) < 0x20 && Green(p) < 0x20;
    EXPECT_GT(dark, 10);
    EXPECT_STREQ(WindowTextGbk(c.dropList).c_str(), "第二项");
}

TEST_F(Edits, ColourAnswerIsTheBackdropBehindTheClientArea) {
    BuildFixture();
    HDC dc = GetDC(c.edit);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        top_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c.edit)));
    ASSERT_TRUE(brush);
    EXPECT_EQ(SkinProp(c.edit, kPropKjBrush), reinterpret_cast<LONG_PTR>(brush));
    auto bitmap = reinterpret_cast<HBITMAP>(SkinProp(c.edit, kPropKjBrushBitmap));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    // The bitmap is the backdrop behind the client area, which starts 2 pixels in.
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    for (POINT p : {POINT{0, 0}, POINT{50, 7}, POINT{195, 19}}) {
        const uint32_t b = BackdropOf(c.edit, 2 + p.x, 2 + p.y);
        EXPECT_EQ(GetPixel(memory, p.x, p.y), RGB(Red(b), Green(b), Blue(b))) << p.x << ", " << p.y;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    // A second answer deletes the first pair.
    SendMessageA(top_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(c.edit));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    ReleaseDC(c.edit, dc);
    // The edit field of a combo box is the combo box's business.
    HWND inner = FindWindowExA(c.dropDown, nullptr, "Edit", nullptr);
    ASSERT_TRUE(inner);
    LRESULT answer = 0;
    HDC innerDc = GetDC(inner);
    EXPECT_FALSE(AnswerControlColour(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(innerDc),
                                     reinterpret_cast<LPARAM>(inner), &answer));
    ReleaseDC(inner, innerDc);
}

}  // namespace

// The tooltip wrapper against the real tooltip control.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "registry.h"
#include "skin_support.h"
#include "tooltip.h"

namespace {

class Tooltips : public SkinTest {};

TOOLINFOA Query(HWND tip, HWND owner, UINT id, char* text) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = owner;
    info.uId = id;
    info.lpszText = text;
    SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
    if (text) SendMessageA(tip, TTM_GETTEXTA, 80, reinterpret_cast<LPARAM>(&info));
    return info;
}

TEST_F(Tooltips, CreateMakesOneTooltipWindow) {
    HWND owner = MakeTopWindow(200, 100);
    SkinTooltip tip;
    EXPECT_EQ(tip.TipWindow(), nullptr);
    HWND window = tip.Create(owner);
    ASSERT_TRUE(window);
    EXPECT_EQ(tip.TipWindow(), window);
    EXPECT_EQ(tip.owner, owner);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    EXPECT_EQ(lstrcmpiA(cls, TOOLTIPS_CLASSA), 0);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_TRUE(HasStyle(style, TTS_ALWAYSTIP));
    EXPECT_FALSE(HasStyle(style, TTS_BALLOON));
    EXPECT_EQ(tip.Create(owner), window);  // made once

    SkinTooltip balloon;
    EXPECT_TRUE(HasStyle(GetWindowLongPtrA(balloon.Create(owner, true), GWL_STYLE), TTS_BALLOON));

    // A copy refers to the same window; dropping it leaves the window alive.
    {
        SkinTooltip copy = tip;
        EXPECT_EQ(copy.TipWindow(), window);
        EXPECT_EQ(copy.owner, owner);
    }
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(balloon.TipWindow());
    DestroyWindow(window);
}

TEST_F(Tooltips, LayingOutAgainMovesTheToolsAndAddsNone) {
    HWND owner = MakeTopWindow(300, 100);
    SkinTooltip tip;
    HWND window = tip.Create(owner);
    ASSERT_TRUE(window);
    tip.AddTool(RECT{10, 1, 50, 19}, "关闭", 1);
    tip.AddTool(RECT{60, 1, 86, 19}, "最小化", 2);
    EXPECT_EQ(SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0), 2);

    for (int layout = 0; layout < 3; ++layout) {
        tip.SetToolRect(1, RECT{100 + layout, 1, 140 + layout, 19});
        tip.SetToolText(1, "关闭");
        tip.SetToolText(2, "还原");
    }
    EXPECT_EQ(SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0), 2);
    char text[80] = {};
    TOOLINFOA first = Query(window, owner, 1, text);
    EXPECT_EQ(first.rect.left, 102);
    EXPECT_EQ(first.rect.right, 142);
    EXPECT_EQ(first.rect.top, 1);
    EXPECT_EQ(first.rect.bottom, 19);
    EXPECT_TRUE(first.uFlags & TTF_SUBCLASS);
    EXPECT_EQ(std::string(text), "关闭");
    char second[80] = {};
    Query(window, owner, 2, second);
    EXPECT_EQ(std::string(second), "还原");
    DestroyWindow(window);
}

// The first form of the tool record: 40 bytes in the 32-bit program, 56 in the 64-bit one.
TEST(ToolRecordTest, FirstFormSize) {
    EXPECT_EQ(static_cast<size_t>(TTTOOLINFOA_V1_SIZE), sizeof(void*) == 4 ? 40u : 56u);
}

TEST_F(Tooltips, WithoutAWindowEveryCallIsHarmless) {
    SkinTooltip tip;
    tip.AddTool(RECT{0, 0, 5, 5}, "x", 1);
    tip.SetToolRect(1, RECT{0, 0, 6, 6});
    tip.SetToolText(1, "y");
    EXPECT_EQ(tip.TipWindow(), nullptr);
}

// Every button record carries a tooltip object, which is never given a window.
TEST_F(Tooltips, ButtonRecordsHaveNoTooltipWindow) {
    HWND top = MakeTopWindow(200, 100);
    const int i = AppendWindowRecord(top);
    SkinList<ButtonRecord>& buttons = WindowRecord(i)->buttonTable;
    buttons.Add(MakeChild(top, "BUTTON", BS_PUSHBUTTON, 0, 0, 50, 20));
    buttons.Add(MakeChild(top, "BUTTON", BS_PUSHBUTTON, 0, 30, 50, 20));
    for (int k = 1; k <= buttons.Count(); ++k) EXPECT_EQ(buttons[k].tooltip.TipWindow(), nullptr);
    EXPECT_EQ(WindowRecord(i)->tooltip.TipWindow(), nullptr);
}

}  // namespace

// Hover tracking across control kinds: the hot look is painted on entering, whatever kind had the
// hover before with the same table index.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "painter_fixture.h"
#include "registry.h"

namespace {

class Hover : public PainterTest {
  protected:
    uint32_t PushOutline() { return ScreenPixel(c.push, 50, 0); }
    uint32_t NormalOutline() {
        return Over(Over(Over(BackdropOf(c.push, 50, 0), 0x78FFFFFF), 0x32FFFFFF), 0x78000000);
    }
    void MoveOver(HWND w) { SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }
};

const uint32_t kHotOutline = ColorRefToArgb(kTheme);

TEST_F(Hover, SameIndexOtherKindRepaints) {
    BuildFixture();
    // The cases share index 1 in their own tables.
    struct Case {
        const char* name;
        HWND from;
        int kind;
    };
    const Case cases[] = {
        {"list box", c.list, kHotList},
        {"edit field", c.edit, kHotEdit},
        {"combo box", c.simpleCombo, kHotCombo},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_EQ(SkinProp(k.from, kPropHwLbId), 1);
        ASSERT_EQ(SkinProp(c.push, kPropHwLbId), 1);
        SendMessageA(c.push, WM_MOUSELEAVE, 0, 0);
        EXPECT_TRUE(Near(PushOutline(), NormalOutline(), 4));
        MoveOver(k.from);
        EXPECT_EQ(WindowRecord(index_)->hotKind, k.kind);
        EXPECT_EQ(WindowRecord(index_)->lastHotIndex, 1);
        MoveOver(c.push);
        EXPECT_EQ(Rgb(PushOutline()), Rgb(kHotOutline));
    }
}

TEST_F(Hover, EnteringPaintsOnceAndLeavingRestores) {
    BuildFixture();
    MoveOver(c.push);
    EXPECT_EQ(Rgb(PushOutline()), Rgb(kHotOutline));
    // Scribble over the button: a further move inside must not repaint it.
    {
        HDC dc = GetDC(c.push);
        RECT r = {0, 0, 100, 28};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(c.push, dc);
    }
    MoveOver(c.push);
    EXPECT_EQ(Rgb(PushOutline()), 0u);
    SendMessageA(c.push, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(Near(PushOutline(), NormalOutline(), 4));
    // After a click the next move paints the hover again.
    MoveOver(c.push);
    SendMessageA(c.push, WM_LBUTTONUP, 0, 0);
    SendMessageA(c.push, WM_MOUSELEAVE, 0, 0);
    MoveOver(c.push);
    EXPECT_EQ(Rgb(PushOutline()), Rgb(kHotOutline));
}

TEST_F(Hover, FocusedButtonReturnsToFocusLook) {
    BuildFixture();
    SendMessageA(c.push, WM_SETFOCUS, 0, 0);
    MoveOver(c.push);
    SendMessageA(c.push, WM_MOUSELEAVE, 0, 0);
    uint32_t glow = Over(Over(BackdropOf(c.push, 50, 0), 0x78FFFFFF), 0x32FFFFFF);
    for (int k = 0; k < 3; ++k) glow = Over(glow, 0x7822CADD);
    EXPECT_TRUE(Near(PushOutline(), Over(glow, 0x46000000), 5));
}

TEST_F(Hover, EditTakesHoverFromButtonWithSameIndex) {
    BuildFixture();
    ASSERT_EQ(SkinProp(c.edit, kPropHwLbId), 1);
    MoveOver(c.push);
    MoveOver(c.edit);
    const uint32_t theme180 = ColorRefToArgb(kTheme, 180);
    EXPECT_TRUE(Near(ScreenPixel(c.edit, 100, 1), Over(BackdropOf(c.edit, 100, 1), theme180), 2));
}

}  // namespace

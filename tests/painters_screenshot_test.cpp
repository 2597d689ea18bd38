// The fixture window skinned over the real window picture, saved for people to look at.
#include <gtest/gtest.h>

#include "painter_fixture.h"

namespace {

class PainterScreenshot : public PainterTest {};

TEST_F(PainterScreenshot, SavesTheSkinnedFixture) {
    BuildFixture(Backdrop::kPicture);
    SendMessageA(c.check, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(c.radio, BM_SETCHECK, BST_CHECKED, 0);
    Settle();
    // One button hot, as the mouse would leave it.
    SendMessageA(c.defPush, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    GdiFlush();
    EXPECT_TRUE(SaveWindowPng(top_, ScreenshotPath(L"painters.png").c_str()));
}

}  // namespace

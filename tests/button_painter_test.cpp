// Push buttons, check boxes and radio buttons on the fixture window: faces probed pixel by pixel
// against the backdrop behind them, the installers' choices, clicks and texts.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "button_painter.h"
#include "canvas.h"
#include "control_font.h"
#include "images.h"
#include "painter_fixture.h"
#include "registry.h"

namespace {

class Buttons : public PainterTest {
  protected:
    // The push button's face painted for `state` into a canvas of its size.
    std::vector<uint32_t> PushFace(HWND button, UINT state) {
        RECT r;
        GetClientRect(button, &r);
        ScopedCanvas target(CreateCanvas(r.right, r.bottom));
        PaintPushButton(button, target.get(), state, r);
        CanvasImage image(target.get());
        std::vector<uint32_t> pixels;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x) pixels.push_back(image.At(x, y) | 0xFF000000u);
        return pixels;
    }
    const ButtonRecord& Record(HWND button) {
        return WindowRecord(index_)->buttonTable[static_cast<int>(SkinProp(button, kPropHwLbId))];
    }
};

uint32_t Theme(int alpha) {
    return ColorRefToArgb(kTheme, alpha);
}

// The gradient a + (b - a) t, channel by channel.
uint32_t Lerp(uint32_t a, uint32_t b, double t) {
    auto ch = [t](uint32_t x, uint32_t y, int shift) {
        const double u = (x >> shift) & 0xFF, v = (y >> shift) & 0xFF;
        return static_cast<uint32_t>(u + (v - u) * t + 0.5) << shift;
    };
    return ch(a, b, 24) | ch(a, b, 16) | ch(a, b, 8) | ch(a, b, 0);
}

TEST_F(Buttons, PushButtonFaceByState) {
    BuildFixture();
    const HWND b = c.push;
    const int W = 100, H = 28, mx = W / 2;
    const uint32_t top = BackdropOf(b, mx, 0);
    // Under the outline at the top edge lie the white base and the top of the gloss.
    const uint32_t face = Over(Over(top, 0x78FFFFFF), 0x32FFFFFF);
    uint32_t glow = face;
    for (int k = 0; k < 3; ++k) glow = Over(glow, 0x7822CADD);
    const std::vector<uint32_t> normal = PushFace(b, 0);
    const uint32_t tint = Lerp(Theme(60), 0x64FFFFFF, 1.0 / (H - 4));

    struct Case {
        const char* name;
        UINT state;
        int x, y;
        uint32_t expected;
        int tolerance;
    };
    const Case cases[] = {
        {"normal outline", 0, mx, 0, Over(face, 0x78000000), 4},
        {"hover outline", kStateHot, mx, 0, Theme(255), 1},
        {"focused outline", kStateFocus, mx, 0, Over(glow, 0x46000000), 5},
        {"pressed tint", kStatePressed, mx, 3, Over(normal[3 * W + mx], tint), 5},
        {"disabled face", kStateDisabled, 4, H / 2, 0xFFC0C0C0, 1},
        {"disabled outline", kStateDisabled, mx, 0, Over(0xFFC0C0C0, 0x50000000), 3},
        {"disabled left edge", kStateDisabled, 0, H / 2, Over(0xFFC0C0C0, 0x50000000), 3},
    };
    for (const Case& k : cases) {
        const std::vector<uint32_t> pixels = PushFace(b, k.state);
        EXPECT_TRUE(Near(pixels[k.y * W + k.x], k.expected, k.tolerance))
            << k.name << " at (" << k.x << ", " << k.y << ")";
    }
    // Hover and focus are outlines, not fills: the inside keeps the normal face.
    EXPECT_NE(Rgb(PushFace(b, kStateHot)[10 * W + 5]), Rgb(normal[10 * W + 5]));
    EXPECT_EQ(PushFace(b, kStateFocus)[(H / 2) * W + 8], normal[(H / 2) * W + 8]);
}

// A face drawn before is shown again as it was drawn (a hover switches two states over and over),
// and whatever it is drawn from shows at once: the theme colour, the backdrop under a moved button.
TEST_F(Buttons, RepaintedFacesFollowEverythingTheyAreDrawnFrom) {
    BuildFixture();
    const HWND b = c.push;
    const int W = 100, mx = W / 2;
    const std::vector<uint32_t> normal = PushFace(b, 0), hot = PushFace(b, kStateHot);
    ASSERT_NE(normal, hot);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(PushFace(b, kStateHot), hot);
        EXPECT_EQ(PushFace(b, 0), normal);
    }

    const COLORREF theme = g_skinSettings.themeColour;
    g_skinSettings.themeColour = 0x000000FF;
    EXPECT_TRUE(Near(PushFace(b, kStateHot)[mx], 0xFFFF0000, 1)) << "hover outline, red theme";
    g_skinSettings.themeColour = theme;
    EXPECT_EQ(PushFace(b, kStateHot), hot);

    RECT r;
    GetWindowRect(b, &r);
    MapWindowPoints(nullptr, GetParent(b), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(b, nullptr, r.left + 37, r.top + 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Settle();
    const uint32_t face = Over(Over(BackdropOf(b, mx, 0), 0x78FFFFFF), 0x32FFFFFF);
    const std::vector<uint32_t> moved = PushFace(b, 0);
    EXPECT_NE(moved, normal);
    EXPECT_TRUE(Near(moved[mx], Over(face, 0x78000000), 4)) << "normal outline after the move";
}

TEST_F(Buttons, InstallersTakeTheRightButtons) {
    BuildFixture();
    struct Case {
        const char* name;
        HWND button;
        bool skinned;
        int kind;
        int type;  // button type afterwards
    };
    const Case cases[] = {
        {"push button", c.push, true, kPushButton, BS_OWNERDRAW},
        {"default push button", c.defPush, true, kPushButton, BS_OWNERDRAW},
        {"application's owner-draw", c.ownerDraw, false, 0, BS_OWNERDRAW},
        {"check box", c.check, true, kCheckBox, BS_AUTOCHECKBOX},
        {"auto radio button", c.radio, true, kRadioButton, BS_AUTORADIOBUTTON},
        {"plain radio button", c.plainRadio, false, 0, BS_RADIOBUTTON},
        {"three-state check box", c.threeState, false, 0, BS_AUTO3STATE},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const LONG_PTR style = GetWindowLongPtrA(k.button, GWL_STYLE);
        EXPECT_EQ(style & 0xF, k.type);
        EXPECT_EQ(style & WS_VISIBLE, WS_VISIBLE);  // the other bits stay
        const bool subclassed =
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(k.button, GWLP_WNDPROC)) == ButtonProc;
        EXPECT_EQ(subclassed, k.skinned);
        EXPECT_EQ(SkinProp(k.button, kPropHwLbId) >= 1, k.skinned);
        if (k.skinned) {
            EXPECT_EQ(Record(k.button).kind, k.kind);
        }
    }
    // The application still draws its own owner-drawn button.
    EXPECT_EQ(Rgb(ScreenPixel(c.ownerDraw, 50, 14)), Rgb(ColorRefToArgb(kAppOwnerDrawColour)));
    // The default button is painted by the skin: its outline lies over the backdrop.
    EXPECT_TRUE(Near(
        ScreenPixel(c.defPush, 50, 0),
        Over(Over(Over(BackdropOf(c.defPush, 50, 0), 0x78FFFFFF), 0x32FFFFFF), 0x78000000), 4));
}

TEST_F(Buttons, DoubleClickIsNoSecondClick) {
    BuildFixture();
    const LPARAM at = MAKELPARAM(20, 10);
    SendMessageA(c.push, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(c.push, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicks_, 1);
    SendMessageA(c.push, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(c.push, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(clicks_, 1);
    // A double click on a check box does not toggle it twice either.
    SendMessageA(c.check, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(c.check, WM_LBUTTONUP, 0, at);
    SendMessageA(c.check, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(c.check, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(SendMessageA(c.check, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Buttons, NewTextShowsAtTheNextPaint) {
    BuildFixture(Backdrop::kPlain);
    const std::vector<uint32_t> before = Screen(c.push);
    SetWindowTextA(c.push, "换了文字");
    EXPECT_EQ(Record(c.push).text, "换了文字");
    InvalidateRect(c.push, nullptr, TRUE);
    Settle();
    const std::vector<uint32_t> after = Screen(c.push);
    EXPECT_NE(before, after);
    EXPECT_EQ(after, PushFace(c.push, 0));
}

TEST_F(Buttons, AFontWithoutFaceDrawsInSongTi12) {
    struct Case {
        const char* name;
        ControlFont font;
        ControlFont expected;
    };
    const Case cases[] = {
        {"no font at all", {"", 0, 0}, {"宋体", 12, 0}},
        {"no face", {"", 15, 1}, {"宋体", 15, 1}},
        {"no size", {"黑体", 0, 2}, {"黑体", 12, 2}},
        {"complete", {"黑体", 16, 0}, {"黑体", 16, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const ControlFont font = PushButtonFont(k.font);
        EXPECT_EQ(font.face, k.expected.face);
        EXPECT_EQ(font.size, k.expected.size);
        EXPECT_EQ(font.style, k.expected.style);
    }

    // A button whose font had no face, and so took the default, draws exactly like one made with
    // the default face at 12 pixels: same size, same text, same plain backdrop.
    BuildFixture(Backdrop::kPlain);
    ButtonRecord& fallback =
        WindowRecord(index_)->buttonTable[static_cast<int>(SkinProp(c.noFace, kPropHwLbId))];
    const ControlFont taken = PushButtonFont(ControlFont());
    fallback.fontFace = taken.face;
    fallback.fontSize = taken.size;
    fallback.fontStyle = taken.style;
    SetWindowTextA(c.push, "无字体");
    const std::vector<uint32_t> pixels = PushFace(c.noFace, 0);
    EXPECT_EQ(pixels, PushFace(c.push, 0));
    int dark = 0;
    for (uint32_t p : pixels) dark += Red(p) < 0x60;
    EXPECT_GT(dark, 20);  // the text is there
}

// ---- Check boxes and radio buttons ------------------------------------------------------------

// Pixel (x, y) of a 13 x 13 skin image.
uint32_t ImagePixel(const ImageBytes& bytes, int x, int y) {
    GdipImage image = DecodeImage(bytes);
    Gdiplus::ARGB argb = 0;
    gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(image.get()), x, y, &argb);
    return argb;
}

TEST_F(Buttons, CheckBoxSitsHalfwayDown) {
    BuildFixture();
    HWND panel = MakePanel(20, 150, 400, 140);
    struct Case {
        int height;
        double y;  // where the box's top lies
        HWND box;
    };
    Case cases[] = {{19, 3, nullptr},
                    {20, 3.5, nullptr},
                    {21, 4, nullptr},
                    {24, 5.5, nullptr},
                    {13, 0, nullptr}};
    int x = 0;
    for (Case& k : cases) {
        k.box = Child(panel, "BUTTON", BS_AUTOCHECKBOX, 0, x, 10, 60, k.height, "框");
        x += 70;
    }
    RegisterControl(panel, 0);
    Settle();
    const uint32_t border = ImagePixel(SkinImages().checkBoxClear, 6, 0);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.height);
        const int top = static_cast<int>(k.y);
        auto at = [&](int row) { return ScreenPixel(k.box, 6, row); };
        auto back = [&](int row) { return BackdropOf(k.box, 6, row); };
        if (top >= 1) {
            EXPECT_EQ(Rgb(at(top - 1)), Rgb(back(top - 1)));  // nothing above the box
        }
        if (k.y == top) {
            EXPECT_TRUE(Near(at(top), Over(back(top), border), 2));
        } else {
            // Half a pixel down: the border is shared between two rows or, where the graphics
            // library places images on whole pixels, lies in the lower one; never in the upper
            // one alone, as a whole-pixel Y would put it.
            EXPECT_FALSE(Near(at(top), Over(back(top), border), 8));
            EXPECT_NE(Rgb(at(top + 1)), Rgb(back(top + 1)));
        }
    }
}

TEST_F(Buttons, CheckedBoxIsTheCheckedImage) {
    BuildFixture();
    HWND panel = MakePanel(20, 150, 300, 60);
    HWND box = Child(panel, "BUTTON", BS_AUTOCHECKBOX, 0, 5, 5, 100, 19, "选中");
    RegisterControl(panel, 0);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    Settle();
    const std::vector<uint32_t> screen = Screen(box);
    const int W = 100, Y = 3;
    int differing = 0;
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            const uint32_t clear = ImagePixel(SkinImages().checkBoxClear, x, y);
            const uint32_t checked = ImagePixel(SkinImages().checkBoxChecked, x, y);
            const uint32_t expected = Over(Over(BackdropOf(box, x, Y + y), clear), checked);
            EXPECT_TRUE(Near(screen[(Y + y) * W + x], expected, 2)) << x << ", " << y;
            differing += Rgb(clear) != Rgb(checked);
        }
    }
    EXPECT_GT(differing, 10);  // the tick is really there
    // Unchecking shows the clear box again.
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    const std::vector<uint32_t> cleared = Screen(box);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_TRUE(Near(
                cleared[(Y + y) * W + x],
                Over(BackdropOf(box, x, Y + y), ImagePixel(SkinImages().checkBoxClear, x, y)), 2));
}

TEST_F(Buttons, CheckAndRadioHoverGlow) {
    BuildFixture();
    struct Case {
        const char* name;
        HWND button;
        POINT inside;   // inside the box or disc
        POINT outside;  // just outside it, where only the glow reaches
    };
    const Case cases[] = {
        {"check box", c.check, {6, 10}, {6, 3}},
        {"radio button", c.radio, {8, 10}, {8, 5}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RepaintButton(k.button, 0, false);
        const uint32_t in = ScreenPixel(k.button, k.inside.x, k.inside.y);
        const uint32_t out = ScreenPixel(k.button, k.outside.x, k.outside.y);
        RepaintButton(k.button, 0, true);
        const uint32_t hotIn = ScreenPixel(k.button, k.inside.x, k.inside.y);
        const uint32_t hotOut = ScreenPixel(k.button, k.outside.x, k.outside.y);
        // The theme tint is green: green gains on red inside.
        EXPECT_GT(Green(hotIn) - Red(hotIn), Green(in) - Red(in) + 10);
        EXPECT_NE(Rgb(hotOut), Rgb(out));
        // Pressed and focused change nothing.
        RepaintButton(k.button, kStatePressed | kStateFocus, false);
        EXPECT_EQ(ScreenPixel(k.button, k.inside.x, k.inside.y), in);
    }
}

TEST_F(Buttons, DisabledCheckAndRadioLookEnabled) {
    BuildFixture();
    SendMessageA(c.radio, BM_SETCHECK, BST_CHECKED, 0);
    for (HWND b : {c.check, c.radio}) {
        InvalidateRect(b, nullptr, TRUE);
        Settle();
        const std::vector<uint32_t> enabled = Screen(b);
        EnableWindow(b, FALSE);
        InvalidateRect(b, nullptr, TRUE);
        Settle();
        EXPECT_EQ(Screen(b), enabled);
        EnableWindow(b, TRUE);
    }
}

TEST_F(Buttons, RadioDot) {
    BuildFixture(Backdrop::kPlain);
    const int dx = 6,
              dy = 10;  // in the dot (L + 5 .. L + 11, Yr + 3 .. Yr + 9, Yr = 4), off its centre
    RepaintButton(c.radio, 0, false);
    const uint32_t clear = ScreenPixel(c.radio, dx, dy);
    SendMessageA(c.radio, BM_SETCHECK, BST_CHECKED, 0);
    const uint32_t dot = ScreenPixel(c.radio, dx, dy);
    // An unchecked disc is grey-white; the dot is teal.
    EXPECT_LT(std::abs(Red(clear) - Green(clear)), 8);
    EXPECT_GT(Green(dot), Red(dot) + 40);
    EXPECT_GT(Blue(dot), Red(dot) + 40);
    // Drawn after a click or BM_SETCHECK with the pressed state, it looks the same.
    const std::vector<uint32_t> plain = Screen(c.radio);
    PaintRadioButton(c.radio, kStatePressed);
    EXPECT_EQ(Screen(c.radio), plain);
}

TEST_F(Buttons, ClickOnCheckBoxRepaintsTheSkin) {
    BuildFixture();
    const LPARAM at = MAKELPARAM(5, 10);
    SendMessageA(c.check, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(c.check, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(SendMessageA(c.check, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Whatever the system drew on its way, the box shows the checked skin image.
    const uint32_t tick = ImagePixel(SkinImages().checkBoxChecked, 0, 6);
    EXPECT_TRUE(Near(
        ScreenPixel(c.check, 0, 10),
        Over(Over(BackdropOf(c.check, 0, 10), ImagePixel(SkinImages().checkBoxClear, 0, 6)), tick),
        2));
}

}  // namespace

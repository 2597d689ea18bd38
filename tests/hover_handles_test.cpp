// Hover tracking across control kinds, and the process's GDI objects over many repaints and
// colour answers.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "container.h"
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

// ---- Handles ----------------------------------------------------------------------------------

class Handles : public PainterTest {};

TEST_F(Handles, HoverRepaintsLeakNothing) {
    BuildFixture();
    // Each round makes the list box and then the push button take the hover: two repaints.
    auto rounds = [this](int n) {
        for (int k = 0; k < n; ++k) {
            SendMessageA(c.list, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            SendMessageA(c.push, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            if (k % 100 == 0) PumpMessages();
        }
        PumpMessages();
    };
    rounds(5);  // 10 repaints
    const int after10 = GdiObjectCount();
    const DWORD start = GetTickCount();
    rounds(5000);  // 10,000 repaints
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(GdiObjectCount(), after10);
    EXPECT_EQ(Rgb(ScreenPixel(c.push, 50, 0)), Rgb(kHotOutline));  // they really painted
    RecordProperty("ms_per_hover_repaint", static_cast<int>(elapsed / 10));
    printf("10,000 hover repaints: %lu ms\n", static_cast<unsigned long>(elapsed));
}

TEST_F(Handles, ColourAnswersLeakNothing) {
    BuildFixture();
    struct Case {
        const char* name;
        UINT msg;
        HWND child;
    };
    const Case cases[] = {
        {"edit", WM_CTLCOLOREDIT, c.edit},
        {"static", WM_CTLCOLORSTATIC, c.edit},
        {"list box", WM_CTLCOLORLISTBOX, c.list},
        {"button", WM_CTLCOLORBTN, c.check},
        {"edit then button", WM_CTLCOLORBTN, c.edit},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HDC dc = GetDC(k.child);
        auto answer = [&](int n) {
            for (int i = 0; i < n; ++i)
                SendMessageA(top_, k.msg, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(k.child));
        };
        answer(10);
        const int after10 = GdiObjectCount();
        answer(1000);
        EXPECT_EQ(GdiObjectCount(), after10);
        ReleaseDC(k.child, dc);
    }
    // Destroying a control frees the last pair it was given.
    for (HWND child : {c.edit, c.check, c.label}) {
        SCOPED_TRACE(child == c.edit ? "edit" : child == c.check ? "check box" : "keyed label");
        HDC dc = GetDC(child);
        LRESULT answer = 0;
        EXPECT_TRUE(AnswerControlColour(child == c.edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                        reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(child), &answer));
        ReleaseDC(child, dc);
        const HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(SkinProp(child, kPropKjBrush));
        const HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SkinProp(child, kPropKjBrushBitmap));
        ASSERT_TRUE(brush && bitmap);
        DestroyWindow(child);
        EXPECT_EQ(GetObjectType(brush), 0u);
        EXPECT_EQ(GetObjectType(bitmap), 0u);
    }
}

TEST_F(Handles, FullRepaintsLeakNothing) {
    BuildFixture();
    auto repaint = [this](int n) {
        for (int k = 0; k < n; ++k) {
            InvalidateRect(top_, nullptr, TRUE);
            RedrawWindow(top_, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpMessages();
        }
    };
    repaint(3);
    const int before = GdiObjectCount();
    repaint(20);
    EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace

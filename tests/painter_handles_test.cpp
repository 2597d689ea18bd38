// The process's GDI objects over many hover repaints, colour answers and full repaints. Wine
// creates objects of its own while other programs' windows come and go, so these run alone.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "container.h"
#include "painter_fixture.h"
#include "registry.h"

namespace {

const uint32_t kHotOutline = ColorRefToArgb(kTheme);

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

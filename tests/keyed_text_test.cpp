// Text that keyed controls draw on the key colour, laid over the backdrop, against the same
// controls drawn by the system straight onto the backdrop's colour. ClearType blends each colour
// channel by its own coverage: an edge pixel of black text on magenta is (r, 0, b) with r and b
// apart, which a keying that reads one coverage for the whole pixel would leave purple or blue.
// The suite runs once more with Wine's subpixel text switched on (keyed-text-subpixel, which sets
// QL_EXPECT_SUBPIXEL=1).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "painter_fixture.h"

namespace {

constexpr COLORREF kPlainColour = RGB(0xE0, 0xE0, 0xE0);  // kPlainBackdrop
static_assert((kPlainBackdrop & 0xFFFFFF) == 0xE0E0E0, "the reference is drawn on the backdrop");
const char kReferenceClass[] = "QlKeyedTextReference";
COLORREF g_referenceInk = 0;
GdiBrush g_plainBrush;

// A window the engine never sees, on the backdrop's colour: its labels get the ink asked for.
LRESULT CALLBACK ReferenceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, g_plainBrush.get());
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            SetTextColor(reinterpret_cast<HDC>(wp), g_referenceInk);
            SetBkColor(reinterpret_cast<HDC>(wp), kPlainColour);
            return reinterpret_cast<LRESULT>(g_plainBrush.get());
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool SubpixelExpected() {
    const char* value = std::getenv("QL_EXPECT_SUBPIXEL");
    return value && value[0] == '1';
}

int Channel(uint32_t p, int k) {
    return (p >> (16 - 8 * k)) & 0xFF;
}

class KeyedText : public PainterTest {
  protected:
    void TearDown() override {
        if (reference_) DestroyWindow(reference_);
        reference_ = nullptr;
        PainterTest::TearDown();
    }

    // The fixture over the plain backdrop, and beside it the reference window with an unskinned
    // tree and label made as the fixture's are.
    void Build() {
        BuildFixture(Backdrop::kPlain);
        if (!g_plainBrush) g_plainBrush.reset(CreateSolidBrush(kPlainColour));
        RegisterFixtureClass(kReferenceClass, ReferenceProc);
        reference_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kReferenceClass, "reference",
                                     WS_POPUP | WS_VISIBLE, 700, 40, 300, 200, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(reference_);
        tree_ = Child(reference_, WC_TREEVIEWA, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                      WS_EX_CLIENTEDGE, 10, 10, 120, 90);
        SendMessageW(tree_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(kPlainColour));
        TVINSERTSTRUCTA insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>("根");
        HTREEITEM root = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = root;
        insert.item.pszText = const_cast<char*>("枝");
        SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        label_ = Child(reference_, "Static", SS_LEFT, 0, 10, 120, 200, 40, "标签");
        SendMessageW(label_, WM_SETFONT, SendMessageW(c.label, WM_GETFONT, 0, 0), FALSE);
        Repaint();
    }

    // The labels with their text in `ink`, everything drawn anew.
    void Repaint(COLORREF ink = RGB(255, 0, 0)) {
        labelInk_ = g_referenceInk = ink;
        for (HWND w : {c.tree, c.label, tree_, label_}) InvalidateRect(w, nullptr, TRUE);
        RedrawWindow(reference_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Settle();
    }

    // The client area of `w` as the screen shows it.
    static std::vector<uint32_t> ClientPixels(HWND w, int* cw, int* ch) {
        RECT window, client;
        GetWindowRect(w, &window);
        GetClientRect(w, &client);
        POINT origin = {0, 0};
        ClientToScreen(w, &origin);
        const int dx = origin.x - window.left, dy = origin.y - window.top;
        int W = 0;
        const std::vector<uint32_t> all = Screen(w, &W);
        *cw = client.right, *ch = client.bottom;
        std::vector<uint32_t> pixels;
        for (int y = 0; y < *ch; ++y)
            for (int x = 0; x < *cw; ++x) pixels.push_back(all[(y + dy) * W + x + dx] & 0xFFFFFF);
        return pixels;
    }

    HWND reference_ = nullptr, tree_ = nullptr, label_ = nullptr;
};

// How the keyed drawing of `keyed` departs from the reference drawing of `reference`.
struct Departure {
    int pixels = 0;        // pixels where either drawing shows something other than the backdrop
    int worstTold = 0;     // largest difference in a channel in which ink and key differ
    int worstGuessed = 0;  // in a channel in which they are alike (its coverage is estimated)
    int outside = 0;       // channels beyond both the ink and the backdrop: the key's tint
    int apart = 0;         // reference pixels whose channels had coverages of their own (ClearType)
};

Departure Compare(const std::vector<uint32_t>& keyed, const std::vector<uint32_t>& reference,
                  COLORREF inkRef) {
    const uint32_t ink = (GetRValue(inkRef) << 16) | (GetGValue(inkRef) << 8) | GetBValue(inkRef);
    const uint32_t key = 0xFF00FF, backdrop = kPlainBackdrop & 0xFFFFFF;
    Departure d;
    for (size_t n = 0; n < keyed.size(); ++n) {
        if (keyed[n] == backdrop && reference[n] == backdrop) continue;
        ++d.pixels;
        double low = 1, high = 0;
        for (int k = 0; k < 3; ++k) {
            const int got = Channel(keyed[n], k), want = Channel(reference[n], k);
            const int i = Channel(ink, k), b = Channel(backdrop, k);
            const int diff = std::abs(got - want);
            if (std::abs(i - Channel(key, k)) >= 64)
                d.worstTold = std::max(d.worstTold, diff);
            else
                d.worstGuessed = std::max(d.worstGuessed, diff);
            // The system's own colours (the tree's buttons) may lie beyond: both drawings show
            // them.
            auto beyond = [&](int v) { return v < std::min(i, b) - 1 || v > std::max(i, b) + 1; };
            d.outside += beyond(got) && !beyond(want);
            // Channels darkened by the ink share one gamma: apart only in ClearType.
            if (i < b) {
                const double a = double(want - b) / (i - b);
                low = std::min(low, a), high = std::max(high, a);
            }
        }
        d.apart += high - low > 0.2;
    }
    return d;
}

TEST_F(KeyedText, TreeAndLabelTextEqualsTheSameTextDrawnOnTheBackdrop) {
    Build();
    struct Case {
        const char* name;
        HWND keyed, reference;
        COLORREF ink;
        int guessTolerance;  // levels the estimated channel of an edge may miss by
    };
    const Case cases[] = {
        {"tree, black items", c.tree, tree_, GetSysColor(COLOR_WINDOWTEXT), 48},
        {"label, black text", c.label, label_, RGB(0, 0, 0), 48},
        {"label, red text", c.label, label_, RGB(255, 0, 0), 96},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Repaint(k.ink);
        int cw = 0, ch = 0, rw = 0, rh = 0;
        const std::vector<uint32_t> keyed = ClientPixels(k.keyed, &cw, &ch);
        const std::vector<uint32_t> reference = ClientPixels(k.reference, &rw, &rh);
        ASSERT_EQ(cw, rw);
        ASSERT_EQ(ch, rh);
        const Departure d = Compare(keyed, reference, k.ink);
        printf(
            "%s: %d pixels drawn, %d with ClearType's channels apart; worst difference %d "
            "where the channels tell the coverage, %d where it is estimated; %d channels "
            "beyond ink and backdrop\n",
            k.name, d.pixels, d.apart, d.worstTold, d.worstGuessed, d.outside);
        EXPECT_GT(d.pixels, 30);
        EXPECT_LE(d.worstTold, 2);
        EXPECT_LE(d.worstGuessed, k.guessTolerance);
        EXPECT_EQ(d.outside, 0);
        if (SubpixelExpected()) {
            EXPECT_GT(d.apart, 10) << "the text was not drawn in ClearType";
        }
    }
}

}  // namespace

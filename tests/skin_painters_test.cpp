// The painters of progress bars, track bars, up-down controls and list headers, probed pixel by
// pixel on the skin gallery's window under Wine. Expected colours are worked out from the
// backdrop under each control and the painters' colours, blended as GDI+ blends them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <cstdlib>
#include <string>
#include <vector>

#include "canvas.h"
#include "gallery_window.h"
#include "geometry.h"
#include "painters.h"
#include "registry.h"
#include "remaining_painters.h"
#include "skin_support.h"

namespace {

constexpr COLORREF kTheme = 0x0051AE51;

struct Rgb {
    int r, g, b;
};
Rgb Channels(uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF)};
}
int Greenness(uint32_t argb) {
    Rgb c = Channels(argb);
    return c.g - (c.r + c.b) / 2;
}
int Luminance(uint32_t argb) {
    Rgb c = Channels(argb);
    return (c.r * 30 + c.g * 59 + c.b * 11) / 100;
}
int Distance(uint32_t a, uint32_t b) {
    Rgb x = Channels(a), y = Channels(b);
    return std::max({std::abs(x.r - y.r), std::abs(x.g - y.g), std::abs(x.b - y.b)});
}

// `over` (ARGB, not premultiplied) laid over the opaque colour `under`.
uint32_t Blend(uint32_t under, uint32_t over) {
    const double a = ((over >> 24) & 0xFF) / 255.0;
    Rgb u = Channels(under), o = Channels(over);
    auto mix = [a](int lo, int hi) { return static_cast<uint32_t>(lo * (1 - a) + hi * a + 0.5); };
    return 0xFF000000u | (mix(u.r, o.r) << 16) | (mix(u.g, o.g) << 8) | mix(u.b, o.b);
}
// The colour a two-colour linear gradient has at fraction t of its line. The GDI+ these tests run
// on interpolates the premultiplied colours.
uint32_t Lerp(uint32_t from, uint32_t to, double t) {
    auto alpha = [](uint32_t c) { return ((c >> 24) & 0xFF) / 255.0; };
    const double a = alpha(from) + (alpha(to) - alpha(from)) * t;
    uint32_t result = static_cast<uint32_t>(a * 255 + 0.5) << 24;
    for (int shift : {16, 8, 0}) {
        const double x = ((from >> shift) & 0xFF) * alpha(from);
        const double y = ((to >> shift) & 0xFF) * alpha(to);
        const double premultiplied = x + (y - x) * t;
        const double c = a > 0 ? premultiplied / a : 0;
        result |= static_cast<uint32_t>(std::min(255.0, c + 0.5)) << shift;
    }
    return result;
}

class Painters : public SkinTest {
  protected:
    void SetUp() override {
        SkinTest::SetUp();
        InstallRemainingPainters();
        gallery_ = CreateGallery(GetModuleHandleA(nullptr), 20, 20, false);
        ASSERT_TRUE(gallery_.window);
        ShowWindow(gallery_.window, SW_SHOWNOACTIVATE);
        UpdateWindow(gallery_.window);
        PumpMessages();
        record_ = WindowRecord(gallery_.windowIndex);
        ASSERT_TRUE(record_);
        background_.reset(new CanvasImage(record_->backgroundDc));
    }
    void TearDown() override {
        if (gallery_.window) DestroyWindow(gallery_.window);
        SkinTest::TearDown();
    }

    // The skin background under pixel (x, y) of `control`'s window rectangle.
    uint32_t Backdrop(HWND control, int x, int y) const {
        const RECT r = RectInOwnerWindow(control);
        return background_->At(r.left + x, r.top + y);
    }
    int IndexIn(HWND control) const { return static_cast<int>(SkinProp(control, kPropHwLbId)); }

    GalleryControls gallery_;
    WindowSkinRecord* record_ = nullptr;
    std::unique_ptr<CanvasImage> background_;
};

// ---- Installation -------------------------------------------------------------------------------

TEST_F(Painters, EveryControlOfTheFourClassesIsTakenOver) {
    struct Case {
        const char* name;
        HWND control;
        WNDPROC proc;
    };
    HWND header = ListView_GetHeader(gallery_.listView);
    const Case cases[] = {
        {"progress empty", gallery_.progressEmpty, ProgressProc},
        {"progress half", gallery_.progressHalf, ProgressProc},
        {"progress vertical", gallery_.progressQuarter, ProgressProc},
        {"progress in the group box", gallery_.groupProgress, ProgressProc},
        {"track bar", gallery_.trackBar, TrackBarProc},
        {"vertical track bar", gallery_.trackBarVertical, TrackBarProc},
        {"vertical up-down", gallery_.upDownVertical, UpDownProc},
        {"horizontal up-down", gallery_.upDownHorizontal, UpDownProc},
        {"list view header", header, HeaderProc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.control);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(c.control, GWLP_WNDPROC)), c.proc);
        EXPECT_EQ(SkinProp(c.control, kPropHwFuId), gallery_.windowIndex);
        EXPECT_GE(IndexIn(c.control), 1);
        EXPECT_NE(SkinProp(c.control, kPropHwProc), 0);
    }
    EXPECT_EQ(record_->progressTable.Count(), 7);
    EXPECT_EQ(record_->trackBarTable.Count(), 3);
    EXPECT_EQ(record_->upDownTable.Count(), 2);
    EXPECT_EQ(record_->headerTable.Count(), 1);
    EXPECT_EQ(record_->progressTable[IndexIn(gallery_.progressQuarter)].vertical, 1);
    EXPECT_EQ(record_->progressTable[IndexIn(gallery_.progressHalf)].vertical, 0);
    const TrackBarRecord& bar = record_->trackBarTable[IndexIn(gallery_.trackBar)];
    EXPECT_EQ(bar.tickSide, 1);
    EXPECT_EQ(bar.selectionRange, 1);
    EXPECT_EQ(record_->trackBarTable[IndexIn(gallery_.trackBarPlain)].tickSide, 3);
    const TrackBarRecord& tall = record_->trackBarTable[IndexIn(gallery_.trackBarVertical)];
    EXPECT_EQ(tall.vertical, 1);
    EXPECT_EQ(tall.tickSide, 2);
    EXPECT_EQ(record_->upDownTable[IndexIn(gallery_.upDownHorizontal)].horizontal, 1);
    EXPECT_EQ(record_->upDownTable[IndexIn(gallery_.upDownVertical)].horizontal, 0);
    const HeaderRecord& h = record_->headerTable[1];
    EXPECT_EQ(h.buttons, 1);
    EXPECT_FALSE(h.fontFace.empty());
    EXPECT_EQ(h.fontSize, 12);
}

TEST_F(Painters, NothingIsTakenOverWhileTheEngineIsOff) {
    HWND top = MakeTopWindow(200, 120);
    const int i = AppendWindowRecord(top);
    MakeChild(top, PROGRESS_CLASSA, 0, 10, 10, 100, 16);
    MakeChild(top, TRACKBAR_CLASSA, 0, 10, 30, 100, 30);
    MakeChild(top, UPDOWN_CLASSA, 0, 120, 10, 16, 30);
    MakeChild(top, WC_LISTVIEWA, LVS_REPORT, 10, 70, 150, 40);
    g_skinSettings.engineEnabled = 0;
    RunInstallers(i, top, kLastControlRow);
    WindowSkinRecord* r = WindowRecord(i);
    EXPECT_EQ(r->progressTable[1].hwnd, nullptr);
    EXPECT_EQ(r->trackBarTable[1].hwnd, nullptr);
    EXPECT_EQ(r->upDownTable[1].hwnd, nullptr);
    EXPECT_EQ(r->headerTable[1].hwnd, nullptr);
}

// ---- Progress bars
// --------------------------------------------------------------------------------

struct ProgressCase {
    const char* name;
    HWND GalleryControls::*control;
    int setPos;     // -1: keep the gallery's position
    int barLength;  // along the bar, from the left or from the bottom
};

class ProgressBars : public Painters {
  protected:
    // The bar's and the trough's colours at (x, y), worked out from the backdrop.
    uint32_t Trough(HWND p, bool vertical, int x, int y, int w, int h) const {
        const double t = vertical ? x / (w - 1.0) : y / (h - 1.0);
        return Blend(Backdrop(p, x, y),
                     Lerp(ColorRefToArgb(0xFFFFFF, 160), ColorRefToArgb(0, 30), t));
    }
    uint32_t Bar(HWND p, bool vertical, int x, int y, int w, int h, int y0) const {
        const double t = vertical ? x / (w - 1.0) : (y - y0) / (h - 1.0);
        const uint32_t under = Trough(p, vertical, x, y, w, h);
        return Blend(under, Lerp(ColorRefToArgb(0xFFFFFF, 90), ColorRefToArgb(kTheme), t));
    }
};

TEST_F(ProgressBars, TheBarFollowsThePositionAndTheTroughStaysTranslucent) {
    const ProgressCase cases[] = {
        {"empty", &GalleryControls::progressEmpty, -1, 0},
        {"half", &GalleryControls::progressHalf, -1, 150},
        {"full", &GalleryControls::progressFull, -1, 300},
        {"lower bound not subtracted", &GalleryControls::progressShifted, -1, 300},
        {"set to a third", &GalleryControls::progressEmpty, 33, 99},
        {"set back to 0", &GalleryControls::progressFull, 0, 0},
        {"vertical quarter", &GalleryControls::progressQuarter, -1, 40},
        {"vertical three quarters", &GalleryControls::progressThreeQuarters, -1, 120},
        {"vertical set to full", &GalleryControls::progressQuarter, 100, 160},
    };
    for (const ProgressCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND p = gallery_.*c.control;
        if (c.setPos >= 0) {
            SendMessageA(p, PBM_SETPOS, c.setPos, 0);
            UpdateWindow(p);  // the control's own invalidation brings the skin's paint
        } else {
            PaintProgressBar(gallery_.windowIndex, IndexIn(p));
        }
        const bool vertical = record_->progressTable[IndexIn(p)].vertical != 0;
        const CanvasImage shot = CaptureWindow(p);
        const int w = shot.width(), h = shot.height();
        const int extent = vertical ? h : w;
        ASSERT_TRUE(extent > 0);
        // Probe the far side of the thickness, where the bar is nearly opaque theme colour.
        const int across = vertical ? w - 4 : h - 4;
        int barCount = 0, troughCount = 0;
        for (int along = 4; along < extent - 4; along += 3) {
            const int x = vertical ? across : along;
            const int y = vertical ? extent - 1 - along : across;
            const uint32_t seen = shot.At(x, y);
            const bool inBar = along < c.barLength - 4;
            const bool inTrough = along > c.barLength + 2;
            const int y0 = vertical ? h - c.barLength : 0;
            if (inBar) {
                EXPECT_LE(Distance(seen, Bar(p, vertical, x, y, w, h, y0)), 8)
                    << "bar at " << x << "," << y;
                ++barCount;
            } else if (inTrough) {
                const uint32_t trough = Trough(p, vertical, x, y, w, h);
                EXPECT_LE(Distance(seen, trough), 4) << "trough at " << x << "," << y;
                ++troughCount;
            }
        }
        EXPECT_EQ(barCount > 0, c.barLength > 8);
        EXPECT_EQ(troughCount > 0, c.barLength < extent - 8);
    }
}

TEST_F(ProgressBars, OutlineIsTranslucentBlackAndTheCornersShowTheBackdrop) {
    HWND p = gallery_.progressHalf;
    PaintProgressBar(gallery_.windowIndex, IndexIn(p));
    const CanvasImage shot = CaptureWindow(p);
    const int w = shot.width(), h = shot.height();
    // Top edge of the outline, away from the corners: black at alpha 50 over the backdrop.
    for (int x : {w / 2 + 20, w - 20})
        EXPECT_LE(Distance(shot.At(x, 0), Blend(Backdrop(p, x, 0), ColorRefToArgb(0, 50))), 3);
    // The very corner lies outside the rounded outline: untouched backdrop.
    EXPECT_LE(Distance(shot.At(0, 0), Backdrop(p, 0, 0)), 2);
    EXPECT_LE(Distance(shot.At(w - 1, h - 1), Backdrop(p, w - 1, h - 1)), 2);
}

TEST_F(ProgressBars, RepaintingLeavesNoGdiObjectsBehind) {
    PaintProgressBar(gallery_.windowIndex, IndexIn(gallery_.progressHalf));
    const int before = GdiObjectCount();
    for (int k = 0; k < 20; ++k)
        PaintProgressBar(gallery_.windowIndex, IndexIn(gallery_.progressHalf));
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_EQ(CanvasCount(), 0);
}

TEST_F(ProgressBars, AnEmptyRangeDrawsNoBar) {
    HWND p = gallery_.progressHalf;
    SendMessageA(p, PBM_SETRANGE32, 40, 40);
    PaintProgressBar(gallery_.windowIndex, IndexIn(p));
    const CanvasImage shot = CaptureWindow(p);
    const int w = shot.width(), h = shot.height();
    for (int x = 6; x < w - 6; x += 7)
        EXPECT_LE(
            Distance(shot.At(x, h - 4), Blend(Backdrop(p, x, h - 4),
                                              Lerp(ColorRefToArgb(0xFFFFFF, 160),
                                                   ColorRefToArgb(0, 30), (h - 4) / (h - 1.0)))),
            4)
            << x;
}

// ---- Track bars
// ----------------------------------------------------------------------------------

class TrackBars : public Painters {
  protected:
    void Leave(HWND t) { SendMessageA(t, WM_MOUSELEAVE, 0, 0); }
    void Hover(HWND t, int x, int y) { SendMessageA(t, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    RECT Channel(HWND t) {
        RECT c = {};
        SendMessageA(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
        return c;
    }
    RECT Thumb(HWND t) {
        RECT r = {};
        SendMessageA(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

bool IsWhite(uint32_t argb) {
    Rgb c = Channels(argb);
    return c.r >= 0xE8 && c.g >= 0xE8 && c.b >= 0xE8;
}

TEST_F(TrackBars, SmallDotAwayFromTheMouseAndAnElevenPixelKnobUnderIt) {
    struct Case {
        const char* name;
        HWND GalleryControls::*control;
        int across;  // where the knob starts across the track, from the groove's position
    };
    const Case cases[] = {
        {"ticks below, selection range", &GalleryControls::trackBar, -4},
        {"no ticks", &GalleryControls::trackBarPlain, -4},
        {"vertical, ticks on both sides", &GalleryControls::trackBarVertical, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND t = gallery_.*c.control;
        const TrackBarRecord& entry = record_->trackBarTable[IndexIn(t)];
        const bool vertical = entry.vertical != 0;
        RECT ch = Channel(t);
        // Across the track, whichever way the system reports a vertical bar's channel.
        int ct = ch.top, cb = ch.bottom;
        if (vertical && ch.bottom - ch.top > ch.right - ch.left) ct = ch.left, cb = ch.right;
        const int groove = entry.selectionRange ? ct + (cb - ct - 4) / 2 : ct;
        const RECT thumb = Thumb(t);
        const int along = vertical ? thumb.top : thumb.left;
        auto at = [vertical](const CanvasImage& img, int a, int b) {
            return vertical ? img.At(b, a) : img.At(a, b);
        };

        Leave(t);
        const CanvasImage dot = CaptureWindow(t);
        EXPECT_FALSE(entry.hot);
        // The 4-pixel dot: white at its centre; where the knob's edge would be, no white.
        EXPECT_TRUE(IsWhite(at(dot, along + 2, groove + 1)))
            << std::hex << at(dot, along + 2, groove + 1);
        EXPECT_FALSE(IsWhite(at(dot, along + 8, groove + c.across + 5)));
        EXPECT_FALSE(IsWhite(at(dot, along + 5, groove + c.across + 9)));

        Hover(t, 3, 3);
        EXPECT_TRUE(entry.hot);
        const CanvasImage knob = CaptureWindow(t);
        for (auto [a, b] : {std::pair<int, int>{5, 5}, {8, 5}, {2, 5}, {5, 2}, {5, 8}})
            EXPECT_TRUE(IsWhite(at(knob, along + a, groove + c.across + b)))
                << "knob pixel " << a << "," << b << ": " << std::hex
                << at(knob, along + a, groove + c.across + b);
        // Outside the 11-pixel circle.
        EXPECT_FALSE(IsWhite(at(knob, along + 13, groove + c.across + 5)));

        Leave(t);
        EXPECT_FALSE(IsWhite(at(CaptureWindow(t), along + 8, groove + c.across + 5)));
    }
}

TEST_F(TrackBars, OnlyEnteringRepaintsAndLeavingClearsTheHover) {
    HWND t = gallery_.trackBar;
    const int j = IndexIn(t);
    Hover(t, 3, 3);
    EXPECT_EQ(record_->hotKind, kHotTrackBar);
    EXPECT_EQ(record_->lastHotIndex, j);
    // A move within the control does not repaint: a wiped control stays wiped.
    {
        WindowDc dc(t, WindowDc::kWholeWindow);
        PatBlt(dc.get(), 0, 0, 20, 20, BLACKNESS);
    }
    Hover(t, 6, 6);
    EXPECT_EQ(CaptureWindow(t).At(5, 5) & 0xFFFFFF, 0u);
    SendMessageA(t, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(record_->lastHotIndex, 0);
    EXPECT_EQ(record_->trackBarTable[j].hot, 0);
    EXPECT_NE(CaptureWindow(t).At(5, 5) & 0xFFFFFF, 0u);
}

TEST_F(TrackBars, ValueLineRunsToTheThumbAndTheSelectionIsDrawn) {
    HWND t = gallery_.trackBar;  // 0 .. 100 at 20, selection 60 .. 90
    SendMessageA(t, WM_MOUSELEAVE, 0, 0);
    const RECT ch = Channel(t);
    const RECT thumb = Thumb(t);
    const int y0 = ch.top + (ch.bottom - ch.top - 4) / 2 + 1;  // the line row inside the groove
    const CanvasImage shot = CaptureWindow(t);
    // The stroke of a one-pixel-high rectangle covers the row and the one below.
    auto row = [&](int x) {
        const uint32_t a = shot.At(x, y0), b = shot.At(x, y0 + 1);
        return Greenness(a) > Greenness(b) ? a : b;
    };
    auto lightest = [&](int x) {
        return std::max(Luminance(shot.At(x, y0)), Luminance(shot.At(x, y0 + 1)));
    };
    ASSERT_GT(thumb.left - ch.left, 12);
    for (int x = ch.left + 1; x < thumb.left - 2; ++x)
        EXPECT_GT(Greenness(row(x)), 40) << "value line at " << x;
    const int selStart = 60 + ch.left - 1;
    const int selLength = 30 * (ch.right - ch.left) / 100;
    ASSERT_GT(selStart, thumb.right + 4);
    // Between the thumb and the selection: the bare groove.
    const int bare = lightest(thumb.right + 3);
    for (int x = thumb.right + 3; x < selStart - 1; ++x) {
        EXPECT_LT(Greenness(row(x)), 15) << x;
        EXPECT_LE(std::abs(lightest(x) - bare), 12) << x;
    }
    // The selection: a light line, clearly lighter than the bare groove.
    for (int x = selStart + 2; x < selStart + selLength - 2; ++x)
        EXPECT_GT(lightest(x), bare + 25) << "selection at " << x;
    // Past its end the groove is bare again.
    for (int x = selStart + selLength + 2; x < ch.right - 1; ++x)
        EXPECT_LE(std::abs(lightest(x) - bare), 12) << x;
}

TEST_F(TrackBars, ThumbFollowsThePositionThroughTheControlsOwnPaint) {
    HWND t = gallery_.trackBar;
    SendMessageA(t, WM_MOUSELEAVE, 0, 0);
    SendMessageA(t, TBM_SETPOS, TRUE, 90);
    UpdateWindow(t);
    const RECT ch = Channel(t);
    const RECT thumb = Thumb(t);
    ASSERT_GT(thumb.left, ch.left + 100);
    const int groove = ch.top + (ch.bottom - ch.top - 4) / 2;
    const CanvasImage shot = CaptureWindow(t);
    EXPECT_TRUE(IsWhite(shot.At(thumb.left + 2, groove + 1)));
    EXPECT_GT(Greenness(shot.At(thumb.left - 4, groove + 1)) +
                  Greenness(shot.At(thumb.left - 4, groove + 2)),
              40);
}

// ---- Up-down controls
// -----------------------------------------------------------------------------

class UpDowns : public Painters {
  protected:
    // Mean greenness of a column band of one half, near its start or its end along the gradient.
    int HalfGreenness(const CanvasImage& img, bool horizontal, int half, double t) {
        const int W = img.width(), H = img.height();
        const int K = horizontal ? W / 2 : W, L = horizontal ? H : H / 2;
        int sum = 0, n = 0;
        for (int k = 0; k < 3; ++k) {
            if (horizontal) {
                const int x = half * K + 2 + static_cast<int>((K - 5) * t);
                sum += Greenness(img.At(x, 2 + k)), ++n;
            } else {
                const int y = half * L + 2 + static_cast<int>((L - 5) * t);
                sum += Greenness(img.At(2 + k, y)), ++n;
            }
        }
        return sum / n;
    }
};

TEST_F(UpDowns, TheHalfUnderTheMouseIsTintedAndThePressedHalfReversed) {
    struct Case {
        const char* name;
        HWND GalleryControls::*control;
        HWND GalleryControls::*buddy;
        int half;  // 0 first (upper or left), 1 second
        int step;  // what a click on that half does to the buddy's value
    };
    const Case cases[] = {
        {"vertical, upper half", &GalleryControls::upDownVertical,
         &GalleryControls::upDownVerticalBuddy, 0, +1},
        {"vertical, lower half", &GalleryControls::upDownVertical,
         &GalleryControls::upDownVerticalBuddy, 1, -1},
        {"horizontal, left half", &GalleryControls::upDownHorizontal,
         &GalleryControls::upDownHorizontalBuddy, 0, -1},
        {"horizontal, right half", &GalleryControls::upDownHorizontal,
         &GalleryControls::upDownHorizontalBuddy, 1, +1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND u = gallery_.*c.control;
        HWND buddy = gallery_.*c.buddy;
        UpDownRecord& entry = record_->upDownTable[IndexIn(u)];
        const bool horizontal = entry.horizontal != 0;
        RECT r = {};
        GetWindowRect(u, &r);
        const int W = r.right - r.left, H = r.bottom - r.top;
        const int other = 1 - c.half;
        const LPARAM point = horizontal ? MAKELPARAM(c.half ? W - 3 : 2, H / 2)
                                        : MAKELPARAM(W / 2, c.half ? H - 3 : 2);

        SendMessageA(u, WM_MOUSELEAVE, 0, 0);
        const CanvasImage normal = CaptureWindow(u);
        SendMessageA(u, WM_MOUSEMOVE, 0, point);
        EXPECT_EQ(entry.hot, 1);
        EXPECT_EQ(entry.hotPart, c.half);
        EXPECT_EQ(record_->hotKind, kHotUpDown);
        const CanvasImage hot = CaptureWindow(u);
        // Hot: white alpha 100 to theme alpha 150, greener towards the end than the normal look.
        EXPECT_GT(HalfGreenness(hot, horizontal, c.half, 0.9),
                  HalfGreenness(normal, horizontal, c.half, 0.9) + 6);
        // The other half keeps its normal look.
        EXPECT_NEAR(HalfGreenness(hot, horizontal, other, 0.9),
                    HalfGreenness(normal, horizontal, other, 0.9), 2);

        char before[16] = {};
        GetWindowTextA(buddy, before, sizeof(before));
        SendMessageA(u, WM_LBUTTONDOWN, MK_LBUTTON, point);
        EXPECT_EQ(entry.pressed, 1);
        // The control's own invalidation is what repaints; make it happen now.
        RedrawWindow(u, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const CanvasImage down = CaptureWindow(u);
        SendMessageA(u, WM_LBUTTONUP, 0, point);
        EXPECT_EQ(entry.pressed, 0);
        // Pressed: theme alpha 100 to white alpha 150, the gradient of the hot look reversed.
        EXPECT_GT(HalfGreenness(down, horizontal, c.half, 0.1),
                  HalfGreenness(down, horizontal, c.half, 0.9) + 10);
        EXPECT_LT(HalfGreenness(hot, horizontal, c.half, 0.1),
                  HalfGreenness(hot, horizontal, c.half, 0.9) - 10);
        EXPECT_NEAR(HalfGreenness(down, horizontal, other, 0.9),
                    HalfGreenness(normal, horizontal, other, 0.9), 2);

        // The buddy still steps: the control's logic stays with the system.
        char after[16] = {};
        GetWindowTextA(buddy, after, sizeof(after));
        EXPECT_EQ(atoi(after), atoi(before) + c.step) << before << " -> " << after;

        SendMessageA(u, WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(entry.hot, 0);
        EXPECT_EQ(record_->lastHotIndex, 0);
        const CanvasImage left = CaptureWindow(u);
        EXPECT_NEAR(HalfGreenness(left, horizontal, c.half, 0.9),
                    HalfGreenness(normal, horizontal, c.half, 0.9), 2);
    }
}

TEST_F(UpDowns, HitPartsSplitAtTheMiddleLine) {
    HWND u = gallery_.upDownVertical;
    const int j = IndexIn(u);
    RECT r = {};
    GetWindowRect(u, &r);
    const int H = r.bottom - r.top;
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, j, MAKELPARAM(2, H / 2)), 0);
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, j, MAKELPARAM(2, H / 2 + 1)), 1);
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, j, MAKELPARAM(2, 0)), 0);
    HWND h = gallery_.upDownHorizontal;
    GetWindowRect(h, &r);
    const int W = r.right - r.left;
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, IndexIn(h), MAKELPARAM(W / 2, 3)), 0);
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, IndexIn(h), MAKELPARAM(W / 2 + 1, 3)), 1);
    // Negative coordinates (captured mouse outside the control) are the first half.
    EXPECT_EQ(UpDownHitPart(gallery_.windowIndex, IndexIn(h), MAKELPARAM(-5, 3)), 0);
}

// ---- Headers
// ----------------------------------------------------------------------------------------

class Headers : public Painters {
  protected:
    void SetUp() override {
        Painters::SetUp();
        header_ = ListView_GetHeader(gallery_.listView);
        ASSERT_TRUE(header_);
        j_ = IndexIn(header_);
        SendMessageA(header_, WM_MOUSELEAVE, 0, 0);
    }
    RECT Item(int item) {  // 1-based
        RECT r = {};
        SendMessageA(header_, HDM_GETITEMRECT, item - 1, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    HWND header_ = nullptr;
    int j_ = 0;
};

TEST_F(Headers, BodiesAndDividersAreTheSkinsAndTheLastItemReachesTheRightEdge) {
    const CanvasImage shot = CaptureWindow(header_);
    const int h = shot.height();
    RECT client = {};
    GetClientRect(gallery_.listView, &client);
    const RECT last = Item(3);
    ASSERT_LT(last.right, client.right - 20);
    ASSERT_GE(shot.width(), client.right);
    const uint32_t from = ColorRefToArgb(0xFFFFFF, 80), to = ColorRefToArgb(kTheme, 120);
    struct Probe {
        const char* name;
        int x;
    };
    const Probe bodies[] = {
        {"first item", Item(1).right - 6},
        {"second item, right of its text", Item(2).right - 4},
        {"last item", last.left + 60},
        {"stretched part of the last item", client.right - 8},
    };
    for (const Probe& p : bodies) {
        SCOPED_TRACE(p.name);
        for (int y : {2, h / 2, h - 2}) {
            const uint32_t body = Lerp(from, to, (y + 0.5) / h);
            EXPECT_LE(Distance(shot.At(p.x, y), Blend(Backdrop(header_, p.x, y), body)), 6)
                << "row " << y;
        }
    }
    // Dividers at every item's right edge, the stretched last item's at the list view's edge.
    for (int x : {static_cast<int>(Item(1).right) - 1, static_cast<int>(Item(2).right) - 1,
                  static_cast<int>(client.right) - 1}) {
        SCOPED_TRACE(x);
        EXPECT_LT(Luminance(shot.At(x, 1)), Luminance(shot.At(x - 3, 1)) - 20);
    }
    // No divider where the last item's own rectangle ends.
    EXPECT_LE(Distance(shot.At(last.right - 1, 1), shot.At(last.right + 3, 1)), 6);
}

TEST_F(Headers, TextThatDoesNotFitIsCutWithAnEllipsis) {
    const CanvasImage shot = CaptureWindow(header_);
    const int h = shot.height();
    const int margin = static_cast<int>(SendMessageA(header_, HDM_GETBITMAPMARGIN, 0, 0));
    auto inked = [&](int x, int y) { return Luminance(shot.At(x, y)) < 90; };
    struct Extent {
        int right = -1, top = 1000, bottom = -1;
    };
    auto extent = [&](const RECT& item, int fromX) {
        Extent e;
        for (int x = fromX; x < item.right - 1; ++x)
            for (int y = 0; y < h; ++y)
                if (inked(x, y))
                    e.right = std::max(e.right, x), e.top = std::min(e.top, y),
                    e.bottom = std::max(e.bottom, y);
        return e;
    };
    const RECT cut = Item(2);
    const Extent text = extent(cut, cut.left);
    ASSERT_GE(text.right, 0) << "no text drawn";
    // Inside the layout box, on one line: nothing wrapped onto a second line.
    EXPECT_LE(text.right, cut.right - margin);
    const RECT whole = Item(1);
    const Extent reference = extent(whole, whole.left);
    EXPECT_LE(text.bottom, reference.bottom + 1);
    // The last glyph is the ellipsis: ink only in a band a few rows high.
    Extent tail;
    for (int x = text.right - 8; x <= text.right; ++x)
        for (int y = 0; y < h; ++y)
            if (inked(x, y))
                tail.top = std::min(tail.top, y), tail.bottom = std::max(tail.bottom, y);
    EXPECT_LE(tail.bottom - tail.top, 2) << "rows " << tail.top << ".." << tail.bottom;
    // The title that fits is drawn whole: its last glyph is a full-height character.
    Extent fullTail;
    for (int x = reference.right - 4; x <= reference.right; ++x)
        for (int y = 0; y < h; ++y)
            if (inked(x, y))
                fullTail.top = std::min(fullTail.top, y),
                fullTail.bottom = std::max(fullTail.bottom, y);
    EXPECT_GE(fullTail.bottom - fullTail.top, 6);
}

TEST_F(Headers, HotAndPressedItemsWithButtons) {
    ASSERT_TRUE(HasStyle(GetWindowLongPtrA(header_, GWL_STYLE), HDS_BUTTONS));
    HeaderRecord& entry = record_->headerTable[j_];
    const RECT second = Item(2);
    const int x = second.right - 4;  // right of the item's text
    const CanvasImage normal = CaptureWindow(header_);
    const int h = normal.height();

    SendMessageA(header_, WM_MOUSEMOVE, 0, MAKELPARAM((second.left + second.right) / 2, 5));
    EXPECT_EQ(entry.hotItem, 2);
    EXPECT_EQ(entry.paintedHotItem, 2);
    EXPECT_EQ(record_->hotKind, kHotHeader);
    const CanvasImage hot = CaptureWindow(header_);
    // Theme alpha 60 to black alpha 30 over the body: greener at the top, darker at the bottom.
    EXPECT_GT(Greenness(hot.At(x, 1)), Greenness(normal.At(x, 1)) + 5);
    EXPECT_LT(Luminance(hot.At(x, h - 2)), Luminance(normal.At(x, h - 2)) - 10);
    // Other items keep their look.
    const int firstX = Item(1).right - 6;
    EXPECT_LE(Distance(hot.At(firstX, h - 2), normal.At(firstX, h - 2)), 2);

    SendMessageA(header_, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((second.left + second.right) / 2, 5));
    EXPECT_EQ(entry.pressedItem, 2);
    RedrawWindow(header_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const CanvasImage down = CaptureWindow(header_);
    SendMessageA(header_, WM_LBUTTONUP, 0, MAKELPARAM((second.left + second.right) / 2, 5));
    EXPECT_EQ(entry.pressedItem, 0);
    // Black alpha 30 to white alpha 120 over the hot look: darker at the top, lighter at the
    // bottom.
    EXPECT_LT(Luminance(down.At(x, 1)), Luminance(hot.At(x, 1)) - 5);
    EXPECT_GT(Luminance(down.At(x, h - 2)), Luminance(hot.At(x, h - 2)) + 20);

    // Into the divider margin: over no item, the hover look is cleared at once.
    SendMessageA(header_, WM_MOUSEMOVE, 0, MAKELPARAM(second.right - 2, 5));
    EXPECT_EQ(entry.hotItem, 0);
    EXPECT_EQ(entry.hot, 0);
    const CanvasImage cleared = CaptureWindow(header_);
    EXPECT_LE(Distance(cleared.At(x, h - 2), normal.At(x, h - 2)), 2);
    EXPECT_LE(Distance(cleared.At(x, 1), normal.At(x, 1)), 2);
}

TEST_F(Headers, HitItemsLeaveFivePixelsBesideEachDivider) {
    const RECT first = Item(1), second = Item(2), last = Item(3);
    struct Case {
        int x, item;
    };
    const Case cases[] = {
        {first.left + 4, 0},  {first.left + 5, 1},  {first.right - 5, 1},
        {first.right - 4, 0}, {second.left + 4, 0}, {second.left + 5, 2},
        {last.right - 5, 3},  {last.right + 10, 0}, {-3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeaderHitItem(gallery_.windowIndex, j_, MAKELPARAM(c.x, 4)), c.item) << c.x;
}

TEST_F(Headers, WithoutButtonsThereIsNoHoverLookThoughTheItemIsTracked) {
    HWND top = MakeTopWindow(260, 120, 40, 560);
    const int i = AppendWindowRecord(top);
    WindowRecord(i)->backgroundDc = record_->backgroundDc;
    HWND list = MakeChild(top, WC_LISTVIEWA, LVS_REPORT | LVS_NOSORTHEADER, 10, 10, 240, 100);
    for (int k = 0; k < 2; ++k) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 80;
        column.pszText = const_cast<char*>("列");
        SendMessageA(list, LVM_INSERTCOLUMNA, k, reinterpret_cast<LPARAM>(&column));
    }
    HWND header = ListView_GetHeader(list);
    ASSERT_FALSE(HasStyle(GetWindowLongPtrA(header, GWL_STYLE), HDS_BUTTONS));
    InstallHeaders(i, top);
    const int j = IndexIn(header);
    ASSERT_EQ(WindowRecord(i)->headerTable[j].hwnd, header);
    EXPECT_EQ(WindowRecord(i)->headerTable[j].buttons, 0);
    PaintHeader(i, j);
    const CanvasImage normal = CaptureWindow(header);
    SendMessageA(header, WM_MOUSEMOVE, 0, MAKELPARAM(40, 4));
    EXPECT_EQ(WindowRecord(i)->headerTable[j].hotItem, 1);
    const CanvasImage hot = CaptureWindow(header);
    const int h = hot.height();
    for (int y : {1, h / 2, h - 2}) EXPECT_LE(Distance(hot.At(70, y), normal.At(70, y)), 1) << y;
    // The body of a header without buttons: theme alpha 60 to theme alpha 10.
    const uint32_t body = Lerp(ColorRefToArgb(kTheme, 60), ColorRefToArgb(kTheme, 10), 1.5 / h);
    EXPECT_LE(Distance(normal.At(70, 1), Blend(Backdrop(header, 70, 1), body)), 6);
}

TEST_F(Headers, RepaintingLeavesNoGdiObjectsBehind) {
    PaintHeader(gallery_.windowIndex, j_);
    const int before = GdiObjectCount();
    for (int k = 0; k < 10; ++k) PaintHeader(gallery_.windowIndex, j_);
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_EQ(CanvasCount(), 0);
}

// ---- Screenshot ---------------------------------------------------------------------------------

// The whole gallery as the gallery program shows it, every painter bound, saved for people to look
// at and for the check of key colours.
class GalleryScreenshot : public SkinTest {};

TEST_F(GalleryScreenshot, SavesTheGallery) {
    InstallSkinPainters();
    InstallRemainingPainters();
    GalleryControls gallery = CreateGallery(GetModuleHandleA(nullptr), 20, 20, false);
    ASSERT_TRUE(gallery.window);
    ShowWindow(gallery.window, SW_SHOWNOACTIVATE);
    UpdateWindow(gallery.window);
    PumpMessages();
    GdiFlush();
    EXPECT_TRUE(SaveWindowPng(gallery.window, ScreenshotPath(L"gallery.png").c_str()));
    DestroyWindow(gallery.window);
}

}  // namespace

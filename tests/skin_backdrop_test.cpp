// Canvases and backdrops under Wine: every source kind probed pixel by pixel against the pattern
// of the surface it must come from, and the GDI object count over many snapshots.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "geometry.h"
#include "registry.h"
#include "skin_support.h"

namespace {

constexpr uint8_t kWindowTag = 0x11;
constexpr uint8_t kOuterTag = 0x22;
constexpr uint8_t kInnerTag = 0x33;
constexpr COLORREF kFill = 0x00336699;
constexpr uint32_t kFillArgb = ColorRefToArgb(kFill);

// The top-level window with its painted background and one provider panel with its image.
struct Scene {
    HWND top = nullptr;
    int index = 0;
    HWND panel = nullptr;  // provider at (20, 30), 160 x 120
};

uint32_t Background(int x, int y) {
    return PatternPixel(x, y, kWindowTag);
}
uint32_t OuterImage(int x, int y) {
    return PatternPixel(x, y, kOuterTag);
}
uint32_t InnerImage(int x, int y) {
    return PatternPixel(x, y, kInnerTag);
}

struct ProbeCase {
    const char* name;
    // Builds the windows below the scene and returns the one whose canvas is probed.
    std::function<HWND(class Backdrops*, const Scene&)> build;
    RECT r;  // in the probed window's coordinates
    std::function<uint32_t(int x, int y)> expected;
    std::vector<POINT> probes;
};

class Backdrops : public SkinTest {
  public:
    HWND Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h) {
        return MakeChild(parent, cls, style, x, y, w, h);
    }

  protected:
    void SetUp() override {
        SkinTest::SetUp();
        scene_.top = MakeTopWindow(240, 200, 50, 60);
        scene_.index = AppendWindowRecord(scene_.top);
        WindowRecord(scene_.index)->backgroundDc = background_.dc();
        scene_.panel = MakeChild(scene_.top, "Static", 0, 20, 30, 160, 120);
    }
    // Makes the scene's panel a painted backdrop provider registered as a container.
    void MakePanelProvider() {
        RegisterControl(scene_.panel, 0);
        SetSkinProp(scene_.panel, kPropWxkProvider, 1);
        SetSkinProp(scene_.panel, kPropMbProvider,
                    reinterpret_cast<LONG_PTR>(BackgroundProviderOf(scene_.panel)));
        SetSkinProp(scene_.panel, kPropWxkImage, reinterpret_cast<LONG_PTR>(outer_.dc()));
    }
    void Run(const ProbeCase& c);

    Scene scene_;
    PatternSurface background_{240, 200, kWindowTag};
    PatternSurface outer_{160, 120, kOuterTag};
    PatternSurface inner_{100, 80, kInnerTag};
};

void Backdrops::Run(const ProbeCase& c) {
    SCOPED_TRACE(c.name);
    HWND w = c.build(this, scene_);
    ScopedCanvas canvas(BackgroundSnapshot(w, c.r));
    ASSERT_TRUE(canvas);
    for (const POINT& p : c.probes) {
        EXPECT_EQ(CanvasPixel(canvas.get(), p.x, p.y), c.expected(p.x, p.y))
            << std::hex << "probe (" << std::dec << p.x << ", " << p.y << ")";
    }
}

const std::vector<POINT> kCorners = {{0, 0}, {49, 0}, {0, 19}, {49, 19}, {17, 9}};

TEST_F(Backdrops, ControlOnTheWindow) {
    const ProbeCase cases[] = {
        {"whole control",
         [](Backdrops* t, const Scene& s) { return t->Child(s.top, "Static", 0, 30, 40, 50, 20); },
         {0, 0, 50, 20},
         [](int x, int y) { return Background(30 + x, 40 + y); },
         kCorners},
        {"rectangle moved by (3, 2)",
         [](Backdrops* t, const Scene& s) { return t->Child(s.top, "Static", 0, 30, 40, 60, 30); },
         {3, 2, 53, 22},
         [](int x, int y) { return Background(33 + x, 42 + y); },
         kCorners},
        {"the window itself",
         [](Backdrops*, const Scene& s) { return s.top; },
         {0, 0, 240, 200},
         [](int x, int y) { return Background(x, y); },
         {{0, 0}, {239, 199}, {100, 7}}},
    };
    for (const ProbeCase& c : cases) Run(c);
}

TEST_F(Backdrops, ControlInsideAProvider) {
    MakePanelProvider();
    const ProbeCase cases[] = {
        {"control in the provider",
         [](Backdrops* t, const Scene& s) {
             return t->Child(s.panel, "Static", 0, 10, 15, 50, 20);
         },
         {0, 0, 50, 20},
         [](int x, int y) { return OuterImage(10 + x, 15 + y); },
         kCorners},
        {"container with fill, fillChildren 1",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.panel, "Static", 0, 10, 10, 120, 90);
             RegisterControl(box, 1, kFill, 255);
             return t->Child(box, "Static", 0, 10, 15, 50, 20);
         },
         {0, 0, 50, 20},
         [](int, int) { return kFillArgb; },
         kCorners},
        {"container with fill, fillChildren 0",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.panel, "Static", 0, 10, 10, 120, 90);
             RegisterControl(box, 0, kFill, 255);
             return t->Child(box, "Static", 0, 10, 15, 50, 20);
         },
         {0, 0, 50, 20},
         [](int x, int y) { return OuterImage(20 + x, 25 + y); },
         kCorners},
        {"unregistered window between control and filling container",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.panel, "Static", 0, 10, 10, 120, 90);
             RegisterControl(box, 1, kFill, 255);
             HWND plain = t->Child(box, "Static", 0, 5, 5, 100, 60);
             return t->Child(plain, "Static", 0, 10, 15, 50, 20);
         },
         {0, 0, 50, 20},
         [](int, int) { return kFillArgb; },
         kCorners},
    };
    for (const ProbeCase& c : cases) Run(c);
}

TEST_F(Backdrops, ControlInsideAContainer) {
    const ProbeCase cases[] = {
        {"container without fill",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.top, "Static", 0, 20, 30, 120, 80);
             RegisterControl(box, 1, 0, 255);
             return t->Child(box, "Static", 0, 10, 10, 50, 20);
         },
         {0, 0, 50, 20},
         [](int x, int y) { return Background(30 + x, 40 + y); },
         kCorners},
        {"fill with alpha 0 changes nothing",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.top, "Static", 0, 20, 30, 120, 80);
             RegisterControl(box, 1, kFill, 0);
             return t->Child(box, "Static", 0, 10, 10, 50, 20);
         },
         {0, 0, 50, 20},
         [](int x, int y) { return Background(30 + x, 40 + y); },
         kCorners},
        {"fill, fillChildren 1",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.top, "Static", 0, 20, 30, 120, 80);
             RegisterControl(box, 1, kFill, 255);
             return t->Child(box, "Static", 0, 10, 10, 50, 20);
         },
         {0, 0, 50, 20},
         [](int, int) { return kFillArgb; },
         kCorners},
        {"fill, fillChildren 0: laid all the same outside providers",
         [](Backdrops* t, const Scene& s) {
             HWND box = t->Child(s.top, "Static", 0, 20, 30, 120, 80);
             RegisterControl(box, 0, kFill, 255);
             return t->Child(box, "Static", 0, 10, 10, 50, 20);
         },
         {0, 0, 50, 20},
         [](int, int) { return kFillArgb; },
         kCorners},
    };
    for (const ProbeCase& c : cases) Run(c);
}

// A group box's own canvas: its fill is a rounded field from 5 px below its top to 1 px above
// its bottom, where it lies on the window or in a provider; a plain rectangle inside another
// container.
TEST_F(Backdrops, GroupBoxOwnFill) {
    const std::vector<POINT> probes = {{60, 4}, {60, 5},  {60, 78}, {60, 79},  {0, 40}, {119, 40},
                                       {0, 5},  {119, 5}, {0, 78},  {119, 78}, {60, 0}};
    auto shaped = [](std::function<uint32_t(int, int)> under) {
        return [under](int x, int y) {
            bool inside = y >= 5 && y <= 78;
            bool corner = (x == 0 || x == 119) && (y == 5 || y == 78);
            return inside && !corner ? kFillArgb : under(x, y);
        };
    };
    MakePanelProvider();
    const ProbeCase cases[] = {
        {"on the window",
         [](Backdrops* t, const Scene& s) {
             HWND group = t->Child(s.top, "BUTTON", BS_GROUPBOX, 10, 5, 120, 80);
             RegisterControl(group, 1, kFill, 255);
             return group;
         },
         {0, 0, 120, 80},
         shaped([](int x, int y) { return Background(10 + x, 5 + y); }),
         probes},
        {"in a provider",
         [](Backdrops* t, const Scene& s) {
             HWND group = t->Child(s.panel, "BUTTON", BS_GROUPBOX, 20, 25, 120, 80);
             RegisterControl(group, 1, kFill, 255);
             return group;
         },
         {0, 0, 120, 80},
         shaped([](int x, int y) { return OuterImage(20 + x, 25 + y); }),
         probes},
    };
    for (const ProbeCase& c : cases) Run(c);
}

TEST_F(Backdrops, GroupBoxInsideAnotherContainerFillsItsWholeCanvas) {
    HWND box = MakeChild(scene_.top, "Static", 0, 5, 5, 200, 150);
    RegisterControl(box, 1, 0, 255);
    HWND group = MakeChild(box, "BUTTON", BS_GROUPBOX, 10, 10, 120, 80);
    RegisterControl(group, 1, kFill, 255);
    Run({"group box in a container",
         [group](Backdrops*, const Scene&) { return group; },
         {0, 0, 120, 80},
         [](int, int) { return kFillArgb; },
         {{0, 0}, {119, 0}, {60, 4}, {0, 79}, {119, 79}}});
}

TEST_F(Backdrops, ProviderOwnCanvas) {
    const ProbeCase cases[] = {
        {"no provider above: the window background, no container fill",
         [](Backdrops*, const Scene& s) {
             RegisterControl(s.panel, 1, kFill, 255);
             SetSkinProp(s.panel, kPropWxkProvider, 1);
             return s.panel;
         },
         {0, 0, 160, 120},
         [](int x, int y) { return Background(20 + x, 30 + y); },
         {{0, 0}, {159, 119}, {80, 3}}},
    };
    for (const ProbeCase& c : cases) Run(c);

    // An inner provider's canvas holds the image of the provider above it.
    MakePanelProvider();
    HWND innerPanel = MakeChild(scene_.panel, "Static", 0, 30, 20, 100, 80);
    RegisterControl(innerPanel, 1, kFill, 255);
    SetSkinProp(innerPanel, kPropWxkProvider, 1);
    SetSkinProp(innerPanel, kPropMbProvider,
                reinterpret_cast<LONG_PTR>(BackgroundProviderOf(innerPanel)));
    Run({"below another provider",
         [innerPanel](Backdrops*, const Scene&) { return innerPanel; },
         {0, 0, 100, 80},
         [](int x, int y) { return OuterImage(30 + x, 20 + y); },
         {{0, 0}, {99, 79}, {50, 2}}});

    // And a control in the inner provider takes the inner image.
    SetSkinProp(innerPanel, kPropWxkImage, reinterpret_cast<LONG_PTR>(inner_.dc()));
    Run({"control in the inner provider",
         [innerPanel](Backdrops* t, const Scene&) {
             return t->Child(innerPanel, "Static", 0, 7, 9, 50, 20);
         },
         {0, 0, 50, 20},
         [](int x, int y) { return InnerImage(7 + x, 9 + y); },
         kCorners});
}

TEST_F(Backdrops, ProviderNotPaintedYetLeavesTheCanvasTransparent) {
    RegisterControl(scene_.panel, 0);
    SetSkinProp(scene_.panel, kPropWxkProvider, 1);  // no image yet
    HWND control = MakeChild(scene_.panel, "Static", 0, 10, 10, 50, 20);
    Run({"bare",
         [control](Backdrops*, const Scene&) { return control; },
         {0, 0, 50, 20},
         [](int, int) { return 0u; },
         kCorners});
    HWND box = MakeChild(scene_.panel, "Static", 0, 70, 10, 80, 60);
    RegisterControl(box, 1, kFill, 255);
    HWND inBox = MakeChild(box, "Static", 0, 5, 5, 50, 20);
    Run({"only the container fill",
         [inBox](Backdrops*, const Scene&) { return inBox; },
         {0, 0, 50, 20},
         [](int, int) { return kFillArgb; },
         kCorners});
}

TEST_F(Backdrops, WindowWithoutRegisteredAncestorGetsNoCanvas) {
    HWND loose = MakeTopWindow(100, 80, 400, 60);
    HWND child = MakeChild(loose, "Static", 0, 5, 5, 40, 20);
    EXPECT_EQ(BackgroundSnapshot(child, RECT{0, 0, 40, 20}), nullptr);
    EXPECT_EQ(BackgroundSnapshot(loose, RECT{0, 0, 100, 80}), nullptr);
    EXPECT_EQ(CanvasCount(), 0);
}

TEST_F(Backdrops, EmptyRectangleGetsNoCanvas) {
    HWND control = MakeChild(scene_.top, "Static", 0, 5, 5, 40, 20);
    const RECT rects[] = {{0, 0, 0, 20}, {0, 0, 40, 0}, {10, 0, 5, 20}};
    for (const RECT& r : rects) EXPECT_EQ(BackgroundSnapshot(control, r), nullptr);
    EXPECT_EQ(CanvasCount(), 0);
}

TEST_F(Backdrops, CanvasIsTopDownArgbAndStartsTransparent) {
    HDC dc = CreateCanvas(7, 5);
    ASSERT_TRUE(dc);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(dib), &dib),
              static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 7);
    EXPECT_EQ(dib.dsBm.bmHeight, 5);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(CanvasPixel(dc, x, y), 0u);
    // Top-down: pixel (0, 0) is the first word of the bits.
    SetPixelV(dc, 0, 0, RGB(1, 2, 3));
    GdiFlush();
    EXPECT_EQ(static_cast<const uint32_t*>(dib.dsBm.bmBits)[0] & 0x00FFFFFF, 0x00010203u);
    EXPECT_TRUE(ReleaseCanvas(dc));
}

// Every source kind, snapshot and release over and over: the process keeps its GDI object count.
TEST_F(Backdrops, ThousandSnapshotsLeaveNoGdiObject) {
    MakePanelProvider();
    HWND onWindow = MakeChild(scene_.top, "Static", 0, 190, 10, 40, 20);
    HWND inProvider = MakeChild(scene_.panel, "Static", 0, 5, 5, 40, 20);
    HWND group = MakeChild(scene_.panel, "BUTTON", BS_GROUPBOX, 50, 30, 100, 80);
    RegisterControl(group, 1, kFill, 200);
    HWND inGroup = MakeChild(group, "Static", 0, 10, 20, 40, 20);
    HWND box = MakeChild(scene_.top, "Static", 0, 190, 40, 45, 100);
    RegisterControl(box, 1, kFill, 128);
    HWND inBox = MakeChild(box, "Static", 0, 2, 2, 40, 20);
    const HWND windows[] = {onWindow, inProvider, group, inGroup, box, inBox, scene_.panel};

    auto round = [&] {
        for (HWND w : windows) {
            RECT r = {};
            GetWindowRect(w, &r);
            OffsetRect(&r, -r.left, -r.top);
            HDC canvas = BackgroundSnapshot(w, r);
            ASSERT_TRUE(canvas);
            ASSERT_TRUE(ReleaseCanvas(canvas));
        }
    };
    round();  // first use creates the system's own lazily made objects
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    const int rounds = (1000 + 6) / 7;
    for (int k = 0; k < rounds; ++k) round();
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_EQ(CanvasCount(), 0);

    // The count really sees a canvas that is not released.
    HDC leaked = BackgroundSnapshot(onWindow, RECT{0, 0, 40, 20});
    EXPECT_EQ(GdiObjectCount(), before + 2);  // its device context and bitmap
    ReleaseCanvas(leaked);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(Backdrops, RegistryReleasesWhatIsLeft) {
    const int before = GdiObjectCount();
    for (int k = 0; k < 5; ++k) CreateCanvas(10, 10);
    EXPECT_EQ(CanvasCount(), 5);
    ReleaseCanvasRegistry();
    EXPECT_EQ(CanvasCount(), 0);
    EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace

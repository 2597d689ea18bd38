// The registry under Wine with real windows: placeholder rule, apply and re-apply, container
// registration, hot tracking, providers and the lookups.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "canvas.h"
#include "images.h"
#include "main_window_skin.h"
#include "registry.h"
#include "skin_support.h"

namespace {

// Stand-ins for the painters: they follow the common installer and hot-tracking shape and count
// the repaints they would do.
std::map<HWND, int> g_repaints;

template <typename Record, int kKind, SkinList<Record> WindowSkinRecord::*kTable>
LRESULT CALLBACK HotProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowSkinRecord* record = WindowRecord(static_cast<int>(SkinProp(hwnd, kPropHwFuId)));
    Record* entry =
        record ? (record->*kTable).At(static_cast<int>(SkinProp(hwnd, kPropHwLbId))) : nullptr;
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!entry) break;
            RequestMouseLeave(hwnd);
            if (TrackHot(*record, kKind, static_cast<int>(SkinProp(hwnd, kPropHwLbId)), entry->hot))
                ++g_repaints[hwnd];
            break;
        case WM_MOUSELEAVE:
            if (!entry) break;
            LeaveHot(*record, entry->hot);
            ++g_repaints[hwnd];
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

const auto ButtonHotProc = HotProc<ButtonRecord, kHotButton, &WindowSkinRecord::buttonTable>;
const auto TrackBarHotProc =
    HotProc<TrackBarRecord, kHotTrackBar, &WindowSkinRecord::trackBarTable>;

template <typename Record>
void FillNothing(Record&, HWND, LONG_PTR) {}

void InstallTestButtons(int i, HWND parent) {
    InstallChildren(
        i, parent, "BUTTON", &WindowSkinRecord::buttonTable, true, ButtonHotProc,
        [](HWND, LONG_PTR style) { return (style & 0xF) <= BS_DEFPUSHBUTTON; },
        FillNothing<ButtonRecord>);
}

void InstallTestTrackBars(int i, HWND parent) {
    InstallChildren(
        i, parent, TRACKBAR_CLASSA, &WindowSkinRecord::trackBarTable, false, TrackBarHotProc,
        [](HWND, LONG_PTR) { return true; }, FillNothing<TrackBarRecord>);
}

struct InstallerCall {
    int row;
    int windowIndex;
    HWND parent;
};
std::vector<InstallerCall> g_calls;

template <int kRow>
void RecordingInstaller(int i, HWND parent) {
    g_calls.push_back({kRow, i, parent});
}

void BindRecordingInstallers() {
    const Installer installers[kInstallerRows] = {
        RecordingInstaller<1>, RecordingInstaller<2>, RecordingInstaller<3>, RecordingInstaller<4>,
        RecordingInstaller<5>, RecordingInstaller<6>, RecordingInstaller<7>, RecordingInstaller<8>,
        RecordingInstaller<9>, RecordingInstaller<10>};
    for (int row = 1; row <= kInstallerRows; ++row)
        BindInstaller(static_cast<InstallerRow>(row), installers[row - 1]);
}

std::vector<int> CalledRows(HWND parent) {
    std::vector<int> rows;
    for (const InstallerCall& call : g_calls)
        if (call.parent == parent) rows.push_back(call.row);
    return rows;
}

LRESULT CALLBACK TestFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ForwardMessage(hwnd, msg, wp, lp);
}
LRESULT CALLBACK TestContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ForwardMessage(hwnd, msg, wp, lp);
}

WNDPROC ProcOf(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

void MakeProvider(HWND panel) {
    SetSkinProp(panel, kPropWxkProvider, 1);
}

class Registry : public SkinTest {
  protected:
    void SetUp() override {
        SkinTest::SetUp();
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        g_repaints.clear();
        g_calls.clear();
    }
};

TEST_F(Registry, PlaceholderRuleInEveryTable) {
    HWND top = MakeTopWindow(240, 180);
    HWND b1 = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 10, 10, 60, 24, "一");
    HWND b2 = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 80, 10, 60, 24, "二");
    HWND group = MakeChild(top, "BUTTON", BS_GROUPBOX, 10, 50, 100, 80);
    HWND panel = MakeChild(top, "Static", 0, 120, 50, 100, 80);
    WNDPROC buttonProc = ProcOf(b1);
    BindInstaller(InstallerRow::kPushButtons, InstallTestButtons);

    ApplySkinToWindow(top);
    const int i = FindWindowIndex(top);
    ASSERT_EQ(i, 1);
    WindowSkinRecord& r = *WindowRecord(i);

    // The first control reuses the placeholder, the second grows the table.
    ASSERT_EQ(r.buttonTable.Count(), 2);
    EXPECT_EQ(r.buttonTable[1].hwnd, b1);
    EXPECT_EQ(r.buttonTable[2].hwnd, b2);
    EXPECT_EQ(SkinProp(b1, kPropHwLbId), 1);
    EXPECT_EQ(SkinProp(b2, kPropHwLbId), 2);
    EXPECT_EQ(SkinProp(b2, kPropHwFuId), i);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SkinProp(b1, kPropHwProc)), buttonProc);
    EXPECT_EQ(r.buttonTable[1].originalProc, buttonProc);
    EXPECT_EQ(ProcOf(b1), ButtonHotProc);

    // Tables that received nothing keep their one empty element, which no real window matches.
    struct Table {
        const char* name;
        int count;
        HWND first;
        int findsTop, findsButton;
    };
    const Table tables[] = {
        {"editTable", r.editTable.Count(), r.editTable[1].hwnd, r.editTable.Find(top),
         r.editTable.Find(b1)},
        {"listTable", r.listTable.Count(), r.listTable[1].hwnd, r.listTable.Find(top),
         r.listTable.Find(b1)},
        {"trackBarTable", r.trackBarTable.Count(), r.trackBarTable[1].hwnd,
         r.trackBarTable.Find(top), r.trackBarTable.Find(b1)},
        {"progressTable", r.progressTable.Count(), r.progressTable[1].hwnd,
         r.progressTable.Find(top), r.progressTable.Find(b1)},
        {"comboTable", r.comboTable.Count(), r.comboTable[1].hwnd, r.comboTable.Find(top),
         r.comboTable.Find(b1)},
        {"upDownTable", r.upDownTable.Count(), r.upDownTable[1].hwnd, r.upDownTable.Find(top),
         r.upDownTable.Find(b1)},
        {"headerTable", r.headerTable.Count(), r.headerTable[1].hwnd, r.headerTable.Find(top),
         r.headerTable.Find(b1)},
        {"containerTable", r.containerTable.Count(), r.containerTable[1].hwnd,
         r.containerTable.Find(top), r.containerTable.Find(b1)},
        {"staticTable", r.staticTable.Count(), r.staticTable[1].hwnd, r.staticTable.Find(top),
         r.staticTable.Find(b1)},
        {"controlTable", r.controlTable.Count(), r.controlTable[1].hwnd, r.controlTable.Find(top),
         r.controlTable.Find(b1)},
        {"anchoredChildren", r.anchoredChildren.Count(), r.anchoredChildren[1].hwnd,
         r.anchoredChildren.Find(top), r.anchoredChildren.Find(b1)},
    };
    for (const Table& t : tables) {
        EXPECT_EQ(t.count, 1) << t.name;
        EXPECT_EQ(t.first, nullptr) << t.name;
        EXPECT_EQ(t.findsTop, 0) << t.name;
        EXPECT_EQ(t.findsButton, 0) << t.name;
    }
    EXPECT_EQ(ControlIndex(i, b1), 0);
    EXPECT_EQ(ControlIndex(i, nullptr), 0);

    // Containers follow the same rule.
    RegisterControl(group);
    EXPECT_EQ(r.controlTable.Count(), 1);
    EXPECT_EQ(ControlIndex(i, group), 1);
    RegisterControl(panel);
    EXPECT_EQ(r.controlTable.Count(), 2);
    EXPECT_EQ(ControlIndex(i, panel), 2);
    EXPECT_EQ(SkinProp(panel, kPropHwLbId), 2);
    EXPECT_EQ(r.controlTable[2].dockedChildren.Count(), 1);
    EXPECT_EQ(r.controlTable[2].dockedChildren[1].hwnd, nullptr);
}

TEST_F(Registry, ApplyRegistersAMessageBox) {
    const int W = 300, H = 140;
    HWND top = MakeTopWindow(W, H);
    WNDPROC original = ProcOf(top);
    BindRecordingInstallers();
    BindProcedure(SkinProcedure::kMessageBoxFrame, TestFrameProc);

    ApplySkinToWindow(top);
    const int i = FindWindowIndex(top);
    ASSERT_EQ(i, 1);
    const WindowSkinRecord& r = *WindowRecord(i);
    EXPECT_EQ(r.hwnd, top);
    EXPECT_EQ(r.captionHeight, 25);
    EXPECT_EQ(r.hasMinimizeButton, 0);
    EXPECT_EQ(r.hasMaximizeButton, 0);
    EXPECT_EQ(r.hasCloseButton, 1);
    EXPECT_EQ(r.showTitle, 1);
    EXPECT_EQ(r.gloss, 0);
    EXPECT_EQ(r.resizable, 0);
    EXPECT_EQ(r.drawCaption, 1);
    EXPECT_EQ(r.titleColour, 0x00FFFFFFu);
    EXPECT_EQ(r.titleOutlineColour, 0x00808080u);
    EXPECT_EQ(r.titleFontFace, "宋体");
    EXPECT_EQ(r.titleFontSize, 13);
    EXPECT_EQ(r.titleFontStyle, 0);
    EXPECT_EQ(r.needsRender, 1);
    EXPECT_EQ(r.registrationComplete, 1);

    ASSERT_EQ(r.captionButtons.Count(), 1);
    const CaptionButton& close = r.captionButtons[1];
    EXPECT_EQ(close.width, 38);
    EXPECT_EQ(close.height, 18);
    EXPECT_EQ(close.image, SkinImages().messageBoxClose.str());
    EXPECT_EQ(close.kind, 0);
    EXPECT_EQ(close.text, "关闭");
    // Laid out at registration: strip and button at W - 36.
    EXPECT_EQ(r.captionButtonStrip.width, 41);
    EXPECT_EQ(r.captionButtonStrip.height, 22);
    EXPECT_EQ(r.captionButtonStrip.y, 0);
    EXPECT_EQ(r.captionButtonStrip.x, W - 36);
    EXPECT_EQ(close.rect[0], W - 36.0f);
    EXPECT_EQ(close.rect[1], 0.0f);
    EXPECT_EQ(close.rect[2], 36.0f);
    EXPECT_EQ(close.rect[3], 22.0f);

    EXPECT_TRUE(HasStyle(GetWindowLongPtrA(top, GWL_STYLE), WS_SYSMENU));
    EXPECT_TRUE(HasStyle(GetWindowLongPtrA(top, GWL_EXSTYLE), WS_EX_LAYERED));
    BYTE alpha = 99;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(top, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    GdiRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(top, region.get()), ERROR);
    EXPECT_TRUE(PtInRegion(region.get(), W / 2, H / 2));
    EXPECT_TRUE(PtInRegion(region.get(), W - 1, H / 2));
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));  // rounded corner
    EXPECT_FALSE(PtInRegion(region.get(), W - 1, H - 1));

    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), CalledRows(top));
    for (const InstallerCall& call : g_calls) EXPECT_EQ(call.windowIndex, i);

    EXPECT_EQ(ProcOf(top), TestFrameProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SkinProp(top, kPropHwProc)), original);
    EXPECT_EQ(SkinProp(top, kPropHwLbId), i);
}

TEST_F(Registry, ReapplyingChangesNothing) {
    HWND top = MakeTopWindow(240, 160);
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 10, 10, 60, 24);
    HWND box = MakeChild(top, "Static", 0, 10, 60, 100, 60);
    MakeChild(box, "BUTTON", BS_PUSHBUTTON, 5, 5, 40, 20);
    BindInstaller(InstallerRow::kPushButtons, InstallTestButtons);
    BindProcedure(SkinProcedure::kMessageBoxFrame, TestFrameProc);
    BindProcedure(SkinProcedure::kContainer, TestContainerProc);

    ApplySkinToWindow(top);
    RegisterControl(box);
    const WindowSkinRecord& r = *WindowRecord(1);
    const LONG_PTR topProp = SkinProp(top, kPropHwProc);
    const LONG_PTR boxProp = SkinProp(box, kPropHwProc);
    const LONG_PTR buttonProp = SkinProp(button, kPropHwProc);
    const int buttons = r.buttonTable.Count();
    ASSERT_EQ(buttons, 2);

    ApplySkinToWindow(top);
    RegisterControl(box);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(r.buttonTable.Count(), buttons);
    EXPECT_EQ(r.controlTable.Count(), 1);
    EXPECT_EQ(ProcOf(top), TestFrameProc);
    EXPECT_EQ(SkinProp(top, kPropHwProc), topProp);
    EXPECT_EQ(ProcOf(box), TestContainerProc);
    EXPECT_EQ(SkinProp(box, kPropHwProc), boxProp);
    EXPECT_EQ(SkinProp(button, kPropHwProc), buttonProp);
    // The window still answers: no procedure forwards to itself.
    EXPECT_EQ(SendMessageA(top, WM_GETTEXTLENGTH, 0, 0), 9);
}

TEST_F(Registry, DisabledEngineSkinsNoControl) {
    HWND top = MakeTopWindow(200, 100);
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 10, 10, 60, 24);
    WNDPROC original = ProcOf(button);
    BindInstaller(InstallerRow::kPushButtons, InstallTestButtons);
    g_skinSettings.engineEnabled = 0;
    ApplySkinToWindow(top);
    EXPECT_EQ(WindowRecord(1)->buttonTable.Find(button), 0);
    EXPECT_EQ(ProcOf(button), original);
    EXPECT_EQ(SkinProp(button, kPropHwLbId), 0);
}

TEST_F(Registry, RegisterControlFillsTheEntryAndSkinsItsChildren) {
    HWND top = MakeTopWindow(260, 200);
    HWND group = MakeChild(top, "BUTTON", BS_GROUPBOX, 10, 10, 150, 120, "分组");
    HWND inner = MakeChild(group, "BUTTON", BS_PUSHBUTTON, 10, 20, 60, 24);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "宋体");
    SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    WNDPROC original = ProcOf(group);
    AppendWindowRecord(top);
    BindRecordingInstallers();
    BindProcedure(SkinProcedure::kContainer, TestContainerProc);

    RegisterControl(group, 1, 0x00123456, 0x1FF, 0x00654321);
    const int k = ControlIndex(1, group);
    ASSERT_EQ(k, 1);
    const ControlSkinRecord& e = *ControlRecord(1, k);
    EXPECT_EQ(e.fillColour, 0x00123456u);
    EXPECT_EQ(e.fillAlpha, 0xFF);
    EXPECT_EQ(e.borderColour, 0x00654321u);
    EXPECT_EQ(e.fillChildren, 1);
    EXPECT_EQ(e.installed, 1);
    EXPECT_EQ(e.isGroupBox, 1);
    EXPECT_FALSE(e.fontFace.empty());
    EXPECT_EQ(e.fontSize, 12);
    EXPECT_EQ(e.fontStyle & 1, 1);  // bold
    EXPECT_EQ(e.originalProc, original);
    EXPECT_EQ(ProcOf(group), TestContainerProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SkinProp(group, kPropHwProc)), original);
    EXPECT_EQ(SkinProp(group, kPropHwLbId), 1);
    EXPECT_EQ(SkinProp(group, kPropHwFuId), 1);
    EXPECT_EQ(SkinProp(group, kPropMbProvider), 0);
    // Rows 1 to 8 over the container's own children, never the static and toolbar rows.
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), CalledRows(group));

    // Defaults; a plain window is no group box; inside a provider the provider is noted.
    HWND panel = MakeChild(top, "Static", 0, 170, 10, 80, 80);
    MakeProvider(panel);
    HWND box = MakeChild(panel, "Static", 0, 5, 5, 50, 50);
    RegisterControl(box);
    const ControlSkinRecord& d = *ControlRecord(1, ControlIndex(1, box));
    EXPECT_EQ(d.fillChildren, 1);
    EXPECT_EQ(d.fillColour, 0u);
    EXPECT_EQ(d.fillAlpha, 255);
    EXPECT_EQ(d.borderColour, 0u);
    EXPECT_EQ(d.isGroupBox, 0);
    EXPECT_EQ(reinterpret_cast<HWND>(SkinProp(box, kPropMbProvider)), panel);

    (void)inner;
    DestroyWindow(top);
    DeleteObject(font);
}

TEST_F(Registry, RegisterControlOutsideASkinnedWindowDoesNothing) {
    HWND top = MakeTopWindow(200, 100);
    HWND box = MakeChild(top, "Static", 0, 10, 10, 50, 50);
    WNDPROC original = ProcOf(box);
    RegisterControl(box);
    EXPECT_EQ(ProcOf(box), original);
    EXPECT_EQ(SkinProp(box, kPropHwProc), 0);
    EXPECT_EQ(WindowCount(), 0);
}

TEST_F(Registry, MainWindowContainerCalls) {
    HWND top = MakeTopWindow(260, 200);
    HWND filled = MakeChild(top, "Static", 0, 10, 10, 100, 80);
    HWND plain = MakeChild(top, "Static", 0, 120, 10, 100, 80);
    AppendWindowRecord(top);
    MainWindowSkin skin;
    EXPECT_EQ(skin.RegisterContainer(filled, 1, GetSysColor(COLOR_BTNFACE), 0, 0), 0);
    EXPECT_EQ(skin.RegisterContainer(filled, 0, 0x00FF0000, 255, 0), 1);  // already there
    EXPECT_EQ(ControlRecord(1, 1)->fillChildren, 1);
    EXPECT_EQ(skin.RegisterContainer(plain), 0);
    UpdateWindow(top);

    struct Case {
        HWND window;
        int alpha;
        int wantAlpha;
        bool wantInvalidated;
    };
    const Case cases[] = {
        {filled, 0x180, 0x80, true},  // low byte
        {plain, 0x40, 255, false},    // no fill colour: nothing at all
    };
    for (const Case& c : cases) {
        ValidateRect(c.window, nullptr);
        skin.SetContainerFillAlpha(c.window, c.alpha);
        EXPECT_EQ(ControlRecord(1, ControlIndex(1, c.window))->fillAlpha, c.wantAlpha);
        EXPECT_EQ(GetUpdateRect(c.window, nullptr, FALSE) != FALSE, c.wantInvalidated);
    }
    skin.SetContainerFillAlpha(top, 1);  // not a container: no effect, no crash
}

TEST_F(Registry, HotTrackingAcrossKindsWithEqualIndexes) {
    HWND top = MakeTopWindow(240, 120);
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 10, 10, 60, 24);
    HWND track = MakeChild(top, TRACKBAR_CLASSA, 0, 10, 50, 150, 30);
    BindInstaller(InstallerRow::kPushButtons, InstallTestButtons);
    BindInstaller(InstallerRow::kTrackBars, InstallTestTrackBars);
    ApplySkinToWindow(top);
    WindowSkinRecord& r = *WindowRecord(1);
    ASSERT_EQ(SkinProp(button, kPropHwLbId), 1);
    ASSERT_EQ(SkinProp(track, kPropHwLbId), 1);
    ButtonRecord& b = r.buttonTable[1];
    TrackBarRecord& t = r.trackBarTable[1];

    struct Step {
        HWND target;
        UINT msg;
        int buttonRepaints, trackRepaints;
        int buttonHot, trackHot;
        int hotKind, lastHotIndex;
    };
    const Step steps[] = {
        {button, WM_MOUSEMOVE, 1, 0, 1, 0, kHotButton, 1},   // enters
        {button, WM_MOUSEMOVE, 1, 0, 1, 0, kHotButton, 1},   // stays: no repaint
        {track, WM_MOUSEMOVE, 1, 1, 1, 1, kHotTrackBar, 1},  // same index, other kind: enters
        {button, WM_MOUSELEAVE, 2, 1, 0, 1, kHotTrackBar, 0},
        {track, WM_MOUSEMOVE, 2, 2, 0, 1, kHotTrackBar, 1},  // nobody hot any more: enters
    };
    int n = 0;
    for (const Step& s : steps) {
        SendMessageA(s.target, s.msg, 0, MAKELPARAM(5, 5));
        SCOPED_TRACE("step " + std::to_string(++n));
        EXPECT_EQ(g_repaints[button], s.buttonRepaints);
        EXPECT_EQ(g_repaints[track], s.trackRepaints);
        EXPECT_EQ(b.hot, s.buttonHot);
        EXPECT_EQ(t.hot, s.trackHot);
        EXPECT_EQ(r.hotKind, s.hotKind);
        EXPECT_EQ(r.lastHotIndex, s.lastHotIndex);
    }
}

TEST_F(Registry, NestedProvidersTheInnerOneWins) {
    HWND top = MakeTopWindow(300, 240);
    HWND outer = MakeChild(top, "Static", 0, 10, 10, 260, 200);
    HWND inner = MakeChild(outer, "Static", 0, 10, 10, 200, 150);
    HWND control = MakeChild(inner, "Static", 0, 10, 10, 50, 20);
    HWND direct = MakeChild(outer, "Static", 0, 220, 10, 30, 20);
    AppendWindowRecord(top);
    MakeProvider(outer);
    MakeProvider(inner);

    EXPECT_EQ(BackgroundProviderOf(control), inner);
    EXPECT_EQ(BackgroundProviderOf(direct), outer);
    EXPECT_EQ(BackgroundProviderOf(inner), outer);
    EXPECT_EQ(BackgroundProviderOf(outer), nullptr);
    BackdropSource s = FindBackdropSource(control);
    EXPECT_EQ(s.kind, BackdropSource::kProvider);
    EXPECT_EQ(s.provider, inner);

    // A container inside the inner provider names that one.
    HWND box = MakeChild(inner, "Static", 0, 10, 50, 100, 80);
    RegisterControl(box);
    EXPECT_EQ(reinterpret_cast<HWND>(SkinProp(box, kPropMbProvider)), inner);
}

TEST_F(Registry, LookupsAnswerZeroWhenNothingMatches) {
    HWND loose = MakeTopWindow(200, 100);
    HWND looseChild = MakeChild(loose, "Static", 0, 0, 0, 20, 20);
    HWND top = MakeTopWindow(200, 100, 300, 40);
    HWND edit = MakeChild(top, "Edit", 0, 0, 0, 80, 20);
    HWND push = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 0, 30, 80, 20);
    HWND group = MakeChild(top, "BUTTON", BS_GROUPBOX, 0, 60, 80, 30);
    HWND blackRect = MakeChild(top, "Static", SS_BLACKRECT, 100, 0, 20, 20);  // style bit 0x4
    const int i = AppendWindowRecord(top);

    EXPECT_EQ(FindWindowIndex(nullptr), 0);
    EXPECT_EQ(FindWindowIndex(loose), 0);
    EXPECT_EQ(FindWindowIndex(edit), 0);
    EXPECT_EQ(OwningWindowIndex(looseChild), 0);
    EXPECT_EQ(OwningWindowIndex(top), 0);  // the window itself is not tested
    EXPECT_EQ(OwningWindowIndex(edit), i);
    EXPECT_EQ(ControlIndex(0, edit), 0);
    EXPECT_EQ(ControlIndex(i + 1, edit), 0);
    EXPECT_EQ(ControlIndex(i, edit), 0);
    EXPECT_EQ(ControlRecord(i, 0), nullptr);
    EXPECT_EQ(ControlRecord(i, 2), nullptr);
    EXPECT_EQ(WindowRecord(0), nullptr);
    EXPECT_EQ(WindowRecord(i + 1), nullptr);
    EXPECT_EQ(BackgroundProviderOf(edit), nullptr);
    EXPECT_EQ(BackgroundProviderOf(looseChild), nullptr);
    EXPECT_EQ(NearestFillingContainer(i, edit, nullptr), 0);
    EXPECT_EQ(FindBackdropSource(looseChild).kind, BackdropSource::kNone);
    EXPECT_EQ(SkinProp(edit, kPropWxkImage), 0);

    EXPECT_TRUE(IsGroupBoxButton(group));
    EXPECT_FALSE(IsGroupBoxButton(push));
    EXPECT_FALSE(IsGroupBoxButton(blackRect));
    EXPECT_FALSE(IsGroupBoxButton(edit));
}

TEST(SkinSettingsTest, StartUpValues) {
    SkinSettings s;
    EXPECT_EQ(s.engineEnabled, 1);
    EXPECT_EQ(s.translucentControls, 0);
    EXPECT_EQ(s.overlayAlpha, 160);
    EXPECT_EQ(s.themeColour, 0x00DDCA22u);
    EXPECT_EQ(s.trackBarOption, 1);
}

}  // namespace

// The wizard window built in this process: its controls as created, page switching, and the pure
// pieces behind them (line breaking, picture fitting, bitmap files, the icon).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "control_ids.h"
#include "geometry.h"
#include "navigation.h"
#include "product_texts.h"
#include "resource_ids.h"
#include "test_support.h"
#include "text_layout.h"
#include "wizard_window.h"

namespace {

// ---- Line breaking (every character 10 wide, spaces 5) ----

std::vector<std::wstring> Break(const std::wstring& text, int width) {
    std::vector<int> advances;
    for (wchar_t c : text) advances.push_back(c == L' ' ? 5 : 10);
    std::vector<std::wstring> lines;
    for (const TextLine& line : BreakLines(text, advances, width))
        lines.push_back(text.substr(line.start, line.length));
    return lines;
}

TEST(TextLayout, Breaks) {
    struct Case {
        const wchar_t* text;
        int width;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {L"一二三", 100, {L"一二三"}},
        {L"一二\r\n三", 100, {L"一二", L"三"}},
        {L"一二\r\n\r\n三\r\n", 100, {L"一二", L"", L"三", L""}},
        {L"一二三四五", 30, {L"一二三", L"四五"}},
        {L"一二三。四", 30, {L"一二三。", L"四"}},  // punctuation hangs
        {L"一二三，」四", 30, {L"一二三，」", L"四"}},
        {L"ab cdef", 50, {L"ab ", L"cdef"}},                       // a word moves whole
        {L"abcdefgh", 30, {L"abc", L"def", L"gh"}},                // a word longer than the line
        {L"一二群738215946进", 100, {L"一二群", L"738215946进"}},  // a number moves whole
        {L"一", 5, {L"一"}},                                       // at least one character a line
        {L"", 100, {L""}},
    };
    for (const Case& c : cases) EXPECT_EQ(Break(c.text, c.width), c.lines) << &c - cases;
}

// ---- Picture fitting ----

TEST(Geometry, FitInsideKeepsTheAspectRatioAndCentres) {
    struct Case {
        int pw, ph, bw, bh;
        Box want;
    };
    const Case cases[] = {
        {759, 398, 680, 432, {0, 38, 680, 356}},   // wider than the box
        {620, 304, 680, 432, {0, 49, 680, 333}},   // smaller: scaled up to the width
        {365, 511, 680, 432, {186, 0, 308, 432}},  // taller
        {352, 405, 680, 432, {152, 0, 375, 432}}, {680, 432, 680, 432, {0, 0, 680, 432}},
        {0, 10, 680, 432, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Box got = FitInside(c.pw, c.ph, c.bw, c.bh);
        EXPECT_EQ(std::vector<int>({got.x, got.y, got.width, got.height}),
                  std::vector<int>({c.want.x, c.want.y, c.want.width, c.want.height}))
            << c.pw << "x" << c.ph;
    }
}

// ---- Bitmap files ----

std::vector<unsigned char> BitmapFile(int width, int height, int bpp, size_t dropBytes = 0) {
    size_t stride = ((size_t(width) * bpp + 31) / 32) * 4;
    size_t palette = bpp <= 8 ? (size_t(1) << bpp) * 4 : 0;
    size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + palette;
    std::vector<unsigned char> bytes(offset + stride * size_t(height), 0x7F);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(bytes.size());
    file.bfOffBits = static_cast<DWORD>(offset);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bpp);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    bytes.resize(bytes.size() - dropBytes);
    return bytes;
}

TEST(BitmapFiles, Parse) {
    struct Case {
        const char* label;
        std::vector<unsigned char> bytes;
        bool ok;
    };
    std::vector<unsigned char> compressed = BitmapFile(4, 4, 8);
    compressed[sizeof(BITMAPFILEHEADER) + 16] = BI_RLE8;
    std::vector<unsigned char> badMagic = BitmapFile(4, 4, 24);
    badMagic[0] = 'X';
    const Case cases[] = {
        {"24 bpp", BitmapFile(759, 398, 24), true},
        {"8 bpp", BitmapFile(352, 405, 8), true},
        {"last row cut", BitmapFile(10, 10, 24, 1), false},
        {"compressed", compressed, false},
        {"not a bitmap", badMagic, false},
        {"16 bpp", BitmapFile(4, 4, 16), false},
        {"header only", std::vector<unsigned char>(20, 0), false},
    };
    for (const Case& c : cases) {
        BitmapFileInfo info;
        EXPECT_EQ(ParseBitmapFile(c.bytes.data(), c.bytes.size(), &info), c.ok) << c.label;
        HBITMAP bitmap = CreateBitmapFromFile(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(bitmap != nullptr, c.ok) << c.label;
        if (bitmap) DeleteObject(bitmap);
    }
}

TEST(Assets, PicturesHaveTheirSizesAndDepths) {
    struct Case {
        int id, width, height, bpp;
    };
    const Case cases[] = {
        {IDR_PICTURE_INITIAL, 759, 398, 24},
        {IDR_PICTURE_TUTORIAL_1, 620, 304, 24},
        {IDR_PICTURE_TUTORIAL_2, 365, 511, 24},
        {IDR_PICTURE_TUTORIAL_3, 352, 405, 8},
    };
    for (const Case& c : cases) {
        const void* data;
        size_t size;
        ASSERT_TRUE(LoadResourceBytes(c.id, &data, &size)) << c.id;
        BitmapFileInfo info;
        ASSERT_TRUE(ParseBitmapFile(data, size, &info)) << c.id;
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.info->bmiHeader.biBitCount, c.bpp);
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Assets, ProgramIconHasElevenImages) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_PROGRAM), MAKEINTRESOURCEA(14));
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    WORD count;
    memcpy(&count, group + 4, sizeof(count));
    ASSERT_EQ(count, 11);
    std::vector<std::pair<int, int>> images;  // (size, bits)
    for (int i = 0; i < count; i++) {
        IconGroupEntry e;
        memcpy(&e, group + 6 + i * sizeof(IconGroupEntry), sizeof(e));
        images.push_back({e.width ? e.width : 256, e.bitCount});
    }
    EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{48, 4},
                                                        {32, 4},
                                                        {24, 4},
                                                        {16, 4},
                                                        {48, 8},
                                                        {32, 8},
                                                        {16, 8},
                                                        {128, 32},
                                                        {48, 32},
                                                        {32, 32},
                                                        {16, 32}}));
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM)), nullptr);
}

// ---- The window ----

class Wizard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        WizardWindow::RegisterClasses(GetModuleHandleA(nullptr));
    }
    void SetUp() override {
        ASSERT_TRUE(wizard_.Create(GetModuleHandleA(nullptr), PayloadBytes()));
    }
    void TearDown() override { DestroyWindow(wizard_.hwnd()); }
    WizardControls& c() { return wizard_.controls(); }

    WizardWindow wizard_;
};

struct ControlSpec {
    int id;
    int page;   // -1: on the window
    RECT rect;  // left, top, right, bottom within the parent
    int fontHeight, weight;
    bool italic;
};

// Every control with its place and font. Page controls lie on the tab control, 编辑框2 in 分组框1.
const ControlSpec kSpecs[] = {
    {kId按钮1, -1, {24, 592, 96, 616}, 0, 0, false},
    {kId按钮2, 0, {568, 568, 688, 600}, 0, 0, false},
    {kId按钮8, 0, {272, 560, 400, 592}, 0, 0, false},
    {kId按钮3, 1, {576, 560, 704, 592}, 0, 0, false},
    {kId按钮9, 1, {128, 560, 240, 592}, 0, 0, false},
    {kId按钮4, 2, {680, 512, 768, 544}, 0, 0, false},
    {kId按钮5, 2, {648, 560, 768, 592}, 0, 0, false},
    {kId按钮10, 2, {120, 560, 232, 592}, 0, 0, false},
    {kId按钮6, 3, {592, 544, 704, 584}, 0, 0, false},
    {kId按钮11, 3, {120, 560, 224, 592}, 0, 0, false},
    {kId按钮12, 4, {624, 560, 720, 592}, 0, 0, false},
    {kId按钮7, 5, {432, 544, 592, 592}, 32, 400, false},
    {kId选择框1, 1, {344, 557, 584, 592}, 32, 400, false},
    {kId选择框6, 5, {112, 544, 440, 592}, 35, 400, false},
    {kId编辑框1, 2, {168, 504, 672, 541}, 29, 400, false},
    {kId编辑框2, 3, {8, 40, 664, 192}, 0, 0, false},
    {kId分组框1, 3, {24, 312, 720, 536}, 32, 400, false},
    {kId标签1, 0, {16, 8, 656, 64}, 35, 700, true},
    {kId标签3, 1, {16, 8, 768, 56}, 48, 400, false},
    {kId标签5, 2, {240, 88, 608, 128}, 32, 400, false},
    {kId标签2, 4, {496, 40, 520, 80}, 0, 0, false},
    {kId透明标签1, 0, {16, 64, 712, 552}, 29, 400, false},
    {kId透明标签2, 1, {2, 59, 794, 555}, 24, 400, false},
    {kId透明标签4, 2, {8, 8, 288, 72}, 56, 400, false},
    {kId透明标签3, 2, {8, 88, 832, 448}, 32, 400, false},
    {kId透明标签5, 2, {8, 504, 168, 544}, 35, 400, false},
    {kId透明标签7, 3, {8, 8, 264, 88}, 56, 400, false},
    {kId透明标签6, 3, {8, 96, 752, 280}, 35, 400, false},
    {kId透明标签9, 4, {16, 16, 320, 72}, 56, 400, false},
    {kId透明标签8, 5, {8, 8, 1176, 80}, 32, 400, false},
    {kId图片框1, 4, {24, 72, 704, 504}, 0, 0, false},
    {kId画板1, 0, {720, 40, 848, 200}, 0, 0, false},
    {kId画板2, 5, {8, 80, 344, 312}, 0, 0, false},
};

HWND Find(WizardWindow& w, int id) {
    if (id == kId按钮1) return GetDlgItem(w.hwnd(), id);
    if (id == kId编辑框2) return GetDlgItem(w.controls().分组框1, id);
    return GetDlgItem(w.controls().选择夹1, id);
}

TEST_F(Wizard, WindowItself) {
    RECT r;
    GetWindowRect(wizard_.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 901);
    EXPECT_EQ(r.bottom - r.top, 661);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 901) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 661) / 2);
    LONG_PTR style = GetWindowLongPtrA(wizard_.hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT tab;
    GetWindowRect(c().选择夹1, &tab);
    EXPECT_EQ(std::vector<LONG>(
                  {tab.left - r.left, tab.top - r.top, tab.right - tab.left, tab.bottom - tab.top}),
              std::vector<LONG>({16, 24, 864, 624}));
    EXPECT_EQ(SendMessageA(c().选择夹1, TCM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(wizard_.CurrentPage(), kWelcomePage);
}

TEST_F(Wizard, ControlsHaveTheirPlacesAndFonts) {
    for (const ControlSpec& s : kSpecs) {
        SCOPED_TRACE(s.id);
        HWND hwnd = Find(wizard_, s.id);
        ASSERT_NE(hwnd, nullptr);
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({s.rect.left, s.rect.top, s.rect.right, s.rect.bottom}));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        LOGFONTW lf = {};
        ASSERT_TRUE(GetObjectW(font, sizeof(lf), &lf));
        if (s.fontHeight == 0) {
            // The default GUI font of a Chinese system, whatever this system's is.
            EXPECT_EQ(lf.lfHeight, -12);
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_FALSE(lf.lfItalic);
        } else {
            EXPECT_EQ(lf.lfHeight, -s.fontHeight);
            EXPECT_EQ(lf.lfWeight, s.weight);
            EXPECT_EQ(lf.lfItalic != 0, s.italic);
        }
        EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
        EXPECT_STREQ(lf.lfFaceName, L"");
    }
}

TEST_F(Wizard, TextsAsWrittenAndInitialStates) {
    for (const written::ControlText& t : written::kControlTexts)
        EXPECT_EQ(FirstDifference(Utf8(wizard_.Text(Find(wizard_, t.id))), t.text), "") << t.name;
    EXPECT_EQ(Utf8(wizard_.Text(wizard_.hwnd())), written::kWindowTitle);
    for (int page = 0; page < 6; page++) {
        char title[64] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = sizeof(title);
        SendMessageA(c().选择夹1, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(Utf8(title), written::kPageTitles[page]) << "page " << page;
    }

    EXPECT_FALSE(IsWindowEnabled(c().按钮3));  // the created handler disables it
    EXPECT_FALSE(wizard_.IsChecked(c().选择框1));
    EXPECT_TRUE(wizard_.IsChecked(c().选择框6));
    EXPECT_FALSE(wizard_.IsVisible(c().标签2));
    EXPECT_TRUE(GetWindowLongPtrA(c().编辑框1, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrA(c().编辑框2, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrA(c().编辑框2, GWL_STYLE) & WS_VSCROLL);
    for (HWND stop : {c().按钮1, c().按钮6, c().选择框1, c().编辑框1, c().编辑框2})
        EXPECT_TRUE(GetWindowLongPtrA(stop, GWL_STYLE) & WS_TABSTOP);
    for (HWND other : {c().标签1, c().透明标签1, c().图片框1, c().画板1, c().分组框1})
        EXPECT_FALSE(GetWindowLongPtrA(other, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(wizard_.TimerPeriod(), 0u);
}

TEST_F(Wizard, OnlyTheCurrentPageIsShown) {
    ShowWindow(wizard_.hwnd(), SW_SHOWNA);
    for (int page = 0; page < 6; page++) {
        wizard_.SetCurrentPage(static_cast<WizardPage>(page));
        EXPECT_EQ(SendMessageA(c().选择夹1, TCM_GETCURSEL, 0, 0), page);
        for (const ControlSpec& s : kSpecs) {
            bool want = s.page == -1 || (s.page == page && s.id != kId标签2);
            EXPECT_EQ(IsWindowVisible(Find(wizard_, s.id)) != FALSE, want)
                << "page " << page << " control " << s.id;
        }
    }
    // The tab strip cannot change the page by itself.
    NMHDR changing = {c().选择夹1, kId选择夹1, static_cast<UINT>(TCN_SELCHANGING)};
    EXPECT_TRUE(
        SendMessageA(wizard_.hwnd(), WM_NOTIFY, kId选择夹1, reinterpret_cast<LPARAM>(&changing)));
}

TEST_F(Wizard, LicenceGateAndWatcher) {
    OnWizardClick(wizard_, kId按钮2);
    EXPECT_EQ(wizard_.CurrentPage(), kLicencePage);
    SendMessageA(c().选择框1, BM_SETCHECK, BST_CHECKED, 0);
    OnWizardClick(wizard_, kId选择框1);
    EXPECT_TRUE(IsWindowEnabled(c().按钮3));
    SendMessageA(c().选择框1, BM_SETCHECK, BST_UNCHECKED, 0);
    OnWizardClick(wizard_, kId选择框1);
    EXPECT_FALSE(IsWindowEnabled(c().按钮3));

    wizard_.SetCurrentPage(kConfirmPage);
    OnWizardTimer(wizard_);
    EXPECT_FALSE(wizard_.IsVisible(c().按钮1));
    wizard_.SetCurrentPage(kDirectoryPage);
    OnWizardTimer(wizard_);
    EXPECT_TRUE(wizard_.IsVisible(c().按钮1));
    wizard_.SetTimerPeriod(100);
    wizard_.SetCurrentPage(kUsagePage);
    OnWizardTimer(wizard_);
    EXPECT_FALSE(wizard_.IsVisible(c().按钮1));
    EXPECT_EQ(wizard_.TimerPeriod(), 0u);
}

TEST_F(Wizard, TutorialCounter) {
    wizard_.SetCurrentPage(kUsagePage);
    for (int click = 1; click <= 4; click++) {
        OnWizardClick(wizard_, kId按钮12);
        EXPECT_EQ(wizard_.Text(c().标签2), std::to_string(click));
        EXPECT_EQ(wizard_.CurrentPage(), click < 4 ? 4 : 5);
    }
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST_F(Wizard, KeyboardMovesAmongThePagesButtonsAndPressesThem) {
    ShowWindow(wizard_.hwnd(), SW_SHOW);
    SetForegroundWindow(wizard_.hwnd());
    SetFocus(c().按钮8);
    MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(wizard_.PreTranslateMessage(&tab));
    PumpMessages();
    // Page 0's tab stops are 按钮8, 按钮2 and 取消安装; hidden pages' controls are skipped.
    HWND second = GetFocus();
    EXPECT_TRUE(second == c().按钮2 || second == c().按钮1) << second;
    SetFocus(c().按钮2);
    MSG enter = {c().按钮2, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(wizard_.PreTranslateMessage(&enter));
    PumpMessages();
    EXPECT_EQ(wizard_.CurrentPage(), kLicencePage);
    // After the page change the focus is on a visible control of the new page.
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
}

}  // namespace

// The text boundary: the program's GBK texts to and from the system's UTF-16 with code page 936,
// whatever the system's own code page is. These tests also run under other code pages
// (tests/CMakeLists.txt), where a conversion through CP_ACP would fail them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "gbk_text.h"

namespace {

struct RoundTrip {
    const char* label;
    const char* gbk;  // as the compiler wrote it: GBK
    const wchar_t* wide;
};

const RoundTrip kRoundTrips[] = {
    {"product name", "青岚笺语写作", L"\u9752\u5c9a\u7b3a\u8bed\u5199\u4f5c"},
    {"a path with a trail byte 0x5C", "D:\\乗\\a.txt", L"D:\\\u4e57\\a.txt"},
    {"a drive root", "D:\\", L"D:\\"},
    {"traditional characters GBK holds", "筆記", L"\u7b46\u8a18"},
    {"kana GBK holds", "の", L"\u306e"},
    {"lines", "第一行\r\n第二行", L"\u7b2c\u4e00\u884c\r\n\u7b2c\u4e8c\u884c"},
    {"nothing", "", L""},
};

TEST(TextBoundary, GbkAndUtf16RoundTrip) {
    std::printf("the system's ANSI code page here: %u\n", GetACP());
    for (const RoundTrip& c : kRoundTrips) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(WideFromGbk(c.gbk), std::wstring(c.wide));
        std::string back = "untouched";
        ASSERT_TRUE(GbkFromWide(c.wide, &back));
        EXPECT_EQ(back, c.gbk);
        EXPECT_EQ(GbkForDisplay(c.wide), c.gbk);
        EXPECT_EQ(WideFromUtf8(Utf8FromWide(c.wide)), std::wstring(c.wide));
        EXPECT_EQ(Utf8FromGbk(c.gbk), Utf8FromWide(c.wide));
    }
}

struct Foreign {
    const char* label;
    const wchar_t* wide;
    const char* shown;  // GbkForDisplay
};

// A user or folder name GBK cannot hold: never a path, only a text with '?' to show.
const Foreign kForeign[] = {
    {"Korean user name", L"C:\\Users\\\uae40\\Desktop", "C:\\Users\\?\\Desktop"},
    {"emoji (a surrogate pair: one ? for each half)", L"x\U0001F600y", "x??y"},
    {"Korean between Chinese", L"\u9752\uae40\u5c9a", "青?岚"},
};

TEST(TextBoundary, CharactersGbkHasNotAreRefused) {
    for (const Foreign& c : kForeign) {
        SCOPED_TRACE(c.label);
        std::string gbk = "untouched";
        EXPECT_FALSE(GbkFromWide(c.wide, &gbk));
        EXPECT_EQ(gbk, "untouched");
        EXPECT_EQ(GbkForDisplay(c.wide), c.shown);
    }
}

TEST(TextBoundary, NoLookAlikeStandsIn) {
    // A best-fit conversion would make "A" and "a" of these, and so name another file.
    for (const wchar_t* text : {L"\u0100", L"\u00e5"}) {  // Ā, å: not in GBK
        std::string gbk = "untouched";
        EXPECT_FALSE(GbkFromWide(text, &gbk));
        EXPECT_EQ(gbk, "untouched");
    }
}

TEST(TextBoundary, WindowTextsTravelAsUtf16) {
    // A Unicode window keeps every character; its GBK form is what the program works with.
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_TRUE(edit);
    ASSERT_TRUE(SetWindowTextGbk(edit, "安装目录：D:\\乗"));
    EXPECT_EQ(WindowTextWide(edit), L"\u5b89\u88c5\u76ee\u5f55\uff1aD:\\\u4e57");
    EXPECT_EQ(WindowTextGbk(edit), "安装目录：D:\\乗");
    SetWindowTextW(edit, L"\uae40");
    EXPECT_EQ(WindowTextGbk(edit), "?");
    DestroyWindow(edit);
}

}  // namespace

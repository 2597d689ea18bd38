// Path texts and the payload block: pure logic, GBK-aware.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "message_text.h"
#include "paths.h"
#include "payload.h"

namespace {

// "乗" in GBK is 81 5C: its trail byte is the byte of '\'.
const std::string kTrail5C = "乗";

TEST(Paths, TrailByte5CIsNotASeparator) {
    ASSERT_EQ(kTrail5C, std::string("\x81\x5C"));
    EXPECT_FALSE(EndsWithSeparator("D:\\" + kTrail5C));
    EXPECT_EQ(JoinPath("D:\\" + kTrail5C, "a"), "D:\\" + kTrail5C + "\\a");
    EXPECT_EQ(ParentPath("D:\\" + kTrail5C), "D:");
    EXPECT_EQ(ToBackslashes(kTrail5C + "/x"), kTrail5C + "\\x");
}

TEST(Paths, JoinAddsOneSeparator) {
    struct Case {
        const char* dir;
        const char* name;
        const char* want;
    };
    const Case cases[] = {
        {"D:\\dir", "a.txt", "D:\\dir\\a.txt"},
        {"D:\\", "a.txt", "D:\\a.txt"},
        {"D:\\dir/", "a.txt", "D:\\dir/a.txt"},
        {"D:\\青岚", "笺语.txt", "D:\\青岚\\笺语.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinPath(c.dir, c.name), c.want) << c.dir;
}

TEST(Paths, EntryNames) {
    struct Case {
        std::string name;
        bool safe;
    };
    const Case cases[] = {
        {"krnln.fnr", true},
        {"青岚笺语写作.exe", true},
        {"sub/dir/file.txt", true},
        {"sub\\file.txt", true},
        {"dir/", true},
        {kTrail5C + ".txt", true},
        {kTrail5C + "/x", true},
        {"..\\x", false},
        {"a/../../x", false},
        {"..", false},
        {"a/..", false},
        {"./a", false},
        {"\\abs", false},
        {"/abs", false},
        {"C:x", false},
        {"C:\\x", false},
        {"x:y", false},
        {"", false},
        {"a//b", false},
        {"a. /b", false},
        {"dots...", false},
        {"CON", false},
        {"nul.txt", false},
        {"sub/com1", false},
        {"lpt9.log", false},
        {"console.txt", true},
        {"a\tb", false},
        {"what?.txt", false},
        {std::string("\x81"), false},
        // A lead byte before a byte that cannot end a GBK character: a decoder that takes the
        // two apart sees "a?", "" and "b" (found by scripts/fuzz).
        {std::string("a\x81//b"), false},
        {std::string("\x86\x06.txt"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << &c - cases;
}

TEST(Paths, AbsoluteDirectories) {
    struct Case {
        const char* dir;
        bool absolute;
    };
    const Case cases[] = {
        {"D:\\", true},
        {"c:\\Program Files", true},
        {"\\\\server\\share", true},
        {"D:", false},
        {"D:dir", false},
        {"relative\\dir", false},
        {"\\dir", false},
        {"", false},
        {"\\\\\\x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAbsoluteDirectory(c.dir), c.absolute) << c.dir;
}

TEST(Paths, NormalisedAsWin32ReportsThem) {
    struct Case {
        std::string path;
        std::string want;
    };
    const Case cases[] = {
        {"D:\\", "D:\\"},
        {"D:\\\\青岚笺语", "D:\\青岚笺语"},  // a drive root joined with the product directory
        {"D:\\\\", "D:\\"},
        {"D:\\Apps\\", "D:\\Apps"},
        {"D:\\Apps\\\\青岚笺语\\\\", "D:\\Apps\\青岚笺语"},
        {"D:/Apps//x/", "D:\\Apps\\x"},
        {"D:\\Apps\\.\\x\\..\\y", "D:\\Apps\\y"},
        {"D:\\..\\x", "D:\\x"},
        {"d:\\Apps\\青岚", "d:\\Apps\\青岚"},    // case is kept
        {"D:\\" + kTrail5C, "D:\\" + kTrail5C},  // its last byte is no separator to strip
        {"D:\\" + kTrail5C + "\\", "D:\\" + kTrail5C},
        {"D:\\" + kTrail5C + "\\\\x", "D:\\" + kTrail5C + "\\x"},
        {"D:\\\\" + kTrail5C + kTrail5C, "D:\\" + kTrail5C + kTrail5C},
        {"\\\\server\\share\\\\dir\\", "\\\\server\\share\\dir"},
        {"\\\\server\\share\\..\\..", "\\\\server\\share"},
        {"relative\\\\dir\\", "relative\\dir"},
        {"..\\x", "..\\x"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalisePath(c.path), c.want) << &c - cases;
}

TEST(Paths, SamePlaceWhateverTheSpelling) {
    struct Case {
        std::string a, b;
        bool same;
    };
    const Case cases[] = {
        {"D:\\\\青岚笺语", "D:\\青岚笺语", true},
        {"D:\\APPS\\青岚笺语", "d:\\apps\\青岚笺语\\", true},
        {"D:/Apps/青岚笺语", "D:\\Apps\\青岚笺语", true},
        {"D:\\Apps\\青岚笺语", "D:\\Apps\\青岚", false},
        {"C:\\青岚笺语", "D:\\青岚笺语", false},
        {"D:\\" + kTrail5C, "D:\\" + kTrail5C + "\\", true},
        {"D:\\" + kTrail5C, "D:\\", false},
        // Two GBK characters whose trail bytes differ only as 'A' and 'a' do: different names.
        {"D:\\\x81\x41", "D:\\\x81\x61", false},
        {"D:\\\x81\x41", "D:\\\x81\x41", true},
        {"", "", true},
    };
    for (const Case& c : cases) EXPECT_EQ(PathsEqual(c.a, c.b), c.same) << &c - cases;
}

TEST(Paths, ProductPathsKeepTheDirectoryTextAsItStands) {
    EXPECT_EQ(ProductDirectory("D:\\"), "D:\\\\青岚笺语");
    EXPECT_EQ(TemporaryArchivePath("D:\\Apps"), "D:\\Apps\\青岚笺语\\安装文件.zip");
    EXPECT_EQ(ProgramPath("D:\\Apps "), "D:\\Apps \\青岚笺语\\青岚笺语写作.exe");
    EXPECT_EQ(ShortcutPath("C:\\Desktop\\"), "C:\\Desktop\\青岚笺语写作");
    EXPECT_EQ(LinkFileName("C:\\Desktop\\青岚笺语写作"), "C:\\Desktop\\青岚笺语写作.lnk");
    EXPECT_EQ(LinkFileName("C:\\Desktop\\a.lnk"), "C:\\Desktop\\a.lnk");
    EXPECT_EQ(LinkFileName("C:\\my.dir\\a"), "C:\\my.dir\\a.lnk");
}

// Count and length, then the archive bytes.
std::vector<unsigned char> Block(uint32_t count, uint32_t length, size_t dataBytes) {
    std::vector<unsigned char> b(8 + dataBytes, 'z');
    for (int i = 0; i < 4; i++) {
        b[i] = static_cast<unsigned char>(count >> (8 * i));
        b[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    }
    return b;
}

constexpr uint32_t kCrcOfFiveZ = 0x4DA4AB53u;  // the CRC-32 of "zzzzz"

TEST(MessageText, QuotedWholeOrCutAtACharacterWithAnEllipsis) {
    const std::string han = "青";      // two bytes
    const std::string trail5C = "乗";  // two bytes, the second 0x5C
    struct Case {
        const char* label;
        std::string text;
        size_t keptBytes;  // of `text`, before the ellipsis; npos: whole, no ellipsis
    };
    auto times = [](const std::string& s, int n) {
        std::string out;
        for (int k = 0; k < n; k++) out += s;
        return out;
    };
    const size_t room = kMaxQuotedBytes - 2;  // the ellipsis takes two bytes
    const Case cases[] = {
        {"short", "D:\\青岚", std::string::npos},
        {"exactly the limit", std::string(kMaxQuotedBytes, 'a'), std::string::npos},
        {"long ASCII", std::string(1000, 'a'), room},
        {"long, the limit inside a character", "x" + times(han, 400), room - 1},
        {"long, characters ending in 0x5C", times(trail5C, 400), room},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string quoted = QuotedText(c.text);
        if (c.keptBytes == std::string::npos) {
            EXPECT_EQ(quoted, c.text);
            continue;
        }
        EXPECT_EQ(quoted, c.text.substr(0, c.keptBytes) + "…");
        EXPECT_LE(quoted.size(), kMaxQuotedBytes);
    }
}

TEST(MessageText, PatternsAreFilledNeverCut) {
    EXPECT_EQ(FormatMessageText("无法写入文件“%s”。", "D:\\乗"), "无法写入文件“D:\\乗”。");
    EXPECT_EQ(FormatMessageText("没有引用。", "x"), "没有引用。");
    // Beyond the old 1024-byte buffer, the pattern's own end stays.
    const std::string pattern(900, 'p');
    const std::string message =
        FormatMessageText((pattern + "%s末尾").c_str(), std::string(300, 'q'));
    EXPECT_EQ(message, pattern + std::string(300, 'q') + "末尾");
}

TEST(Payload, BlockLayout) {
    struct Case {
        std::vector<unsigned char> block;
        bool ok;
        size_t size;
    };
    const Case cases[] = {
        {Block(1, 5, 5), true, 5},
        {Block(1, 3, 5), true, 3},  // trailing bytes after the archive are ignored
        {Block(1, 6, 5), false, 0},
        {Block(2, 5, 5), false, 0},
        {Block(1, 0, 5), false, 0},
        {Block(1, 0xFFFFFFFF, 5), false, 0},
        {std::vector<unsigned char>(7, 1), false, 0},
    };
    for (const Case& c : cases) {
        PayloadBytes p;
        EXPECT_EQ(ParsePayloadBlock(c.block.data(), c.block.size(), &p), c.ok);
        if (c.ok) {
            EXPECT_EQ(p.size, c.size);
            EXPECT_EQ(p.data, c.block.data() + 8);
        }
    }
    PayloadBytes p;
    EXPECT_FALSE(ParsePayloadBlock(nullptr, 100, &p));
}

// The CRC-32 resource as the build writes it: four bytes, little-endian.
std::vector<unsigned char> CrcResource(uint32_t crc, size_t bytes = 4) {
    std::vector<unsigned char> r(bytes, 0);
    for (size_t i = 0; i < bytes && i < 4; i++) r[i] = static_cast<unsigned char>(crc >> (8 * i));
    return r;
}

TEST(Payload, IntactOnlyWithTheCrcItWasBuiltWith) {
    struct Case {
        std::vector<unsigned char> block;
        uint32_t crc;
        bool intact;
    };
    std::vector<unsigned char> changed = Block(1, 5, 5);
    changed[10] ^= 0x01;  // one bit of the archive
    const Case cases[] = {
        {Block(1, 5, 5), kCrcOfFiveZ, true},
        {changed, kCrcOfFiveZ, false},
        {Block(1, 5, 5), kCrcOfFiveZ ^ 1, false},  // the carried CRC-32 itself changed
        {Block(1, 4, 5), kCrcOfFiveZ, false},      // a shorter archive
    };
    for (const Case& c : cases) {
        PayloadBytes p;
        ASSERT_TRUE(ParsePayloadBlock(c.block.data(), c.block.size(), &p));
        const std::vector<unsigned char> resource = CrcResource(c.crc);
        ASSERT_TRUE(ParsePayloadCrc(resource.data(), resource.size(), &p.crc32));
        EXPECT_EQ(PayloadIntact(p), c.intact) << &c - cases;
    }
    EXPECT_FALSE(PayloadIntact(PayloadBytes()));
    // A CRC resource of another size is no CRC at all.
    uint32_t crc = 0;
    for (size_t bytes : {0, 3, 5, 8}) {
        const std::vector<unsigned char> resource = CrcResource(kCrcOfFiveZ, bytes);
        EXPECT_FALSE(ParsePayloadCrc(resource.data(), resource.size(), &crc)) << bytes;
    }
}

TEST(Paths, ReinstallDirectoryIsTheParentOfTheProductDirectory) {
    struct Case {
        std::string location;
        std::string want;
    };
    const Case cases[] = {
        {"T:\\写作目录\\青岚笺语", "T:\\写作目录"},
        {"D:\\青岚笺语", "D:\\"},
        {"D:\\\\青岚笺语", "D:\\"},  // spelt doubled by earlier installers
        {"d:/apps/青岚笺语/", "d:\\apps"},
        {"E:\\Program Files\\青岚笺语", "E:\\Program Files"},
        {"\\\\server\\share\\青岚笺语", "\\\\server\\share"},
        {"D:\\" + kTrail5C + "\\青岚笺语", "D:\\" + kTrail5C},
        {"D:\\apps\\其他程序", ""},
        {"D:\\apps\\青岚笺语\\sub", ""},
        {"D:\\apps\\x青岚笺语", ""},
        {"青岚笺语", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReinstallDirectory(c.location), c.want) << c.location;
}

}  // namespace

// Archive extraction against archives built here: good ones, hostile names, damaged data, and
// awkward targets.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive.h"
#include "file_ops.h"
#include "test_support.h"

namespace {

std::vector<ZipEntrySpec> GoodEntries() {
    return {
        {"a.txt", "alpha"},
        {"sub/", "", true},
        {"sub/b.txt", std::string(100000, 'b')},
        {"青岚笺语写作.exe", "program"},
        {"乗.txt", "trail byte 5C"},
        {"deep/er/c.txt", "c"},
    };
}

const std::vector<std::string> kGoodTree = {
    "a.txt", "deep\\",     "deep\\er\\", "deep\\er\\c.txt",
    "sub\\", "sub\\b.txt", "乗.txt",     "青岚笺语写作.exe",
};

TEST(Extract, GoodArchiveWritesEveryEntry) {
    TempDir dir;
    ASSERT_TRUE(WriteZip(dir / "good.zip", GoodEntries()));
    InstallJournal journal;
    ExtractResult result;
    EXPECT_EQ(ExtractArchive(dir / "good.zip", dir / "out", &result, &journal), 1);
    EXPECT_EQ(result.error, ExtractError::None);
    EXPECT_EQ(ListTree(dir / "out"), kGoodTree);
    EXPECT_EQ(ReadText(dir / "out\\sub\\b.txt"), std::string(100000, 'b'));
    EXPECT_EQ(ReadText(dir / "out\\乗.txt"), "trail byte 5C");
    EXPECT_EQ(journal.files().size(), 5u);

    // The journal takes back exactly what this extraction made.
    journal.Rollback();
    EXPECT_FALSE(DirectoryExists(dir / "out"));
}

TEST(Extract, NamesMarkedAsUtf8AreDecodedAsUtf8) {
    // GBK names as stored, UTF-8 ones (flag bit 11) decoded: both give the same files.
    TempDir dir;
    ASSERT_TRUE(
        WriteZip(dir / "mixed.zip", {
                                        {"青岚.txt", "gbk"},
                                        {u8"笔记/第一章.txt", "utf-8", false, false, true},
                                        {u8"plain.txt", "ascii with the flag", false, false, true},
                                    }));
    ExtractResult result;
    EXPECT_EQ(ExtractArchive(dir / "mixed.zip", dir / "out", &result), 1);
    EXPECT_EQ(result.error, ExtractError::None);
    EXPECT_EQ(ListTree(dir / "out"),
              (std::vector<std::string>{"plain.txt", "笔记\\", "笔记\\第一章.txt", "青岚.txt"}));
    EXPECT_EQ(ReadText(dir / "out\\笔记\\第一章.txt"), "utf-8");
}

struct RefusedCase {
    const char* label;
    std::vector<ZipEntrySpec> entries;  // empty: see `prepare`
    void (*prepare)(const std::string& archive);
    int want;
    ExtractError error;
};

void NotAZip(const std::string& archive) {
    WriteText(archive, "this is not an archive at all");
}
void Truncated(const std::string& archive) {
    std::vector<ZipEntrySpec> entries = GoodEntries();
    WriteZip(archive, entries);
    TruncateFile(archive, FileSize(archive) / 2);
}
void Missing(const std::string&) {}

std::vector<ZipEntrySpec> WithBadName(const char* name) {
    std::vector<ZipEntrySpec> e = {{"first.txt", "written first if unchecked"}};
    e.push_back({name, "escaped"});
    return e;
}

TEST(Extract, RefusedArchivesWriteNothing) {
    const RefusedCase cases[] = {
        {"dotdot backslash", WithBadName("..\\x"), nullptr, 0, ExtractError::Damaged},
        {"dotdot inside", WithBadName("a/../../x"), nullptr, 0, ExtractError::Damaged},
        {"leading backslash", WithBadName("\\abs"), nullptr, 0, ExtractError::Damaged},
        {"leading slash", WithBadName("/abs"), nullptr, 0, ExtractError::Damaged},
        {"drive relative", WithBadName("C:x"), nullptr, 0, ExtractError::Damaged},
        {"colon", WithBadName("x:y"), nullptr, 0, ExtractError::Damaged},
        {"device", WithBadName("nul"), nullptr, 0, ExtractError::Damaged},
        {"lead byte before a separator", WithBadName("a\x81//b"), nullptr, 0,
         ExtractError::Damaged},
        // Names marked as UTF-8 that GBK cannot name, or that are no UTF-8 at all.
        {"utf-8 name without a GBK form",
         {{"first.txt", "x"}, {u8"\U0001F600.txt", "emoji", false, false, true}},
         nullptr,
         0,
         ExtractError::Damaged},
        {"utf-8 flag on bytes that are no utf-8",
         {{"first.txt", "x"}, {"\xC7\xE0.txt", "GBK bytes", false, false, true}},
         nullptr,
         0,
         ExtractError::Damaged},
        {"utf-8 name leaving the target",
         {{"first.txt", "x"}, {u8"../\u9752.txt", "escaped", false, false, true}},
         nullptr,
         0,
         ExtractError::Damaged},
        {"crc",
         {{"ok.txt", "fine"}, {"bad.txt", std::string(5000, 'q'), false, true}},
         nullptr,
         0,
         ExtractError::CorruptData},
        {"truncated", {}, Truncated, 0, ExtractError::OpenFailed},
        {"not a zip", {}, NotAZip, 0, ExtractError::OpenFailed},
        {"missing file", {}, Missing, -1, ExtractError::BadArguments},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        std::string archive = dir / "in.zip";
        if (c.prepare)
            c.prepare(archive);
        else
            ASSERT_TRUE(WriteZip(archive, c.entries));
        std::vector<std::string> before = ListTree(dir.path());

        InstallJournal journal;
        ExtractResult result;
        EXPECT_EQ(ExtractArchive(archive, dir / "target\\t", &result, &journal), c.want);
        EXPECT_EQ(result.error, c.error);
        journal.Rollback();
        // Nothing outside the target, and after the rollback nothing at all.
        EXPECT_EQ(ListTree(dir.path()), before);
        EXPECT_EQ(FileSize("C:\\x"), -1);
        EXPECT_EQ(FileSize("C:\\abs"), -1);
    }
}

TEST(Extract, CrcMismatchRemovesTheBadFile) {
    TempDir dir;
    ASSERT_TRUE(WriteZip(dir / "in.zip",
                         {{"ok.txt", "fine"}, {"bad.txt", std::string(5000, 'q'), false, true}}));
    ExtractResult result;
    EXPECT_EQ(ExtractArchive(dir / "in.zip", dir / "out", &result), 0);
    EXPECT_EQ(result.entry, "bad.txt");
    // Without a journal the good entry stays, the corrupt one does not.
    EXPECT_EQ(ListTree(dir / "out"), std::vector<std::string>{"ok.txt"});
}

TEST(Extract, EmptyArgumentsGiveMinusOne) {
    TempDir dir;
    ASSERT_TRUE(WriteZip(dir / "in.zip", GoodEntries()));
    EXPECT_EQ(ExtractArchive("", dir / "out"), -1);
    EXPECT_EQ(ExtractArchive(dir / "in.zip", ""), -1);
    EXPECT_EQ(ExtractArchive("", ""), -1);
    EXPECT_FALSE(DirectoryExists(dir / "out"));
}

TEST(Extract, Targets) {
    struct Case {
        const char* label;
        const char* target;                   // below the scratch directory
        void (*prepare)(const TempDir& dir);  // may be null
        int want;
        const char* check;  // a file that must then hold "program"
    };
    const Case cases[] = {
        {"read-only entry file is replaced", "out",
         [](const TempDir& d) {
             CreateDirectoryA((d / "out").c_str(), nullptr);
             WriteText(d / "out\\青岚笺语写作.exe", "old version");
             SetFileAttributesA((d / "out\\青岚笺语写作.exe").c_str(), FILE_ATTRIBUTE_READONLY);
         },
         1, "out\\青岚笺语写作.exe"},
        {"directory text ending in a separator", "out\\", nullptr, 1, "out\\青岚笺语写作.exe"},
        {"missing parents are made", "p\\q\\r", nullptr, 1, "p\\q\\r\\青岚笺语写作.exe"},
        {"a file where the directory should be", "blocker",
         [](const TempDir& d) { WriteText(d / "blocker", "user file"); }, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        ASSERT_TRUE(WriteZip(dir / "in.zip", GoodEntries()));
        if (c.prepare) c.prepare(dir);
        EXPECT_EQ(ExtractArchive(dir / "in.zip", dir / c.target), c.want);
        if (c.check) {
            EXPECT_EQ(ReadText(dir / c.check), "program");
            EXPECT_EQ(GetFileAttributesA((dir / c.check).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        }
    }
}

TEST(Extract, BlockedEntryFailsAndKeepsForeignFiles) {
    TempDir dir;
    ASSERT_TRUE(WriteZip(dir / "in.zip", GoodEntries()));
    CreateDirectoryA((dir / "out").c_str(), nullptr);
    WriteText(dir / "out\\mine.txt", "the user's own file");
    CreateDirectoryA((dir / "out\\a.txt").c_str(), nullptr);  // an entry's path is a directory
    InstallJournal journal;
    ExtractResult result;
    EXPECT_EQ(ExtractArchive(dir / "in.zip", dir / "out", &result, &journal), 0);
    EXPECT_EQ(result.error, ExtractError::WriteFailed);
    EXPECT_EQ(result.entry, "a.txt");
    journal.Rollback();
    EXPECT_EQ(ListTree(dir / "out"), (std::vector<std::string>{"a.txt\\", "mine.txt"}));
}

TEST(Extract, OverlongPathIsRefusedBeforeWriting) {
    TempDir dir;
    std::string longName(200, 'n');
    ASSERT_TRUE(WriteZip(dir / "in.zip", {{"short.txt", "s"}, {longName + ".txt", "l"}}));
    std::string target = dir / std::string(60, 't');
    ExtractResult result;
    EXPECT_EQ(ExtractArchive(dir / "in.zip", target, &result), 0);
    EXPECT_EQ(result.error, ExtractError::PathTooLong);
    EXPECT_FALSE(DirectoryExists(target));
}

}  // namespace

// Every case scripts/fuzz found and kept goes through the real extraction as well: it ends with
// success or a failure, and nothing is left outside the target or after the rollback.
TEST(Extract, KeptFuzzCasesAreHandledCleanly) {
    std::string dir = QL_FUZZ_REGRESSIONS;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << dir;
    int cases = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        SCOPED_TRACE(found.cFileName);
        cases++;
        TempDir temp;
        std::string archive = temp / "in.zip";
        ASSERT_TRUE(CopyFileA((dir + "\\" + found.cFileName).c_str(), archive.c_str(), FALSE));
        std::vector<std::string> before = ListTree(temp.path());
        InstallJournal journal;
        ExtractResult result;
        int rc = ExtractArchive(archive, temp / "target", &result, &journal);
        EXPECT_TRUE(rc == 0 || rc == 1) << rc;
        EXPECT_EQ(rc == 1, result.error == ExtractError::None);
        journal.Rollback();
        EXPECT_EQ(ListTree(temp.path()), before);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GT(cases, 0);
}

// The installation procedure on the real embedded payload, through real edit controls.
#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <iterator>
#include <thread>
#include <string>
#include <vector>

#include "com_ref.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "install.h"
#include "install_log.h"
#include "paths.h"
#include "payload.h"
#include "payload_entries.h"
#include "product_texts.h"
#include "shortcut_reader.h"
#include "test_support.h"
#include "test_view.h"
#include "uninstall_entry.h"
#include "wizard_ops.h"

namespace {

// The information box as written for the product (GBK): all its texts but the last, then
// `last`: the completion line after a success, the failure otherwise.
std::string InfoTextAsWritten(const std::string& last) {
    std::string text;
    for (size_t i = 0; i + 1 < std::size(written::kInfoTexts); ++i) text += written::kInfoTexts[i];
    return Gbk(text) + last;
}

std::string CompletionLineAsWritten() {
    return Gbk(written::kInfoTexts[std::size(written::kInfoTexts) - 1]);
}

std::vector<std::string> PayloadNames() {
    std::vector<std::string> names;
    for (const PayloadEntry& e : kPayloadEntries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

// The link's target, with its show command and working directory noted where they are not what
// the installer sets (shown, and the program's own directory).
std::string LinkTarget(const std::string& linkFile) {
    ComApartment apartment;
    const ShortcutInfo link = ReadShortcut(WideFromGbk(linkFile));
    if (!link.loaded) return "<unreadable>";
    const int show = link.showCommand;
    const std::string path = GbkForDisplay(link.plainPath);
    // The link format keeps SW_SHOWNORMAL, SW_SHOWMAXIMIZED and SW_SHOWMINNOACTIVE only; the
    // SW_SHOW the installer sets reads back as one of the first two, never minimised.
    bool shown = show == SW_SHOW || show == SW_SHOWNORMAL || show == SW_SHOWMAXIMIZED;
    const std::string dir = GbkForDisplay(link.workingDirectory);
    const bool ownDir = dir == ParentPath(NormalisePath(path));
    return path + (shown ? "" : " <show command " + std::to_string(show) + ">") +
           (ownDir ? "" : " <working directory \"" + dir + "\">");
}

std::string RecordValue(const std::string& key, const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return value;
}

class Installation : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadEmbeddedPayload(&payload_));
        CreateDirectoryA((scratch_ / "desktop").c_str(), nullptr);
    }
    std::string Desktop() const { return scratch_ / "desktop\\"; }
    std::string Link() const { return Desktop() + "青岚笺语写作.lnk"; }

    TempDir scratch_;
    PayloadBytes payload_;
};

TEST_F(Installation, EmbeddedPayloadIsTheWholeArchive) {
    ASSERT_GT(payload_.size, 1000000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(payload_.data), 4), "PK\x03\x04");
    // The end-of-central-directory record closes the archive: no comment, 17 entries.
    const unsigned char* end = payload_.data + payload_.size - 22;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(end), 4), "PK\x05\x06");
    EXPECT_EQ(end[10] | end[11] << 8, 17);
    EXPECT_EQ(end[20] | end[21] << 8, 0);
}

TEST_F(Installation, InstallsTwiceIntoTheSameDirectory) {
    std::string dirText = scratch_ / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    std::string product = ProductDirectory(dirText);
    for (int run = 1; run <= 2; run++) {
        SCOPED_TRACE(run);
        TestView view(dirText, Desktop());
        EXPECT_TRUE(RunInstallation(view, payload_));
        EXPECT_EQ(view.pauses, std::vector<unsigned>{1000});
        EXPECT_EQ(view.pages, std::vector<int>{4});
        EXPECT_TRUE(view.messages.empty()) << (view.messages.empty() ? "" : view.messages[0]);
        EXPECT_EQ(FirstDifference(Utf8(view.InfoText()),
                                  Utf8(InfoTextAsWritten(CompletionLineAsWritten()))),
                  "");

        EXPECT_EQ(ListTree(product), PayloadNames());  // and no "安装文件.zip"
        for (const PayloadEntry& e : kPayloadEntries)
            EXPECT_EQ(FileSize(JoinPath(product, e.name)), e.size) << e.name;
        EXPECT_EQ(LinkTarget(Link()), ProgramPath(dirText));
        EXPECT_EQ(ReadInstallLocation(view.uninstallKey), product);

        // Progress only grows, ends at the whole, and the window was given time to answer.
        ASSERT_GE(view.progress.size(), 3u);
        for (size_t i = 1; i < view.progress.size(); i++) {
            if (view.progress[i].first != 0) {
                EXPECT_GE(view.progress[i].first, view.progress[i - 1].first);
            }
        }
        EXPECT_EQ(view.progress.back().first, payload_.size + kPayloadTotalBytes);
        EXPECT_EQ(view.progress.back().second, payload_.size + kPayloadTotalBytes);
        EXPECT_GT(view.responsiveCalls, 0);
        // Over a complete installation only the archive needs new room.
        EXPECT_EQ(SpaceNeeded(product, payload_), payload_.size);
    }
}

TEST_F(Installation, WindowAnswersWhileFilesAreWritten) {
    std::string dirText = scratch_ / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    TestView view(dirText, Desktop());
    HWND target = view.window();
    std::atomic<bool> writing{false}, done{false}, proberStopped{false};
    std::atomic<int> probes{0}, late{0};
    std::atomic<DWORD> slowest{0};
    view.whileWriting = [&] {
        writing = true;
        return PumpPendingMessages();
    };
    std::thread prober([&] {
        while (!done) {
            if (!writing) {
                Sleep(5);
                continue;
            }
            DWORD start = GetTickCount();
            DWORD_PTR result;
            if (!SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result)) late++;
            DWORD took = GetTickCount() - start;
            if (took > slowest) slowest = took;
            probes++;
            Sleep(10);
        }
        proberStopped = true;
    });
    EXPECT_TRUE(RunInstallation(view, payload_));
    // A probe sent after the installation's last pump is answered by the message loop the
    // window returns to; go on answering until the prober has stopped.
    done = true;
    while (!proberStopped) {
        PumpPendingMessages();
        Sleep(1);
    }
    prober.join();
    EXPECT_GT(probes.load(), 0);
    EXPECT_EQ(late.load(), 0) << "slowest answer " << slowest.load() << " ms";
}

TEST_F(Installation, QuittingMidwayLeavesNothing) {
    TempDir dir;
    std::string dirText = dir / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    TestView view(dirText, Desktop());
    int calls = 0;
    view.whileWriting = [&] { return ++calls < 3; };  // the program quits during the archive
    EXPECT_FALSE(RunInstallation(view, payload_));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.pages.empty());
    EXPECT_EQ(ListTree(dirText), std::vector<std::string>{});
    EXPECT_EQ(FileSize(Link()), -1);
    EXPECT_EQ(ReadInstallLocation(view.uninstallKey), "");
}

TEST_F(Installation, DriveRootStyleTextAndReadOnlyLeftovers) {
    // A text ending in "\" gives product paths with a doubled separator; they work all the same.
    std::string dirText = scratch_ / "root\\";
    CreateDirectoryA(dirText.c_str(), nullptr);
    std::string product = ProductDirectory(dirText);
    CreateDirectoryA(product.c_str(), nullptr);
    std::string old = JoinPath(product, "krnln.fnr");
    WriteText(old, "old");
    SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY);

    TestView view(dirText, Desktop());
    EXPECT_TRUE(RunInstallation(view, payload_));
    EXPECT_EQ(FileSize(old), 1286144);
    EXPECT_EQ(ListTree(product), PayloadNames());

    // The record names the place as Windows names it, the way the uninstaller finds itself.
    const std::string place = scratch_ / "root\\青岚笺语";
    ASSERT_NE(product, place);
    EXPECT_EQ(RecordValue(view.uninstallKey, "InstallLocation"), place);
    EXPECT_EQ(RecordValue(view.uninstallKey, "UninstallString"), "\"" + place + "\\卸载程序.exe\"");
    EXPECT_EQ(RecordValue(view.uninstallKey, "DisplayIcon"), place + "\\青岚笺语写作.exe");
    // What Apps & features and deployment tools read: the unattended removal and the day.
    EXPECT_EQ(RecordValue(view.uninstallKey, "QuietUninstallString"),
              "\"" + place + "\\卸载程序.exe\" /S");
    SYSTEMTIME t;
    GetLocalTime(&t);
    char today[16];
    snprintf(today, sizeof(today), "%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
    EXPECT_EQ(RecordValue(view.uninstallKey, "InstallDate"), today);
}

TEST_F(Installation, MessagesNameTheNormalisedPath) {
    std::string dirText = scratch_ / "root\\";
    CreateDirectoryA(dirText.c_str(), nullptr);
    WriteText(ProductDirectory(dirText), "a user's file");
    TestView view(dirText, Desktop());
    EXPECT_FALSE(RunInstallation(view, payload_));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              "安装失败：无法创建安装目录“" + (scratch_ / "root\\青岚笺语") + "”。");
}

TEST_F(Installation, AVeryLongDirectoryTextIsQuotedShortenedAndTheMessageEndsWhole) {
    // A relative text far beyond any message buffer: the message quotes its beginning, cut at a
    // character boundary, and keeps its own end.
    const std::string dirText = "x" + [] {
        std::string s;
        for (int k = 0; k < 1500; k++) s += "青";
        return s;
    }();
    InstallRequest request;
    request.dirText = dirText;
    request.desktopDir = WideFromGbk(Desktop());
    const InstallOutcome outcome = InstallFiles(request, payload_);
    ASSERT_EQ(outcome.kind, InstallFailure::BadDirectory);
    const std::string head = "安装失败：安装目录“x青";
    const std::string tail = "…”无效，请选择一个完整的目录路径。";
    ASSERT_GT(outcome.failure.size(), head.size() + tail.size());
    EXPECT_EQ(outcome.failure.substr(0, head.size()), head);
    EXPECT_EQ(outcome.failure.substr(outcome.failure.size() - tail.size()), tail);
    // Every character whole: the text decodes back without a stray byte.
    const std::string quoted = outcome.failure.substr(
        head.size() - 3, outcome.failure.size() - tail.size() - head.size() + 3);
    EXPECT_EQ(quoted.size() % 2, 1u) << "\"x\" and whole two-byte characters";
    EXPECT_EQ(WideFromGbk(outcome.failure).find(L'\xFFFD'), std::wstring::npos);
}

struct FailureCase {
    const char* label;
    std::function<std::string(const TempDir&)> prepare;  // returns the directory text
    const char* failurePrefix;
    InstallFailure kind;
};

TEST_F(Installation, FailuresTakeBackWhatTheRunMade) {
    const FailureCase cases[] = {
        {"missing parent", [](const TempDir& d) { return d / "no\\such\\parent"; },
         "安装失败：无法创建安装目录", InstallFailure::BadDirectory},
        {"product directory is a file",
         [](const TempDir& d) {
             CreateDirectoryA((d / "x").c_str(), nullptr);
             WriteText(d / "x\\青岚笺语", "a user's file");
             return d / "x";
         },
         "安装失败：无法创建安装目录", InstallFailure::BadDirectory},
        {"an entry path is blocked by a directory",
         [](const TempDir& d) {
             CreateDirectoryA((d / "y").c_str(), nullptr);
             CreateDirectoryA((d / "y\\青岚笺语").c_str(), nullptr);
             CreateDirectoryA((d / "y\\青岚笺语\\spec.fne").c_str(), nullptr);
             WriteText(d / "y\\青岚笺语\\notes.txt", "a user's notes");
             return d / "y";
         },
         "安装失败：无法写入文件", InstallFailure::CannotWrite},
        {"path too long", [](const TempDir& d) { return d / std::string(240, 'L'); },
         "安装失败：路径过长", InstallFailure::BadDirectory},
        {"relative directory", [](const TempDir&) { return std::string("relative"); },
         "安装失败：安装目录", InstallFailure::BadDirectory},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        std::string dirText = c.prepare(dir);
        std::vector<std::string> before = ListTree(dir.path());

        TestView view(dirText, Desktop());
        InstallOutcome outcome;
        EXPECT_FALSE(RunInstallation(view, payload_, &outcome));
        EXPECT_EQ(outcome.result, InstallOutcome::Failed);
        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_TRUE(view.pages.empty());  // stays on the confirmation page
        ASSERT_EQ(view.messages.size(), 1u);
        const std::string& failure = view.messages[0];
        EXPECT_EQ(failure.rfind(c.failurePrefix, 0), 0u) << failure;
        EXPECT_EQ(FirstDifference(Utf8(view.InfoText()), Utf8(InfoTextAsWritten(failure))), "");
        EXPECT_EQ(ListTree(dir.path()), before);
        EXPECT_EQ(FileSize(Link()), -1);
        EXPECT_EQ(ReadInstallLocation(view.uninstallKey), "");
    }
}

TEST_F(Installation, MissingDesktopFailsWithoutAShortcut) {
    std::string dirText = scratch_ / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    TestView view(dirText, scratch_ / "no-desktop\\");
    EXPECT_FALSE(RunInstallation(view, payload_));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].rfind("安装失败：无法创建桌面快捷方式", 0), 0u) << view.messages[0];
    EXPECT_EQ(ListTree(dirText), std::vector<std::string>{});
}

TEST_F(Installation, SecondClickDuringTheRunDoesNothing) {
    std::string dirText = scratch_ / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    TestView view(dirText, Desktop());
    TestView second(dirText, Desktop());
    bool nested = true;
    view.duringPause = [&] {
        EXPECT_TRUE(IsInstallationRunning());
        nested = RunInstallation(second, payload_);
    };
    EXPECT_TRUE(RunInstallation(view, payload_));
    EXPECT_FALSE(nested);
    EXPECT_TRUE(second.pauses.empty());
    EXPECT_EQ(second.InfoText(), "");
    EXPECT_FALSE(IsInstallationRunning());
}

// The rules of a Windows system drive's root, which Wine does not enforce: an ordinary user may
// make folders in it but no files. The rest is the real file system, narrowed as a case says.
class SystemDriveRoot : public TargetFileSystem {
  public:
    SystemDriveRoot(const std::string& root, bool folders, bool filesInFolders, int64_t freeBytes)
        : root_(root), folders_(folders), filesInFolders_(filesInFolders), freeBytes_(freeBytes) {}
    bool CreateDirectoryLevel(const std::string& path) override {
        return folders_ && TargetFileSystem::CreateDirectoryLevel(path);
    }
    bool CanCreateFilesIn(const std::string& dir) override {
        if (PathsEqual(dir, root_)) return false;
        return filesInFolders_ && TargetFileSystem::CanCreateFilesIn(dir);
    }
    bool FreeBytesFor(const std::string& dir, uint64_t* bytes) override {
        if (freeBytes_ < 0) return TargetFileSystem::FreeBytesFor(dir, bytes);
        *bytes = static_cast<uint64_t>(freeBytes_);
        return true;
    }

  private:
    std::string root_;
    bool folders_, filesInFolders_;
    int64_t freeBytes_;
};

TEST_F(Installation, WriteAccessIsProbedWhereTheFilesGo) {
    struct Case {
        const char* label;
        bool folders;               // folders may be made in the root
        bool filesInFolders;        // files may be made in a folder made there
        int64_t freeBytes;          // what the volume reports free, -1: the real figure
        const char* failurePrefix;  // nullptr: installed
        InstallFailure kind;
    };
    const Case cases[] = {
        {"folders but no files in the root", true, true, -1, nullptr, InstallFailure::None},
        {"then too little room", true, true, 1 << 20, "安装失败：磁盘空间不足",
         InstallFailure::NoRoom},
        {"then no files in the product directory", true, false, -1, "安装失败：无法在所选目录",
         InstallFailure::CannotWrite},
        {"no folders either", false, false, -1, "安装失败：无法在所选目录",
         InstallFailure::CannotWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        const std::string root = dir / "system\\";  // as "C:\\" ends in a separator
        CreateDirectoryA(root.c_str(), nullptr);
        SystemDriveRoot volume(root, c.folders, c.filesInFolders, c.freeBytes);
        InstallRequest request;
        request.dirText = root;
        request.desktopDir = WideFromGbk(Desktop());
        request.fileSystem = &volume;

        InstallOutcome outcome = InstallFiles(request, payload_);
        if (!c.failurePrefix) {
            EXPECT_EQ(outcome.result, InstallOutcome::Installed) << outcome.failure;
            EXPECT_EQ(ListTree(ProductDirectory(root)), PayloadNames());
            DeleteFilePath(Link());
            continue;
        }
        EXPECT_EQ(outcome.result, InstallOutcome::Failed);
        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_EQ(outcome.failure.rfind(c.failurePrefix, 0), 0u) << outcome.failure;
        // Refused: the product directory made for the probe is gone again.
        EXPECT_EQ(ListTree(dir.path()), std::vector<std::string>{"system\\"});
        EXPECT_EQ(FileSize(Link()), -1);
    }
}

// A drive too small for the installation: scripts map a small tmpfs as QL_SMALL_DRIVE.
TEST_F(Installation, SmallDriveIsRefusedBeforeWriting) {
    const char* drive = getenv("QL_SMALL_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "no small drive mapped (tests/small_drive.sh maps one)";
    std::vector<std::string> before = ListTree(drive);
    TestView view(drive, Desktop());
    EXPECT_FALSE(RunInstallation(view, payload_));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].rfind("安装失败：磁盘空间不足。安装需要 ", 0), 0u)
        << view.messages[0];
    EXPECT_NE(view.messages[0].find(" MB"), std::string::npos);
    EXPECT_TRUE(view.pages.empty());
    EXPECT_EQ(ListTree(drive), before);
}

// Every file of the product directory with its bytes.
std::vector<std::pair<std::string, std::string>> Contents(const std::string& dir) {
    std::vector<std::pair<std::string, std::string>> contents;
    for (const std::string& name : ListTree(dir))
        contents.push_back({name, ReadText(JoinPath(dir, name))});
    return contents;
}

// A file of an earlier installation held open without sharing, as a running program holds its own
// file: the run stops before writing anything, names the program or the file, and a run after
// the file is let go installs.
TEST_F(Installation, FileInUseStopsBeforeAnythingIsWritten) {
    struct Case {
        const char* held;
        std::string message;
    };
    const Case cases[] = {
        {"青岚笺语写作.exe", "青岚笺语写作正在运行，请先关闭它，然后再安装。"},
        {"krnln.fnr", "文件“%s”正在被其他程序使用，请先关闭该程序，然后再安装。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        TempDir dir;
        TestView first(dir.path(), Desktop());
        ASSERT_TRUE(RunInstallation(first, payload_));
        const std::string product = ProductDirectory(dir.path());
        const std::string held = JoinPath(product, c.held);
        WriteText(JoinPath(product, "我的小说.txt"), "the user's own novel");
        const auto before = Contents(product);
        DeleteFilePath(Link());

        HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        TestView view(dir.path(), Desktop());
        InstallOutcome outcome;
        EXPECT_FALSE(RunInstallation(view, payload_, &outcome));
        EXPECT_EQ(outcome.kind, InstallFailure::InUse);
        char expected[1024];
        snprintf(expected, sizeof(expected), c.message.c_str(), NormalisePath(held).c_str());
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0], expected);
        EXPECT_EQ(view.InfoText(), InfoTextAsWritten(expected));
        EXPECT_TRUE(view.pages.empty());  // stays on the confirmation page
        EXPECT_EQ(Contents(product), before);
        EXPECT_EQ(FileSize(Link()), -1);

        CloseHandle(file);
        EXPECT_TRUE(RunInstallation(view, payload_));
        EXPECT_EQ(view.pages, std::vector<int>{4});
        DeleteFilePath(Link());
    }
}

// A read-only file is not in use: it is replaced as before.
TEST_F(Installation, ReadOnlyFileIsNotInUse) {
    TempDir dir;
    CreateDirectoryA(ProductDirectory(dir.path()).c_str(), nullptr);
    const std::string file = JoinPath(ProductDirectory(dir.path()), "spec.fne");
    WriteText(file, "old");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(IsFileInUse(file));
    EXPECT_EQ(PayloadFileInUse(ProductDirectory(dir.path())), "");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The /LOG= file: each step, then the result with the reason the wizard shows, in UTF-8.
TEST_F(Installation, LogNamesEachStepAndTheResult) {
    struct Case {
        const char* label;
        bool parentExists;
        std::vector<const char*> lines;  // UTF-8, in this order
    };
    const Case cases[] = {
        {"installed",
         true,
         {u8"安装目录：", u8"检查正在使用的文件：", u8"检查安装目录：", u8"写入安装文件：",
          u8"解压文件到：", u8"删除临时文件：", u8"创建桌面快捷方式：", u8"写入卸载信息：",
          u8"安装成功。"}},
        {"missing directory",
         false,
         {u8"安装目录：", u8"检查安装目录：", u8"安装失败：无法创建安装目录"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        const std::string target = c.parentExists ? dir.path() : dir / "missing";
        const std::string log = scratch_ / "setup.log";
        ASSERT_TRUE(OpenInstallLog(WideFromGbk(log)));
        TestView view(target, Desktop());
        RunInstallation(view, payload_);
        CloseInstallLog();
        std::string text = ReadText(log);
        size_t at = 0;
        for (const char* line : c.lines) {
            size_t found = text.find(line, at);
            EXPECT_NE(found, std::string::npos) << line << " missing after offset " << at << " in\n"
                                                << text;
            if (found != std::string::npos) at = found;
        }
        DeleteFilePath(Link());
    }
}

}  // namespace

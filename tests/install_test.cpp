// The installation procedure on the real embedded payload, through real edit controls.
#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com_ref.h"
#include "file_ops.h"
#include "install.h"
#include "paths.h"
#include "payload.h"
#include "payload_entries.h"
#include "test_support.h"
#include "texts.h"
#include "wizard_ops.h"

namespace {

// A hidden window holding the two edit controls the procedure uses.
class TestView : public InstallerView {
  public:
    TestView(const std::string& dirText, const std::string& desktop) : desktop_(desktop) {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
        directory_ = CreateWindowExA(0, "EDIT", dirText.c_str(), WS_CHILD | ES_AUTOHSCROLL, 0, 0,
                                     300, 20, window_, nullptr, nullptr, nullptr);
        info_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE | ES_READONLY | WS_VSCROLL,
                                0, 30, 300, 100, window_, nullptr, nullptr, nullptr);
    }
    ~TestView() override { DestroyWindow(window_); }

    std::string DirectoryText() override { return WindowText(directory_); }
    void SetInfoText(const char* text) override { ::SetInfoText(info_, text); }
    void AppendInfoText(const char* text) override { ::AppendInfoText(info_, text); }
    bool Pause(unsigned ms) override {
        pauses.push_back(ms);
        if (duringPause) duringPause();
        return PauseWithMessages(ms);
    }
    void SetCurrentPage(int index) override { pages.push_back(index); }
    void ShowInstallMessage(const std::string& text) override { messages.push_back(text); }
    std::string DesktopDirectory() override { return desktop_; }

    std::string InfoText() const { return WindowText(info_); }

    std::vector<unsigned> pauses;
    std::vector<int> pages;
    std::vector<std::string> messages;
    std::function<void()> duringPause;

  private:
    std::string desktop_;
    HWND window_, directory_, info_;
};

std::string ExpectedInfo(const std::string& last) {
    std::string text = kInstallHeader;
    for (const char* line : kInstallLines) text += line;
    return text + last;
}

std::vector<std::string> PayloadNames() {
    std::vector<std::string> names;
    for (const PayloadEntry& e : kPayloadEntries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::string LinkTarget(const std::string& linkFile) {
    wchar_t wide[MAX_PATH + 1] = {};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH + 1);
    ComApartment apartment;
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.out())) ||
        FAILED(persist->Load(wide, STGM_READ)))
        return "<unreadable>";
    char target[MAX_PATH + 1] = {};
    int show = 0;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetShowCmd(&show);
    // The link format keeps SW_SHOWNORMAL, SW_SHOWMAXIMIZED and SW_SHOWMINNOACTIVE only; the
    // SW_SHOW the installer sets reads back as one of the first two, never minimised.
    bool shown = show == SW_SHOW || show == SW_SHOWNORMAL || show == SW_SHOWMAXIMIZED;
    return std::string(target) + (shown ? "" : " <show command " + std::to_string(show) + ">");
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
        EXPECT_EQ(view.InfoText(), ExpectedInfo(kInstallDone));

        EXPECT_EQ(ListTree(product), PayloadNames());  // and no "安装文件.zip"
        for (const PayloadEntry& e : kPayloadEntries)
            EXPECT_EQ(FileSize(JoinPath(product, e.name)), e.size) << e.name;
        EXPECT_EQ(LinkTarget(Link()), ProgramPath(dirText));
    }
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
}

struct FailureCase {
    const char* label;
    std::function<std::string(const TempDir&)> prepare;  // returns the directory text
    const char* failurePrefix;
};

TEST_F(Installation, FailuresTakeBackWhatTheRunMade) {
    const FailureCase cases[] = {
        {"missing parent", [](const TempDir& d) { return d / "no\\such\\parent"; },
         "安装失败：无法创建安装目录"},
        {"product directory is a file",
         [](const TempDir& d) {
             CreateDirectoryA((d / "x").c_str(), nullptr);
             WriteText(d / "x\\青岚笺语", "a user's file");
             return d / "x";
         },
         "安装失败：无法创建安装目录"},
        {"an entry path is blocked by a directory",
         [](const TempDir& d) {
             CreateDirectoryA((d / "y").c_str(), nullptr);
             CreateDirectoryA((d / "y\\青岚笺语").c_str(), nullptr);
             CreateDirectoryA((d / "y\\青岚笺语\\spec.fne").c_str(), nullptr);
             WriteText(d / "y\\青岚笺语\\notes.txt", "a user's notes");
             return d / "y";
         },
         "安装失败：无法写入文件"},
        {"path too long", [](const TempDir& d) { return d / std::string(240, 'L'); },
         "安装失败：路径过长"},
        {"relative directory", [](const TempDir&) { return std::string("relative"); },
         "安装失败：安装目录"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        std::string dirText = c.prepare(dir);
        std::vector<std::string> before = ListTree(dir.path());

        TestView view(dirText, Desktop());
        EXPECT_FALSE(RunInstallation(view, payload_));
        EXPECT_TRUE(view.pages.empty());  // stays on the confirmation page
        ASSERT_EQ(view.messages.size(), 1u);
        const std::string& failure = view.messages[0];
        EXPECT_EQ(failure.rfind(c.failurePrefix, 0), 0u) << failure;
        EXPECT_EQ(view.InfoText(), ExpectedInfo(failure));
        EXPECT_EQ(ListTree(dir.path()), before);
        EXPECT_EQ(FileSize(Link()), -1);
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

}  // namespace

// Install, then uninstall with the installed 卸载程序.exe: what the installer placed goes, what the
// user placed stays. Uses the real desktop and installation record of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file_ops.h"
#include "paths.h"
#include "payload_entries.h"
#include "test_support.h"
#include "test_view.h"
#include "texts.h"
#include "uninstall_entry.h"

namespace {

// The real record and desktop, as the installed uninstaller knows them.
class RealView : public TestView {
  public:
    explicit RealView(const std::string& dirText) : TestView(dirText, ::DesktopDirectory()) {
        uninstallKey = kUninstallKey;
    }
};

bool RunAndWait(const std::string& program, const std::string& arguments, DWORD* exitCode) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The removal runs in a copy after the uninstaller exits: wait until it is done.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

class Uninstall : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadEmbeddedPayload(&payload_));
        dirText_ = scratch_ / "apps";
        CreateDirectoryA(dirText_.c_str(), nullptr);
        product_ = ProductDirectory(dirText_);
        RealView view(dirText_);
        ASSERT_TRUE(RunInstallation(view, payload_));
        link_ = LinkFileName(ShortcutPath(::DesktopDirectory()));
        ASSERT_TRUE(FileExists(link_));
        ASSERT_EQ(ReadInstallLocation(kUninstallKey), product_);
        WriteText(JoinPath(product_, "我的小说.txt"), "the user's own novel");
    }
    void TearDown() override {
        DeleteFilePath(link_);
        DeleteUninstallEntry(kUninstallKey);
    }

    TempDir scratch_;
    PayloadBytes payload_;
    std::string dirText_, product_, link_;
};

TEST_F(Uninstall, RemovesWhatWasInstalledAndKeepsTheUsersFiles) {
    DWORD exitCode = 99;
    ASSERT_TRUE(RunAndWait(JoinPath(product_, kUninstallerEntry), "--quiet", &exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(WaitFor([&] { return ReadInstallLocation(kUninstallKey).empty(); }))
        << "the installation record is still there";
    EXPECT_EQ(ListTree(product_), std::vector<std::string>{"我的小说.txt"});
    EXPECT_EQ(ReadText(JoinPath(product_, "我的小说.txt")), "the user's own novel");
    EXPECT_FALSE(FileExists(link_));

    // Without the user's file the product directory itself goes too.
    DeleteFilePath(JoinPath(product_, "我的小说.txt"));
    RealView again(dirText_);
    ASSERT_TRUE(RunInstallation(again, payload_));
    ASSERT_TRUE(RunAndWait(JoinPath(product_, kUninstallerEntry), "--quiet", &exitCode));
    EXPECT_TRUE(WaitFor([&] { return ReadInstallLocation(kUninstallKey).empty(); }));
    EXPECT_FALSE(DirectoryExists(product_));
}

TEST_F(Uninstall, AFileInUseIsLeftAndTheRecordKept) {
    std::string busy = JoinPath(product_, "krnln.fnr");
    HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD exitCode = 99;
    ASSERT_TRUE(RunAndWait(JoinPath(product_, kUninstallerEntry), "--quiet", &exitCode));
    // Everything else goes; the file in use, the user's file and the record stay.
    EXPECT_TRUE(WaitFor([&] { return !FileExists(JoinPath(product_, kProgramFileName)); }));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(JoinPath(product_, kUninstallerEntry)); }));
    Sleep(1500);  // the copy retries a file in use for about a second
    EXPECT_TRUE(FileExists(busy));
    EXPECT_EQ(ReadInstallLocation(kUninstallKey), product_);
    CloseHandle(held);
}

}  // namespace

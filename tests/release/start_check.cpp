// The installer's check of its archive at start, driven from outside its process: a copy with
// one byte of the archive changed shows the one message, no wizard window, exits with an error
// and writes nothing; an intact (or signed) installer opens its wizard.
//
// start-check [gtest flags] INSTALLER   (path in Unix or Windows form)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control_ids.h"
#include "file_ops.h"
#include "gbk_text.h"
#include "paths.h"
#include "pe_resources.h"
#include "resource_ids.h"
#include "test_support.h"
#include "texts.h"
#include "uninstall_entry.h"
#include "window_probe.h"

namespace {

constexpr DWORD kStartDeadlineMs = 30000;
std::string g_installer;

// The texts of a dialog's static controls.
std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND c = FindWindowExA(dialog, nullptr, "Static", nullptr); c;
         c = FindWindowExA(dialog, c, "Static", nullptr))
        texts.push_back(TextOf(c));
    return texts;
}

class Started {
  public:
    bool Start(const std::string& program, const std::string& directory) {
        std::string commandLine = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              directory.c_str(), &startup, &process_);
    }
    ~Started() {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    DWORD pid() const { return process_.dwProcessId; }
    // The exit code once it has ended within `ms`; STILL_ACTIVE otherwise.
    DWORD ExitCode(DWORD ms) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION process_ = {};
};

// Size and last write time of a file, "" when it does not exist.
std::string Fingerprint(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "";
    return std::to_string(data.nFileSizeLow) + "@" +
           std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" +
           std::to_string(data.ftLastWriteTime.dwHighDateTime);
}

TEST(StartCheck, OneChangedArchiveByteIsRefusedBeforeTheWindowAndNothingIsWritten) {
    std::ifstream in(g_installer, std::ios::binary);
    ByteVector image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t offset = 0, size = 0;
    ASSERT_TRUE(FindPeResourceOffset(image, 10, IDR_PAYLOAD, &offset, &size)) << g_installer;
    ASSERT_GT(size, 8u);
    // The block is count and length, then the archive: one byte in its middle changes.
    image[offset + 8 + (size - 8) / 2] ^= 0x01;

    // The desktop may be shared with other programs: what counts is that this start changes
    // neither the shortcut nor the record.
    std::string recordBefore = ReadInstallLocation(kUninstallKey);
    std::string link = GbkForDisplay(ShortcutFile(DesktopDirectory()));
    std::string linkBefore = Fingerprint(link);
    TempDir dir;
    std::string copy = dir / "setup.exe";
    {
        std::ofstream out(copy, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
    }
    Started setup;
    ASSERT_TRUE(setup.Start(copy, dir.path()));
    HWND box = nullptr;
    bool wizard = false;
    ASSERT_TRUE(WaitFor(
        [&] {
            wizard = wizard || !VisibleWindows(setup.pid(), QL_WIZARD_CLASS).empty();
            for (HWND d : VisibleWindows(setup.pid(), "#32770")) {
                std::vector<std::string> texts = StaticTexts(d);
                if (std::find(texts.begin(), texts.end(), kDamagedInstaller) != texts.end())
                    box = d;
            }
            return box != nullptr || wizard;
        },
        kStartDeadlineMs))
        << "neither the message nor the wizard appeared";
    ASSERT_TRUE(box) << "the wizard opened on a damaged archive";
    EXPECT_EQ(TextOf(box), kMessageTitle);
    EXPECT_TRUE(VisibleWindows(setup.pid(), QL_WIZARD_CLASS).empty());
    // Not even a hidden one. Only this process's windows count: other tests may have a wizard
    // of their own open meanwhile.
    for (HWND hwnd : TopLevelWindows())
        EXPECT_FALSE(ProcessOf(hwnd) == setup.pid() && ClassOf(hwnd) == QL_WIZARD_CLASS);
    EXPECT_EQ(VisibleWindows(setup.pid(), "#32770").size(), 1u) << "more than one message";
    std::printf("start-check: refused with \"%s\" titled \"%s\"\n", kDamagedInstaller,
                TextOf(box).c_str());
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    DWORD code = setup.ExitCode(10000);
    EXPECT_NE(code, STILL_ACTIVE) << "the installer did not end after the message";
    EXPECT_NE(code, 0u);
    std::printf("start-check: exit code %lu\n", code);

    EXPECT_EQ(ListTree(dir.path()), std::vector<std::string>{"setup.exe"});
    EXPECT_EQ(ReadInstallLocation(kUninstallKey), recordBefore);
    EXPECT_EQ(Fingerprint(link), linkBefore);
}

TEST(StartCheck, IntactInstallerOpensItsWizard) {
    TempDir dir;
    Started setup;
    ASSERT_TRUE(setup.Start(g_installer, dir.path()));
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindows(setup.pid(), QL_WIZARD_CLASS).empty(); },
                        kStartDeadlineMs))
        << "no wizard window";
    for (HWND d : VisibleWindows(setup.pid(), "#32770")) {
        std::vector<std::string> texts = StaticTexts(d);
        EXPECT_EQ(std::find(texts.begin(), texts.end(), kDamagedInstaller), texts.end());
    }
    EXPECT_EQ(setup.ExitCode(0), STILL_ACTIVE);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: start-check [gtest flags] INSTALLER\n");
        return 2;
    }
    g_installer = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}

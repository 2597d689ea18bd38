// Install, then uninstall with the installed 卸载程序.exe, quietly or through its question box
// answered from outside its process: what the installer placed goes, what the user placed stays,
// and the report names whatever is left. Uses the real desktop and installation record of the
// test prefix; tests/uninstall_drive.sh maps a scratch drive (QL_ROOT_DRIVE) for the cases that
// install into a drive root, the directory the wizard proposes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "file_ops.h"
#include "gbk_text.h"
#include "paths.h"
#include "payload_entries.h"
#include "test_support.h"
#include "test_view.h"
#include "texts.h"
#include "uninstall_entry.h"
#include "window_probe.h"

namespace {

// What the uninstaller says, kept apart from its sources.
constexpr char kQuestion[] = "确定要卸载“青岚笺语写作”及其全部组件吗？";
constexpr char kDone[] = "青岚笺语写作已从您的计算机中卸载。";
constexpr char kBoxTitle[] = "卸载程序";
constexpr char kDialogClass[] = "#32770";

constexpr DWORD kDeadlineMs = 30000;

// The real record and desktop, as the installed uninstaller knows them.
class RealView : public TestView {
  public:
    explicit RealView(const std::string& dirText) : TestView(dirText, ::DesktopDirectory()) {
        uninstallKey = kUninstallKey;
    }
};

class Handle {
  public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() {
        if (h_) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

// The uninstaller and the copy it starts, held in one job so the test knows when both are done.
class Uninstaller {
  public:
    Uninstaller() : job_(CreateJobObjectA(nullptr, nullptr)) {}
    ~Uninstaller() {
        WaitDone();
        // The copy asks to be deleted at the next start of Windows, which a test prefix never has.
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        DeleteFileA(
            (std::string(temp) + "qinglan-uninstall-" + std::to_string(pid_) + ".exe").c_str());
    }
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    // `quiet`: the switch that asks for no question and no report (nullptr: none).
    bool Start(const std::string& program, const char* quiet) {
        std::string commandLine = "\"" + program + "\"" + (quiet ? std::string(" ") + quiet : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!job_.get() ||
            !CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED, nullptr, nullptr, &startup, &process))
            return false;
        bool inJob = AssignProcessToJobObject(job_.get(), process.hProcess);
        if (!inJob) TerminateProcess(process.hProcess, 99);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        pid_ = process.dwProcessId;
        return inJob;
    }
    DWORD pid() const { return pid_; }
    // True once no process of the job runs any more.
    bool WaitDone() const {
        return WaitFor([&] { return Accounting().ActiveProcesses == 0; }, kDeadlineMs);
    }
    // The uninstaller and its copy, once both have started.
    DWORD ProcessesStarted() const { return Accounting().TotalProcesses; }

  private:
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
        QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &info,
                                  sizeof(info), nullptr);
        return info;
    }

    Handle job_;
    DWORD pid_ = 0;
};

// A visible message box titled "卸载程序" of the process `pid`, or of any process but `notPid`.
HWND FindBox(DWORD pid, DWORD notPid) {
    for (HWND hwnd : TopLevelWindows()) {
        DWORD owner = ProcessOf(hwnd);
        if (IsWindowVisible(hwnd) && ClassOf(hwnd) == kDialogClass &&
            (pid ? owner == pid : owner != notPid) && TextOf(hwnd, "") == kBoxTitle)
            return hwnd;
    }
    return nullptr;
}

// The message of a box: the texts of its static controls.
std::string MessageOf(HWND box) {
    std::string message;
    for (HWND child : ChildWindows(box)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) message += TextOf(child, "");
    }
    return message;
}

bool Press(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

// What the record's InstallLocation says when the uninstaller runs.
enum class Recorded {
    AsInstalled,
    Doubled,  // "T:\\青岚笺语", as installers before this one recorded a drive-root installation
    Elsewhere,  // another installation, made later in another place: its record stays
};

struct UninstallCase {
    const char* name;
    bool driveRoot;     // install into the drive root instead of a sub-directory
    const char* quiet;  // --quiet or /S, else (nullptr) the question is answered 是, report read
    bool usersFile;     // a file of the user's own in the product directory, which stays
    bool fileInUse;     // an installed file held open: nothing is removed, the report names it
    Recorded recorded;
};

class Uninstall : public ::testing::TestWithParam<UninstallCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadEmbeddedPayload(&payload_));
        if (GetParam().driveRoot) {
            const char* drive = std::getenv("QL_ROOT_DRIVE");
            if (!drive || !*drive)
                GTEST_SKIP() << "no scratch drive (tests/uninstall_drive.sh maps one)";
            dirText_ = std::string(drive) + "\\";
        } else {
            dirText_ = scratch_ / "apps";
            CreateDirectoryA(dirText_.c_str(), nullptr);
        }
        product_ = NormalisePath(ProductDirectory(dirText_));
        link_ = GbkForDisplay(ShortcutFile(::DesktopDirectory()));
        DeleteFilePath(link_);
        DeleteUninstallEntry(kUninstallKey);
    }
    void TearDown() override {
        DeleteFilePath(link_);
        DeleteUninstallEntry(kUninstallKey);
        if (GetParam().driveRoot) RemoveTree(product_);
    }

    TempDir scratch_;
    PayloadBytes payload_;
    std::string dirText_, product_, link_;
};

TEST_P(Uninstall, RemovesTheInstallationAndReportsWhatIsLeft) {
    const UninstallCase& c = GetParam();
    RealView view(dirText_);
    ASSERT_TRUE(RunInstallation(view, payload_)) << (view.messages.empty() ? "" : view.messages[0]);
    ASSERT_TRUE(FileExists(link_));
    ASSERT_TRUE(UninstallEntryExists(kUninstallKey));
    const std::string elsewhere = "C:\\其他目录\\青岚笺语";
    if (c.recorded != Recorded::AsInstalled) {
        std::string location =
            c.recorded == Recorded::Doubled ? ProductDirectory(dirText_) : elsewhere;
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation", REG_SZ,
                                  location.c_str(), static_cast<DWORD>(location.size() + 1)),
                  ERROR_SUCCESS);
    }
    const std::string novel = JoinPath(product_, "我的小说.txt");
    if (c.usersFile) WriteText(novel, "the user's own novel");
    const std::string busy = JoinPath(product_, "krnln.fnr");
    Handle held(c.fileInUse
                    ? CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                    : nullptr);
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);

    Uninstaller uninstaller;
    ASSERT_TRUE(uninstaller.Start(JoinPath(product_, kUninstallerEntry), c.quiet));
    std::string report;
    long exitCode = -1;
    if (!c.quiet) {
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (question = FindBox(uninstaller.pid(), 0)) != nullptr; },
                            kDeadlineMs))
            << "no question box";
        EXPECT_EQ(MessageOf(question), kQuestion);
        ASSERT_TRUE(Press(question, IDYES));
        HWND box = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (box = FindBox(0, uninstaller.pid())) != nullptr; }, kDeadlineMs))
            << "no report box";
        report = MessageOf(box);
        Handle copy(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(box)));
        ASSERT_TRUE(Press(box, IDOK));
        DWORD code = 99;
        ASSERT_EQ(WaitForSingleObject(copy.get(), kDeadlineMs), WAIT_OBJECT_0);
        GetExitCodeProcess(copy.get(), &code);
        exitCode = static_cast<long>(code);
    }
    ASSERT_TRUE(uninstaller.WaitDone()) << "the uninstaller is still running";
    ASSERT_EQ(uninstaller.ProcessesStarted(), 2u) << "the removal copy did not run in the job";

    // Every installed file and the shortcut are gone; all stay while a file is in use.
    for (const PayloadEntry& e : kPayloadEntries)
        EXPECT_EQ(FileExists(JoinPath(product_, e.name)), c.fileInUse) << e.name;
    EXPECT_EQ(FileExists(link_), c.fileInUse);
    EXPECT_EQ(FileExists(novel), c.usersFile);
    if (c.usersFile) {
        EXPECT_EQ(ReadText(novel), "the user's own novel");
    }
    EXPECT_EQ(DirectoryExists(product_), c.usersFile || c.fileInUse);

    if (c.recorded == Recorded::Elsewhere) {
        // Another installation's record: left alone, and not this removal's to report.
        EXPECT_EQ(ReadInstallLocation(kUninstallKey), elsewhere);
        if (!c.quiet) {
            EXPECT_EQ(exitCode, 0);
            EXPECT_EQ(report, kDone);
        }
    } else if (c.fileInUse) {
        // The record stays, so the removal can be finished later.
        EXPECT_EQ(ReadInstallLocation(kUninstallKey), product_);
        if (!c.quiet) {
            EXPECT_EQ(exitCode, 1);
            EXPECT_EQ(report, "文件“" + busy + "”正在被其他程序使用，请先关闭该程序，然后再卸载。");
        }
    } else {
        EXPECT_FALSE(UninstallEntryExists(kUninstallKey))
            << "the installation record is still there, naming "
            << ReadInstallLocation(kUninstallKey);
        if (!c.quiet) {
            EXPECT_EQ(exitCode, 0);
            EXPECT_EQ(report, kDone);
        }
    }
}

const UninstallCase kCases[] = {
    {"SubDirectoryQuiet", false, "--quiet", false, false, Recorded::AsInstalled},
    {"SubDirectorySilentSwitch", false, "/S", false, false, Recorded::AsInstalled},
    {"SubDirectoryAskedKeepsTheUsersFile", false, nullptr, true, false, Recorded::AsInstalled},
    {"SubDirectoryQuietFileInUse", false, "/s", false, true, Recorded::AsInstalled},
    {"SubDirectoryAskedRecordOfAnotherPlace", false, nullptr, false, false, Recorded::Elsewhere},
    {"DriveRootQuiet", true, "--quiet", false, false, Recorded::AsInstalled},
    {"DriveRootAsked", true, nullptr, false, false, Recorded::AsInstalled},
    {"DriveRootAskedFileInUse", true, nullptr, false, true, Recorded::AsInstalled},
    {"DriveRootAskedRecordSpeltDoubled", true, nullptr, false, false, Recorded::Doubled},
};

INSTANTIATE_TEST_SUITE_P(Cases, Uninstall, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<UninstallCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace

// Install, then uninstall with the installed 卸载程序.exe, quietly or through its question box
// answered from outside its process: what the installer placed goes, what the user placed stays,
// the report names whatever is left, the uninstaller ends with the removal's result, and nothing
// of its removal copy stays in %TEMP%. Uses the real desktop and installation record of the test
// prefix; tests/uninstall_drive.sh maps a scratch drive (QL_ROOT_DRIVE) for the cases that
// install into a drive root, the directory the wizard proposes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "file_ops.h"
#include "gbk_text.h"
#include "handles.h"
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
constexpr char kProgramRunning[] = "青岚笺语写作正在运行，请先关闭它，然后再卸载。";
constexpr char kBoxTitle[] = "卸载程序";
constexpr char kDialogClass[] = "#32770";
constexpr char kWriterClass[] = "QinglanWriterWindow";

constexpr DWORD kDeadlineMs = 30000;

// The real record and desktop, as the installed uninstaller knows them.
class RealView : public TestView {
  public:
    explicit RealView(const std::string& dirText) : TestView(dirText, ::DesktopDirectory()) {
        uninstallKey = kUninstallKey;
    }
};

// The uninstaller and the copy it starts, held in one job so the test knows when both are done.
class Uninstaller {
  public:
    Uninstaller() : job_(CreateJobObjectA(nullptr, nullptr)) {}
    ~Uninstaller() { WaitDone(); }
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    // `arguments`: e.g. the switch that asks for no question and no report ("" for none).
    bool Start(const std::string& program, const std::string& arguments) {
        std::string commandLine =
            "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!job_.get() ||
            !CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)) {
            startError_ = "CreateProcess error " + std::to_string(GetLastError());
            return false;
        }
        bool inJob = AssignProcessToJobObject(job_.get(), process.hProcess);
        if (!inJob) {
            startError_ = "AssignProcessToJobObject error " + std::to_string(GetLastError());
            TerminateProcess(process.hProcess, 99);
        }
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        first_.reset(process.hProcess);
        pid_ = process.dwProcessId;
        return inJob;
    }
    DWORD pid() const { return pid_; }
    // Why Start failed.
    const std::string& startError() const { return startError_; }
    // The exit code of the process started, -1 while it runs at the deadline.
    long ExitCode(DWORD timeoutMs = kDeadlineMs) const {
        DWORD code = 0;
        if (WaitForSingleObject(first_.get(), timeoutMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(first_.get(), &code))
            return -1;
        return static_cast<long>(code);
    }
    void EndAll() { TerminateJobObject(job_.get(), 99); }
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

    KernelHandle job_;
    KernelHandle first_;
    DWORD pid_ = 0;
    std::string startError_;
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

// What removal copies left in %TEMP%: the "qinglan-uninstall-..." files and directories.
std::set<std::string> CopiesInTemp() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(temp) + "qinglan-uninstall-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// The removals at the next start of Windows that name a removal copy: Windows allows them to
// administrators only, and Wine, which accepts them from anybody, never restarts.
size_t CopiesLeftForTheNextStart() {
    std::vector<char> value(1 << 20);
    DWORD size = static_cast<DWORD>(value.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return 0;
    size_t count = 0;
    for (size_t at = 0; at < size && value[at]; at += strlen(&value[at]) + 1)
        if (strstr(&value[at], "qinglan-uninstall-")) count++;
    return count;
}

// The installed program, started from the product directory and closed again.
class RunningProgram {
  public:
    bool Start(const std::string& program) {
        std::string commandLine = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process))
            return false;
        CloseHandle(process.hThread);
        process_.reset(process.hProcess);
        pid_ = process.dwProcessId;
        return WaitFor([&] { return Window() != nullptr; }, kDeadlineMs);
    }
    bool Close() {
        if (!process_) return true;
        PostMessageA(Window(), WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.get(), kDeadlineMs) != WAIT_OBJECT_0) return false;
        process_.reset();
        return true;
    }
    // A program that does not close is ended, so the next case starts alone.
    ~RunningProgram() {
        if (!Close()) TerminateProcess(process_.get(), 99);
    }

  private:
    HWND Window() const {
        for (HWND hwnd : TopLevelWindows())
            if (ProcessOf(hwnd) == pid_ && ClassOf(hwnd) == kWriterClass) return hwnd;
        return nullptr;
    }
    KernelHandle process_;
    DWORD pid_ = 0;
};

// What the record's InstallLocation says when the uninstaller runs.
enum class Recorded {
    AsInstalled,
    Doubled,  // "T:\\青岚笺语", as installers before this one recorded a drive-root installation
    Elsewhere,  // another installation, made later in another place: its record stays
};

// What keeps the installation in use during the first removal, which then removes nothing; the
// removal is run again once it has let go.
enum class Holder {
    Nothing,
    OpenFile,  // an installed file held open without sharing
    Program,   // the installed program runs
};

struct UninstallCase {
    const char* name;
    bool driveRoot;     // install into the drive root instead of a sub-directory
    const char* quiet;  // --quiet or /S, else (nullptr) the question is answered 是, report read
    bool usersFile;     // a file of the user's own in the product directory, which stays
    Holder holder;
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
    KernelHandle held(c.holder == Holder::OpenFile ? CreateFileA(busy.c_str(), GENERIC_READ, 0,
                                                                 nullptr, OPEN_EXISTING, 0, nullptr)
                                                   : nullptr);
    ASSERT_TRUE(held || c.holder != Holder::OpenFile) << "cannot hold " << busy;
    RunningProgram program;
    if (c.holder == Holder::Program) {
        ASSERT_TRUE(program.Start(JoinPath(product_, kProgramEntry)))
            << "the program did not start";
    }
    const size_t leftForTheNextStart = CopiesLeftForTheNextStart();

    for (int run = 0; run < (c.holder == Holder::Nothing ? 1 : 2); run++) {
        const bool inUse = run == 0 && c.holder != Holder::Nothing;
        SCOPED_TRACE(inUse ? "while the installation is in use" : "removal");
        // The prefix may hold what uninstallers of other runs left.
        const std::set<std::string> copiesBefore = CopiesInTemp();
        if (run > 0) {
            held.reset();
            ASSERT_TRUE(program.Close()) << "the program did not close";
        }
        Uninstaller uninstaller;
        ASSERT_TRUE(
            uninstaller.Start(JoinPath(product_, kUninstallerEntry), c.quiet ? c.quiet : ""))
            << uninstaller.startError();
        std::string report;
        long copyExitCode = -1;
        if (!c.quiet) {
            HWND question = nullptr;
            ASSERT_TRUE(WaitFor(
                [&] { return (question = FindBox(uninstaller.pid(), 0)) != nullptr; }, kDeadlineMs))
                << "no question box";
            EXPECT_EQ(MessageOf(question), kQuestion);
            ASSERT_TRUE(Press(question, IDYES));
            HWND box = nullptr;
            ASSERT_TRUE(WaitFor([&] { return (box = FindBox(0, uninstaller.pid())) != nullptr; },
                                kDeadlineMs))
                << "no report box";
            report = MessageOf(box);
            KernelHandle copy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                          ProcessOf(box)));
            ASSERT_TRUE(Press(box, IDOK));
            DWORD code = 99;
            ASSERT_EQ(WaitForSingleObject(copy.get(), kDeadlineMs), WAIT_OBJECT_0);
            GetExitCodeProcess(copy.get(), &code);
            copyExitCode = static_cast<long>(code);
        }
        // The uninstaller ends with the removal's result, which a script reads.
        const long exitCode = uninstaller.ExitCode();
        ASSERT_TRUE(uninstaller.WaitDone()) << "the uninstaller is still running";
        ASSERT_EQ(uninstaller.ProcessesStarted(), 2u) << "the removal copy did not run in the job";
        EXPECT_EQ(exitCode, inUse ? 1 : 0) << "the uninstaller's exit code";
        if (!c.quiet) {
            EXPECT_EQ(copyExitCode, exitCode);
        }

        // Every installed file and the shortcut are gone; all stay while the installation is in
        // use.
        for (const PayloadEntry& e : kPayloadEntries)
            EXPECT_EQ(FileExists(JoinPath(product_, e.name)), inUse) << e.name;
        EXPECT_EQ(FileExists(link_), inUse);
        EXPECT_EQ(FileExists(novel), c.usersFile);
        if (c.usersFile) {
            EXPECT_EQ(ReadText(novel), "the user's own novel");
        }
        EXPECT_EQ(DirectoryExists(product_), c.usersFile || inUse);

        if (c.recorded == Recorded::Elsewhere) {
            // Another installation's record: left alone, and not this removal's to report.
            EXPECT_EQ(ReadInstallLocation(kUninstallKey), elsewhere);
        } else if (inUse) {
            // The record stays, so the removal can be finished later.
            EXPECT_EQ(ReadInstallLocation(kUninstallKey), product_);
        } else {
            EXPECT_FALSE(UninstallEntryExists(kUninstallKey))
                << "the installation record is still there, naming "
                << ReadInstallLocation(kUninstallKey);
        }
        if (!c.quiet) {
            const std::string expected =
                !inUse ? kDone
                : c.holder == Holder::Program
                    ? kProgramRunning
                    : "文件“" + busy + "”正在被其他程序使用，请先关闭该程序，然后再卸载。";
            EXPECT_EQ(report, expected);
        }

        // Nothing of the removal copy stays behind, and nothing of it waits for the next start
        // of Windows, which only administrators may ask for.
        std::set<std::string> copies;
        WaitFor([&] { return (copies = CopiesInTemp()) == copiesBefore; }, 2000);
        std::vector<std::string> left;
        std::set_difference(copies.begin(), copies.end(), copiesBefore.begin(), copiesBefore.end(),
                            std::back_inserter(left));
        EXPECT_EQ(left, std::vector<std::string>{}) << "left in %TEMP%";
        EXPECT_EQ(CopiesLeftForTheNextStart(), leftForTheNextStart)
            << "the removal copy asked to be removed at the next start of Windows";
    }
}

const UninstallCase kCases[] = {
    {"SubDirectoryQuiet", false, "--quiet", false, Holder::Nothing, Recorded::AsInstalled},
    {"SubDirectorySilentSwitch", false, "/S", false, Holder::Nothing, Recorded::AsInstalled},
    {"SubDirectoryAskedKeepsTheUsersFile", false, nullptr, true, Holder::Nothing,
     Recorded::AsInstalled},
    {"SubDirectoryQuietFileInUse", false, "/s", false, Holder::OpenFile, Recorded::AsInstalled},
    {"SubDirectorySilentWhileTheProgramRuns", false, "/S", false, Holder::Program,
     Recorded::AsInstalled},
    {"SubDirectoryAskedWhileTheProgramRuns", false, nullptr, false, Holder::Program,
     Recorded::AsInstalled},
    {"SubDirectoryAskedRecordOfAnotherPlace", false, nullptr, false, Holder::Nothing,
     Recorded::Elsewhere},
    {"SubDirectorySilentRecordOfAnotherPlace", false, "/S", false, Holder::Nothing,
     Recorded::Elsewhere},
    {"DriveRootQuiet", true, "--quiet", false, Holder::Nothing, Recorded::AsInstalled},
    {"DriveRootAsked", true, nullptr, false, Holder::Nothing, Recorded::AsInstalled},
    {"DriveRootAskedFileInUse", true, nullptr, false, Holder::OpenFile, Recorded::AsInstalled},
    {"DriveRootAskedRecordSpeltDoubled", true, nullptr, false, Holder::Nothing, Recorded::Doubled},
};

INSTANTIATE_TEST_SUITE_P(Cases, Uninstall, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<UninstallCase>& info) {
                             return std::string(info.param.name);
                         });

// The removal copy is only ever started by the uninstaller, which hands it its own process: a
// copy handed a process id instead (a stranger's, as an id is once its process has ended and the
// id is used again) neither waits on that process nor removes anything.
TEST(UninstallCopy, NeverWaitsOnAProcessNamedByItsId) {
    PayloadBytes payload;
    ASSERT_TRUE(LoadEmbeddedPayload(&payload));
    TempDir scratch;
    const std::string dirText = scratch / "apps";
    CreateDirectoryA(dirText.c_str(), nullptr);
    const std::string product = NormalisePath(ProductDirectory(dirText));
    const std::string link = GbkForDisplay(ShortcutFile(::DesktopDirectory()));
    struct Cleanup {
        const std::string& link;
        ~Cleanup() {
            DeleteFilePath(link);
            DeleteUninstallEntry(kUninstallKey);
        }
    } cleanup{link};
    RealView view(dirText);
    ASSERT_TRUE(RunInstallation(view, payload));
    const std::string copy = scratch / "qinglan-uninstall.exe";
    ASSERT_TRUE(CopyFileA(JoinPath(product, kUninstallerEntry).c_str(), copy.c_str(), FALSE));

    Uninstaller stray;
    ASSERT_TRUE(stray.Start(copy, "--remove \"" + product + "\" --after " +
                                      std::to_string(GetCurrentProcessId()) + " --quiet"))
        << stray.startError();
    EXPECT_EQ(stray.ExitCode(5000), 1) << "the copy waits on the stranger (-1: still running)";
    stray.EndAll();
    for (const PayloadEntry& e : kPayloadEntries)
        EXPECT_TRUE(FileExists(JoinPath(product, e.name))) << e.name;
    EXPECT_EQ(ReadInstallLocation(kUninstallKey), product);
}

}  // namespace

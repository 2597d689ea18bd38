// The installer's command line: pure text work, then the text as the system hands it over.
#include <gtest/gtest.h>

#include <string>

#include "command_line.h"
#include "unattended.h"

namespace {

struct Case {
    const char* arguments;
    bool silent;
    bool help;
    bool hasDirectory;
    const char* directory;
    const char* logFile;
    const char* refused;
};

const Case kCases[] = {
    {"", false, false, false, "", "", ""},
    {"   ", false, false, false, "", "", ""},
    {"/S", true, false, false, "", "", ""},
    {"/s", true, false, false, "", "", ""},
    {"/S /D=E:\\Program Files\\写作", true, false, true, "E:\\Program Files\\写作", "", ""},
    {"/S /d=E:\\a  b  ", true, false, true, "E:\\a  b", "", ""},
    {"/D=E:\\x /S", false, false, true, "E:\\x /S", "", ""},  // /D= is always the last
    {"/S /D=\"E:\\quoted dir\"", true, false, true, "E:\\quoted dir", "", ""},
    // Quoted as one whole argument, as scripts pass it: it may stand anywhere.
    {"/S \"/D=D:\\my apps\"", true, false, true, "D:\\my apps", "", ""},
    {"\"/d=E:\\写 作\" /S /LOG=C:\\a.log", true, false, true, "E:\\写 作", "C:\\a.log", ""},
    {"/S \"/D=\"", true, false, false, "", "", "\"/D=\""},
    {"/S /D=E:\\乗", true, false, true, "E:\\乗", "", ""},  // trail byte 0x5C
    {"/S /D=", true, false, false, "", "", "/D="},
    {"/LOG=C:\\setup.log /S", true, false, false, "", "C:\\setup.log", ""},
    {"/log=\"C:\\my logs\\setup.log\" /S /D=E:\\", true, false, true, "E:\\",
     "C:\\my logs\\setup.log", ""},
    {"\"/LOG=C:\\a b.log\"", false, false, false, "", "C:\\a b.log", ""},
    {"/LOG=", false, false, false, "", "", "/LOG="},
    {"/?", false, true, false, "", "", ""},
    {"/S /?", true, true, false, "", "", ""},
    {"/X", false, false, false, "", "", "/X"},
    {"/S /silent", true, false, false, "", "", "/silent"},
    {"/SS", false, false, false, "", "", "/SS"},
    {"-S", false, false, false, "", "", "-S"},
    {"S", false, false, false, "", "", "S"},
    {"/S /X /Y", true, false, false, "", "", "/X"},
    {"\t/S\t", true, false, false, "", "", ""},
};

TEST(CommandLine, Switches) {
    for (const Case& c : kCases) {
        CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.silent, c.silent) << c.arguments;
        EXPECT_EQ(parsed.help, c.help) << c.arguments;
        EXPECT_EQ(parsed.hasDirectory, c.hasDirectory) << c.arguments;
        EXPECT_EQ(parsed.directory, c.directory) << c.arguments;
        EXPECT_EQ(parsed.logFile, c.logFile) << c.arguments;
        EXPECT_EQ(parsed.refused, c.refused) << c.arguments;
    }
}

TEST(CommandLine, ArgumentsFollowTheProgramName) {
    struct NameCase {
        const char* commandLine;
        const char* arguments;
    };
    const NameCase cases[] = {
        {"setup.exe", ""},
        {"setup.exe /S", "/S"},
        {"\"C:\\Down loads\\setup.exe\"  /S /D=E:\\a b", "/S /D=E:\\a b"},
        {"  C:\\setup.exe\t/?", "/?"},
        {"\"C:\\setup.exe\"", ""},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << c.commandLine;
}

// The command line comes as UTF-16: a path with characters GBK has not (a Korean user name) keeps
// them where it can stay UTF-16 (the log), and is refused where the installer needs GBK (/D=).
struct SystemCase {
    const wchar_t* commandLine;
    bool silent;
    const char* directory;  // GBK; a form with '?' when unusable
    bool directoryUsable;
    const wchar_t* logPath;
    const char* refused;  // GBK, with '?' for what GBK has not
};

const SystemCase kSystemCases[] = {
    {L"\"C:\\\u4e0b\u8f7d\\setup.exe\" /S /D=E:\\\u9752\u5c9a \u5199\u4f5c", true, "E:\\青岚 写作",
     true, L"", ""},
    {L"setup.exe /S /D=E:\\\u4e57", true, "E:\\乗", true, L"", ""},
    {L"setup.exe /S \"/LOG=C:\\Users\\\uae40\\setup.log\"", true, "", true,
     L"C:\\Users\\\uae40\\setup.log", ""},
    {L"setup.exe /S /D=C:\\Users\\\uae40", true, "C:\\Users\\?", false, L"", ""},
    {L"setup.exe /S \"/D=E:\\\u9752\u5c9a \u5199\u4f5c\"", true, "E:\\青岚 写作", true, L"", ""},
    {L"setup.exe /X\uae40", false, "", true, L"", "/X?"},
    {L"setup.exe /S /D=E:\\x\U0001F600", true, "E:\\x??", false, L"", ""},
};

TEST(CommandLine, TextAsTheSystemHandsItOver) {
    for (const SystemCase& c : kSystemCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.commandLine)));
        CommandLine parsed = ReadCommandLine(c.commandLine);
        EXPECT_EQ(parsed.silent, c.silent);
        EXPECT_EQ(parsed.directory, c.directory);
        EXPECT_EQ(parsed.directoryUsable, c.directoryUsable);
        EXPECT_EQ(parsed.logPath, c.logPath);
        EXPECT_EQ(parsed.refused, c.refused);
    }
}

}  // namespace

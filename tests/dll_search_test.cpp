// The DLL search restriction every program makes first, on the systems the manifest declares:
// with SetDefaultDllDirectories (Windows 8 on, Windows 7 with its update) and without it (Vista,
// Windows 7 as shipped), where SetDllDirectory("") must still take the current directory out.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dll_search.h"

namespace {

std::vector<std::string> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI FakeSetDefaultDllDirectories(DWORD flags) {
    g_calls.push_back("SetDefaultDllDirectories(" + std::to_string(flags) + ")");
    return g_answer;
}

BOOL WINAPI FakeSetDllDirectory(LPCWSTR path) {
    g_calls.push_back(path ? "SetDllDirectory(\"" + std::string(path, path + wcslen(path)) + "\")"
                           : "SetDllDirectory(null)");
    return TRUE;
}

struct Case {
    const char* system;
    bool hasSetDefault;
    BOOL setDefaultAnswer;
    DllSearch result;
    std::vector<std::string> calls;
};

TEST(DllSearch, RestrictedOnEverySupportedSystem) {
    const Case cases[] = {
        {"Windows 8 and later",
         true,
         TRUE,
         DllSearch::SystemOnly,
         {"SetDefaultDllDirectories(2048)"}},
        {"Vista, Windows 7 without KB2533623",
         false,
         TRUE,
         DllSearch::NoCurrentDirectory,
         {"SetDllDirectory(\"\")"}},
        {"SetDefaultDllDirectories refuses",
         true,
         FALSE,
         DllSearch::NoCurrentDirectory,
         {"SetDefaultDllDirectories(2048)", "SetDllDirectory(\"\")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system);
        g_calls.clear();
        g_answer = c.setDefaultAnswer;
        DllSearchCalls calls = {c.hasSetDefault ? FakeSetDefaultDllDirectories : nullptr,
                                FakeSetDllDirectory};
        EXPECT_EQ(RestrictDllSearchToSystem(calls), c.result);
        EXPECT_EQ(g_calls, c.calls);
    }
}

}  // namespace

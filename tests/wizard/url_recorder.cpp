// Stands in for a chat client's "tencent" URL protocol handler in the test prefix: writes the URL
// it was started with (first argument) to the file named by the second argument, or to
// %TEMP%\ql-url-recorder.txt. The file appears complete or not at all, so a poller never reads
// half a URL.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    std::string url = __argv[1];
    std::string target;
    if (__argc >= 3) {
        target = __argv[2];
    } else {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        target = std::string(temp) + "ql-url-recorder.txt";
    }
    std::string part = target + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, url.data(), static_cast<DWORD>(url.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != url.size()) return 1;
    return MoveFileExA(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

// The entries of the payload archive, in central-directory order, with their uncompressed sizes.
// Shared by the host tool that writes the archive, the uninstaller and the tests.
#pragma once

#include <cstddef>
#include <cstdint>

struct PayloadEntry {
    const char* name;  // GBK, at the archive root
    uint32_t size;
};

inline constexpr PayloadEntry kPayloadEntries[] = {
    {"ESpeechEngine.fne", 180224}, {"HtmlView.fne", 217088},       {"RegEx.fnr", 217088},
    {"commobj.fne", 114688},       {"eAPI.fne", 315392},           {"eCompress.fne", 180224},
    {"iext.fnr", 208896},          {"iext2.fne", 503808},          {"iext3.fne", 393216},
    {"iext5.fne", 331776},         {"internet.fne", 192512},       {"krnln.fnr", 1286144},
    {"mp3.run", 204800},           {"shell.fne", 61440},           {"spec.fne", 73728},
    {"卸载程序.exe", 1507328},     {"青岚笺语写作.exe", 16226816},
};
inline constexpr size_t kPayloadEntryCount = sizeof(kPayloadEntries) / sizeof(kPayloadEntries[0]);
inline constexpr uint64_t kPayloadTotalBytes = 22215168;

inline constexpr const char* kUninstallerEntry = "卸载程序.exe";
inline constexpr const char* kProgramEntry = "青岚笺语写作.exe";

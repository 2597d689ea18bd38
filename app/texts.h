// The installer's own texts. Sources are UTF-8; the compiler turns narrow literals into GBK.
#pragma once

inline constexpr const char kProductSubdir[] = "\\青岚笺语";
inline constexpr const char kTemporaryArchiveName[] = "安装文件.zip";
inline constexpr const char kProgramFileName[] = "青岚笺语写作.exe";
inline constexpr const char kShortcutName[] = "青岚笺语写作";
inline constexpr const char kMessageTitle[] = "安装提示：";

// The information box during installation: the header, then fourteen lines, then the last line.
inline constexpr const char kInstallHeader[] = "正在安装：\r\n";
inline constexpr const char* const kInstallLines[] = {
    "正在安装文件：eAPI.fne\r\n",          "正在安装文件：commobj.fne\r\n",
    "正在安装文件：ESpeechEngine.fne\r\n", "正在安装文件：iext.fnr\r\n",
    "正在安装文件：iext2.fne\r\n",         "正在安装文件：iext3.fne\r\n",
    "正在安装文件：iext5.fne\r\n",         "正在安装文件：internet.fne\r\n",
    "正在安装文件：krnln.fnr\r\n",         "正在安装文件：RegEx.fnr\r\n",
    "正在安装文件：shell.fne\r\n",         "正在安装文件：spec.fne\r\n",
    "正在安装文件：卸载程序\r\n",          "正在安装文件：青岚笺语主程序\r\n",
};
inline constexpr const char kInstallDone[] = "安装完毕~！！！！！！";

// What a failed installation says, as the last line of the information box and in the message box.
// "%s" stands for the path, file or entry concerned.
inline constexpr const char kFailInvalidDirectory[] =
    "安装失败：安装目录“%s”无效，请选择一个完整的目录路径。";
inline constexpr const char kFailPathTooLong[] = "安装失败：路径过长（超过 259 个字符）：%s";
inline constexpr const char kFailCreateDirectory[] = "安装失败：无法创建安装目录“%s”。";
inline constexpr const char kFailWriteArchive[] =
    "安装失败：无法写入安装文件“%s”，请检查磁盘空间和写入权限。";
// At start, when the carried archive is not what was built into the installer.
inline constexpr const char kDamagedInstaller[] = "安装程序已损坏，请重新下载。";
inline constexpr const char kFailPayload[] = "安装失败：安装程序自带的安装包已损坏。";
inline constexpr const char kFailArchiveDamaged[] = "安装失败：安装包已损坏，无法解压“%s”。";
inline constexpr const char kFailExtractFile[] = "安装失败：无法写入文件“%s”。";
inline constexpr const char kFailDeleteArchive[] = "安装失败：无法删除临时文件“%s”。";
inline constexpr const char kFailDesktop[] = "安装失败：找不到桌面目录，无法创建快捷方式。";
inline constexpr const char kFailNotWritable[] =
    "安装失败：无法在所选目录“%s”中写入文件，请选择其他目录。";
inline constexpr const char kFailDiskSpace[] =
    "安装失败：磁盘空间不足。安装需要 %.1f MB，所选磁盘只有 %.1f MB 可用，请选择其他目录。";
inline constexpr const char kFailUninstallEntry[] = "安装失败：无法写入卸载信息。";
inline constexpr const char kFailShortcut[] = "安装失败：无法创建桌面快捷方式“%s”。";

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
// A directory (from /D= or the folder dialog) whose name holds a character GBK has not: the
// installer's paths cannot name it, and a name with "?" would be another place.
inline constexpr const char kFailDirectoryCharacters[] =
    "安装目录“%s”含有安装程序无法使用的字符，请选择其他目录。";
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
// A file of the installation is held open (the program runs): nothing is written or removed.
inline constexpr const char kFailProgramRunning[] =
    "青岚笺语写作正在运行，请先关闭它，然后再安装。";
inline constexpr const char kFailFileInUse[] =
    "文件“%s”正在被其他程序使用，请先关闭该程序，然后再安装。";
inline constexpr const char kUninstallProgramRunning[] =
    "青岚笺语写作正在运行，请先关闭它，然后再卸载。";
// The uninstaller's own directory has a name GBK cannot hold (moved or renamed since).
inline constexpr const char kUninstallDirectoryCharacters[] =
    "无法卸载：卸载程序所在的目录“%s”含有无法处理的字符，请把它改回安装时的名称后再卸载。";
inline constexpr const char kUninstallFileInUse[] =
    "文件“%s”正在被其他程序使用，请先关闭该程序，然后再卸载。";

// An unattended start while another installer runs (exit code 7), in its log.
inline constexpr const char kAnotherInstallerRunning[] =
    "另一个安装程序正在运行，请等它结束后再安装。";

// The switches, shown by /? and when an argument is refused. An ideographic space, not a tab,
// parts a switch from what it does: the skin draws the box's text without tab stops.
inline constexpr const char kCommandLineHelp[] =
    "青岚笺语写作安装程序的命令行参数：\r\n\r\n"
    "/S　不显示任何窗口，直接安装（静默安装）\r\n"
    "/D=目录　安装到该目录下的“青岚笺语”（默认为上次安装的位置，没有时为 D:\\）；"
    "不加引号时必须是最后一个参数，可以含空格；也可以整个参数加引号：\"/D=目录\"\r\n"
    "/LOG=文件　把安装的每一步和结果写入该文件（UTF-8）\r\n"
    "/?　显示本说明\r\n\r\n"
    "退出代码：0 成功；1 参数错误；2 安装程序已损坏；3 安装目录无效；4 磁盘空间不足；"
    "5 无法写入；6 文件正在使用；7 另一个安装程序正在运行";

// Path texts of the installer: GBK byte strings joined and checked without any Win32 call.
#pragma once

#include <string>

// The longest path the ANSI file functions accept (MAX_PATH less the terminating NUL).
inline constexpr size_t kMaxAnsiPath = 259;

// Steps over one GBK character: two bytes for a lead byte followed by a trail byte, else one.
const char* NextGbkChar(const char* p);

// True when the last character (not the last byte: GBK trail bytes include '\') is '\' or '/'.
bool EndsWithSeparator(const std::string& path);

// `dir` + "\" (only when `dir` does not already end in a separator) + `name`.
std::string JoinPath(const std::string& dir, const std::string& name);

// Every '/' of an archive entry name turned into '\'.
std::string ToBackslashes(const std::string& name);

// An archive entry name that stays below the extraction directory: not empty, no leading
// separator, no drive or ':' anywhere, no empty, ".", ".." or dot/space-ended component, no
// reserved device name (CON, NUL, COM1, ...), no control character.
bool IsSafeEntryName(const std::string& name);

// The parent of `path` (everything before its last separator), "" when there is none.
std::string ParentPath(const std::string& path);

// The path as Win32 reports it about itself (GetFullPathName, GetModuleFileName): '/' turned into
// '\', runs of separators made one, "." dropped, ".." taken back (never above the root), and no
// trailing separator except the root's own ("D:\"). The leading "\\" of a UNC path stays; case is
// kept. A drive-root text "D:\" joined with "\青岚笺语" gives "D:\\青岚笺语", which is
// "D:\青岚笺语".
std::string NormalisePath(const std::string& path);

// Whether two path texts name the same place: equal once normalised, ASCII letters compared
// without regard to case (the bytes of a GBK character exactly).
bool PathsEqual(const std::string& a, const std::string& b);

// An absolute local ("X:\...") or UNC ("\\server\share...") directory text.
bool IsAbsoluteDirectory(const std::string& dir);

// The installer's product paths, built from the directory text exactly as the field holds it.
std::string ProductDirectory(const std::string& dirText);
std::string TemporaryArchivePath(const std::string& dirText);
std::string ProgramPath(const std::string& dirText);
std::string ShortcutPath(const std::string& desktopDir);  // without extension

// The directory text that installs into `installLocation` again: its parent when it is a product
// directory ("...\青岚笺语", any spelling NormalisePath accepts), a drive root as "D:\"; "" when
// the location is no product directory.
std::string ReinstallDirectory(const std::string& installLocation);

// The file a shell link is saved as: ".lnk" appended when the file name has no extension.
std::string LinkFileName(const std::string& linkPath);

// Fixtures shared by the tests: scratch directories, file helpers and ZIP archives built on the
// spot with minizip's writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under the Windows temporary directory, removed with its content at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

void RemoveTree(const std::string& path);
// Every file and directory below `dir`, relative to it and sorted; directories end in "\".
std::vector<std::string> ListTree(const std::string& dir);
bool WriteText(const std::string& path, const std::string& data);
std::string ReadText(const std::string& path);
int64_t FileSize(const std::string& path);  // -1 when missing
bool TruncateFile(const std::string& path, int64_t size);

// Texts between the installer's code page (GBK, what its windows report) and UTF-8 (what the
// tests write down and print).
std::string Utf8(const std::string& gbk);
std::string Gbk(const std::string& utf8);
// For failures over long texts (UTF-8): where `shown` first departs from `expected`, with a few
// characters around it and line breaks made visible; empty when they are equal.
std::string FirstDifference(const std::string& shown, const std::string& expected);

struct ZipEntrySpec {
    std::string name;  // GBK, stored as given
    std::string data;
    bool directory = false;  // a directory entry (attribute 0x10)
    bool wrongCrc = false;   // deflated correctly, but with a CRC that does not match
    bool utf8Name = false;   // the name is UTF-8 and the entry says so (flag bit 11)
};
bool WriteZip(const std::string& path, const std::vector<ZipEntrySpec>& entries);

// A small reader of the resources of a Windows program file (PE32 or PE32+), in plain C++: the
// tests read back what the build put into the programs, whatever their architecture.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using ByteVector = std::vector<unsigned char>;

struct PeResource {
    uint16_t language = 0;
    ByteVector data;
};

// The machine field of the file header (0x14c i386, 0x8664 x86-64); 0 when `image` is no PE file.
uint16_t PeMachine(const ByteVector& image);

// The resource of numeric `type` and `id` (its first language); false when there is none.
bool FindPeResource(const ByteVector& image, uint16_t type, uint16_t id, PeResource* out);

// Where the resource's bytes lie in the file; false when there is no such resource.
bool FindPeResourceOffset(const ByteVector& image, uint16_t type, uint16_t id, size_t* offset,
                          size_t* size);

struct VersionInfo {
    uint16_t fileVersion[4] = {};
    uint16_t productVersion[4] = {};
    std::u16string table;                              // the string table's key, e.g. u"080404B0"
    std::map<std::u16string, std::u16string> strings;  // its values
    uint32_t translation = 0;                          // VarFileInfo: language | code page << 16
};

// Parses a VS_VERSIONINFO resource; false when it is malformed.
bool ParseVersionInfo(const ByteVector& resource, VersionInfo* out);

// The manifest and the version information of the three programs, read back from the files the
// build made for both architectures.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include <zlib.h>

#include "pe_resources.h"
#include "resource_ids.h"

namespace {

struct Program {
    const char* file;
    std::u16string description, originalName;
};

const Program kPrograms[] = {
    {"qinglan-setup.exe", u"青岚笺语写作 安装程序", u"qinglan-setup.exe"},
    {"qinglan-uninstall.exe", u"青岚笺语写作 卸载程序", u"卸载程序.exe"},
    {"qinglan-writer.exe", u"青岚笺语写作", u"青岚笺语写作.exe"},
};

struct Build {
    const char* dir;
    uint16_t machine;
};

const Build kBuilds[] = {{"i686", 0x14C}, {"x86_64", 0x8664}};

ByteVector ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

template <typename Check>
void ForEveryProgram(Check check) {
    for (const Build& build : kBuilds) {
        for (const Program& program : kPrograms) {
            std::string path = std::string(QL_BUILD_ROOT) + "/" + build.dir + "/" + program.file;
            SCOPED_TRACE(path);
            ByteVector image = ReadAll(path);
            ASSERT_FALSE(image.empty()) << "not built";
            EXPECT_EQ(PeMachine(image), build.machine);
            check(program, image);
        }
    }
}

TEST(ProgramResources, ManifestAsksForNoElevationNamesTheSystemsAndNoScaling) {
    ForEveryProgram([](const Program&, const ByteVector& image) {
        PeResource manifest;
        ASSERT_TRUE(FindPeResource(image, 24, 1, &manifest)) << "no manifest";
        std::string xml(manifest.data.begin(), manifest.data.end());
        const char* const wanted[] = {
            R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
            R"(<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>)",  // Vista
            R"(<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>)",  // 7
            R"(<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>)",  // 8
            R"(<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>)",  // 8.1
            R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)",  // 10 and 11
            R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">false</dpiAware>)",
        };
        for (const char* w : wanted) EXPECT_NE(xml.find(w), std::string::npos) << w;
        EXPECT_EQ(xml.find("Common-Controls"), std::string::npos);
        EXPECT_EQ(xml.find("dpiAwareness"), std::string::npos);
    });
}

uint32_t LittleEndian32(const ByteVector& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

TEST(ProgramResources, PayloadBlockIsCountLengthArchiveWithItsCrcBeside) {
    for (const Build& build : kBuilds) {
        const std::string path = std::string(QL_BUILD_ROOT) + "/" + build.dir + "/qinglan-setup.exe";
        SCOPED_TRACE(path);
        const ByteVector image = ReadAll(path);
        PeResource block, crc;
        ASSERT_TRUE(FindPeResource(image, 10, IDR_PAYLOAD, &block)) << "no payload block";
        ASSERT_GE(block.data.size(), 12u);
        // Exactly a count of one, the archive's length, then the archive: nothing between.
        EXPECT_EQ(LittleEndian32(block.data, 0), 1u);
        EXPECT_EQ(LittleEndian32(block.data, 4), block.data.size() - 8);
        EXPECT_EQ(std::string(block.data.begin() + 8, block.data.begin() + 12),
                  std::string("PK\x03\x04", 4));
        // The CRC-32 the start check compares with, beside the block.
        ASSERT_TRUE(FindPeResource(image, 10, IDR_PAYLOAD_CRC, &crc)) << "no CRC-32 resource";
        ASSERT_EQ(crc.data.size(), 4u);
        const ByteVector archive(block.data.begin() + 8, block.data.end());
        EXPECT_EQ(LittleEndian32(crc.data, 0),
                  static_cast<uint32_t>(crc32(0L, archive.data(), static_cast<uInt>(archive.size()))));
    }
}

TEST(ProgramResources, VersionInformationInChinese) {
    ForEveryProgram([](const Program& program, const ByteVector& image) {
        PeResource resource;
        ASSERT_TRUE(FindPeResource(image, 16, 1, &resource)) << "no version information";
        EXPECT_EQ(resource.language, 0x0804);
        VersionInfo info;
        ASSERT_TRUE(ParseVersionInfo(resource.data, &info));
        EXPECT_EQ(std::vector<uint16_t>(info.fileVersion, info.fileVersion + 4),
                  std::vector<uint16_t>({1, 3, 0, 0}));
        EXPECT_EQ(std::vector<uint16_t>(info.productVersion, info.productVersion + 4),
                  std::vector<uint16_t>({1, 3, 0, 0}));
        EXPECT_EQ(Utf8(info.table), "080404B0");
        EXPECT_EQ(info.translation, 0x04B00804u);  // zh-CN, code page 1200 (UTF-16)
        std::map<std::string, std::string> got;
        for (const auto& s : info.strings) got[Utf8(s.first)] = Utf8(s.second);
        std::map<std::string, std::string> want = {
            {"CompanyName", u8"青岚笺语工作室"},
            {"FileDescription", Utf8(program.description)},
            {"FileVersion", "1.3.0.0"},
            {"InternalName", Utf8(program.originalName)},
            {"LegalCopyright", u8"版权所有 (C) 2026 青岚笺语工作室"},
            {"OriginalFilename", Utf8(program.originalName)},
            {"ProductName", u8"青岚笺语写作"},
            {"ProductVersion", "1.3.0.0"},
        };
        EXPECT_EQ(got, want);
    });
}

}  // namespace

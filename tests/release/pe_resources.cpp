#include "pe_resources.h"

namespace {

uint16_t U16(const ByteVector& b, size_t at) {
    return at + 2 <= b.size() ? static_cast<uint16_t>(b[at] | b[at + 1] << 8) : 0;
}

uint32_t U32(const ByteVector& b, size_t at) {
    return at + 4 <= b.size() ? uint32_t(U16(b, at)) | uint32_t(U16(b, at + 2)) << 16 : 0;
}

struct Section {
    uint32_t address, virtualSize, fileOffset, fileSize;
};

struct PeLayout {
    std::vector<Section> sections;
    uint32_t resourceRva = 0;
};

bool ReadLayout(const ByteVector& image, PeLayout* layout) {
    if (U16(image, 0) != 0x5A4D) return false;  // "MZ"
    size_t pe = U32(image, 0x3C);
    if (U32(image, pe) != 0x00004550) return false;  // "PE\0\0"
    size_t fileHeader = pe + 4;
    uint16_t sectionCount = U16(image, fileHeader + 2);
    uint16_t optionalSize = U16(image, fileHeader + 16);
    size_t optional = fileHeader + 20;
    uint16_t magic = U16(image, optional);
    size_t directories = magic == 0x20B ? optional + 112 : magic == 0x10B ? optional + 96 : 0;
    if (!directories) return false;
    layout->resourceRva = U32(image, directories + 2 * 8);  // entry 2: resources
    size_t table = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; i++) {
        size_t s = table + i * 40u;
        if (s + 40 > image.size()) return false;
        layout->sections.push_back(
            {U32(image, s + 12), U32(image, s + 8), U32(image, s + 20), U32(image, s + 16)});
    }
    return true;
}

// The file offset of a relative virtual address; false outside every section's file data.
bool RvaToOffset(const PeLayout& layout, uint32_t rva, size_t* offset) {
    for (const Section& s : layout.sections) {
        if (rva >= s.address && rva - s.address < s.fileSize) {
            *offset = s.fileOffset + (rva - s.address);
            return true;
        }
    }
    return false;
}

// The entry for `id` in the resource directory at `dir`, or the first entry when `id` is 0. Its
// OffsetToData word, or 0 when absent.
uint32_t DirectoryEntry(const ByteVector& image, size_t dir, uint16_t id) {
    uint16_t named = U16(image, dir + 12), ids = U16(image, dir + 14);
    for (uint32_t i = 0; i < uint32_t(named) + ids; i++) {
        size_t e = dir + 16 + i * 8u;
        uint32_t name = U32(image, e);
        if (id == 0 || (!(name & 0x80000000u) && name == id)) return U32(image, e + 4);
    }
    return 0;
}

}  // namespace

uint16_t PeMachine(const ByteVector& image) {
    PeLayout layout;
    return ReadLayout(image, &layout) ? U16(image, U32(image, 0x3C) + 4) : 0;
}

namespace {

// The file range and language of a resource: three directory levels (type, name, language), the
// first two pointing at subdirectories, the last at the data entry.
bool LocateResource(const ByteVector& image, uint16_t type, uint16_t id, size_t* offset,
                    size_t* size, uint16_t* language) {
    PeLayout layout;
    size_t root = 0;
    if (!ReadLayout(image, &layout) || !layout.resourceRva ||
        !RvaToOffset(layout, layout.resourceRva, &root))
        return false;
    uint32_t byType = DirectoryEntry(image, root, type);
    if (!(byType & 0x80000000u)) return false;
    uint32_t byName = DirectoryEntry(image, root + (byType & 0x7FFFFFFFu), id);
    if (!(byName & 0x80000000u)) return false;
    size_t languages = root + (byName & 0x7FFFFFFFu);
    uint32_t data = DirectoryEntry(image, languages, 0);
    if (!data || (data & 0x80000000u)) return false;
    *language = static_cast<uint16_t>(U32(image, languages + 16));
    size_t entry = root + data;
    if (!RvaToOffset(layout, U32(image, entry), offset)) return false;
    *size = U32(image, entry + 4);
    return *offset + *size <= image.size();
}

}  // namespace

bool FindPeResourceOffset(const ByteVector& image, uint16_t type, uint16_t id, size_t* offset,
                          size_t* size) {
    uint16_t language;
    return LocateResource(image, type, id, offset, size, &language);
}

bool FindPeResource(const ByteVector& image, uint16_t type, uint16_t id, PeResource* out) {
    size_t offset, size;
    if (!LocateResource(image, type, id, &offset, &size, &out->language)) return false;
    out->data.assign(image.begin() + static_cast<std::ptrdiff_t>(offset),
                     image.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return true;
}

namespace {

// One node of a version resource: length, value length, type, key, value, children, each start
// aligned to four bytes.
struct VersionNode {
    size_t start = 0, end = 0;
    uint16_t valueLength = 0, type = 0;
    std::u16string key;
    size_t value = 0, children = 0;
};

size_t Align4(size_t at) {
    return (at + 3) & ~size_t(3);
}

bool ReadNode(const ByteVector& b, size_t at, size_t limit, VersionNode* node) {
    uint16_t length = U16(b, at);
    if (length < 6 || at + length > limit) return false;
    node->start = at;
    node->end = at + length;
    node->valueLength = U16(b, at + 2);
    node->type = U16(b, at + 4);
    node->key.clear();
    size_t p = at + 6;
    for (; p + 2 <= node->end && U16(b, p) != 0; p += 2) node->key += char16_t(U16(b, p));
    node->value = Align4(p + 2);
    size_t valueBytes = node->type == 1 ? node->valueLength * 2u : node->valueLength;
    node->children = Align4(node->value + valueBytes);
    return node->value <= node->end;
}

template <typename Visit>
bool EachChild(const ByteVector& b, const VersionNode& parent, Visit visit) {
    for (size_t at = parent.children; at + 6 <= parent.end;) {
        VersionNode child;
        if (!ReadNode(b, at, parent.end, &child)) return false;
        if (!visit(child)) return false;
        at = Align4(child.end);
    }
    return true;
}

std::u16string StringValue(const ByteVector& b, const VersionNode& node) {
    std::u16string text;
    for (size_t p = node.value; p + 2 <= node.end && U16(b, p) != 0; p += 2)
        text += char16_t(U16(b, p));
    return text;
}

}  // namespace

bool ParseVersionInfo(const ByteVector& b, VersionInfo* out) {
    VersionNode root;
    if (!ReadNode(b, 0, b.size(), &root) || root.key != u"VS_VERSION_INFO" ||
        root.valueLength < 52 || U32(b, root.value) != 0xFEEF04BDu)
        return false;
    for (int i = 0; i < 2; i++) {
        uint32_t fileWord = U32(b, root.value + 8 + 4 * i);
        uint32_t productWord = U32(b, root.value + 16 + 4 * i);
        out->fileVersion[2 * i] = static_cast<uint16_t>(fileWord >> 16);
        out->fileVersion[2 * i + 1] = static_cast<uint16_t>(fileWord);
        out->productVersion[2 * i] = static_cast<uint16_t>(productWord >> 16);
        out->productVersion[2 * i + 1] = static_cast<uint16_t>(productWord);
    }
    return EachChild(b, root, [&](const VersionNode& block) {
        if (block.key == u"StringFileInfo") {
            return EachChild(b, block, [&](const VersionNode& table) {
                out->table = table.key;
                return EachChild(b, table, [&](const VersionNode& value) {
                    out->strings[value.key] = StringValue(b, value);
                    return true;
                });
            });
        }
        if (block.key == u"VarFileInfo") {
            return EachChild(b, block, [&](const VersionNode& var) {
                if (var.key == u"Translation") out->translation = U32(b, var.value);
                return true;
            });
        }
        return true;
    });
}

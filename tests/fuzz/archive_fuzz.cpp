// libFuzzer harness over the installer's archive reading and entry-name checks, built for the host
// by scripts/fuzz against the same minizip sources as the installer. Each input is used twice:
// as an entry name for the name checks, and as a ZIP archive read from memory, whose entries are
// checked and inflated into a counting sink. Any crash, sanitizer report or broken invariant
// (a name passed as safe that could leave the target) is a finding.
#include <unzip.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "paths.h"

namespace {

const char kTarget[] = "C:\\Program Files\\Target";

// ---- a read-only minizip stream over the fuzzer's bytes -------------------------------------

struct MemoryStream {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

voidpf ZCALLBACK MemoryOpen(voidpf opaque, const void*, int) {
    auto* source = static_cast<MemoryStream*>(opaque);
    return new MemoryStream{source->data, source->size, 0};
}

uLong ZCALLBACK MemoryRead(voidpf, voidpf stream, void* buf, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    size_t n = s->pos < s->size ? s->size - s->pos : 0;
    if (n > size) n = size;
    memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    return static_cast<uLong>(n);
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK MemoryTell(voidpf, voidpf stream) {
    return static_cast<MemoryStream*>(stream)->pos;
}

long ZCALLBACK MemorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<MemoryStream*>(stream);
    ZPOS64_T base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                    : origin == ZLIB_FILEFUNC_SEEK_CUR ? s->pos
                                                       : s->size;
    if (offset > s->size || base + offset > s->size) return -1;
    s->pos = static_cast<size_t>(base + offset);
    return 0;
}

int ZCALLBACK MemoryClose(voidpf, voidpf stream) {
    delete static_cast<MemoryStream*>(stream);
    return 0;
}

int ZCALLBACK MemoryError(voidpf, voidpf) {
    return 0;
}

// ---- invariants ---------------------------------------------------------------------------------

[[noreturn]] void Broken(const char* what, const std::string& name) {
    fprintf(stderr, "invariant broken: %s; name (%zu bytes):", what, name.size());
    for (unsigned char c : name) fprintf(stderr, " %02X", c);
    fprintf(stderr, "\n");
    abort();
}

// Splits a path at separators. With `strictTrail`, a GBK lead byte pairs only with a valid trail
// byte (0x40-0x7E, 0x80-0xFE) and stands alone otherwise, as a decoder that refuses invalid pairs
// does; without it, a lead byte swallows whatever follows, as the installer's own walk does.
std::vector<std::string> Split(const std::string& path, bool strictTrail) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size();) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        size_t n = 1;
        if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
            unsigned char t = static_cast<unsigned char>(path[i + 1]);
            bool validTrail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFE);
            if (!strictTrail || validTrail) n = 2;
        }
        if (n == 1 && (c == '\\' || c == '/'))
            parts.emplace_back();
        else
            parts.back().append(path, i, n);
        i += n;
    }
    return parts;
}

// A name the checks call safe must give a path strictly below the target whose every component,
// however a GBK decoder pairs its bytes, is an ordinary name.
void CheckSafeName(const std::string& name) {
    if (!IsSafeEntryName(name)) return;
    std::string path = JoinPath(kTarget, ToBackslashes(name));
    std::string prefix = std::string(kTarget) + "\\";
    if (path.compare(0, prefix.size(), prefix) != 0) Broken("path not below the target", name);
    std::string rest = path.substr(prefix.size());
    if (rest.size() != strlen(rest.c_str())) Broken("NUL inside a safe name", name);
    for (bool strict : {false, true}) {
        std::vector<std::string> parts = Split(rest, strict);
        for (size_t i = 0; i < parts.size(); ++i) {
            const std::string& c = parts[i];
            if (c.empty() && i + 1 != parts.size()) Broken("empty component", name);
            if (c == "." || c == "..") Broken("dot component", name);
            if (c.find(':') != std::string::npos) Broken("':' in a component", name);
            if (!c.empty() && (c.back() == '.' || c.back() == ' '))
                Broken("dot or space at a component's end", name);
        }
    }
    // Walking up from the entry's directory must reach the target, never pass it.
    std::string dir = ParentPath(path);
    for (int guard = 0; dir.size() > strlen(kTarget); ++guard) {
        if (guard > 4096) Broken("ParentPath does not shorten", name);
        std::string up = ParentPath(dir);
        if (up.size() >= dir.size()) Broken("ParentPath does not shorten", name);
        dir = up;
    }
    if (dir != kTarget) Broken("parent chain misses the target", name);
}

void ReadArchive(const uint8_t* data, size_t size) {
    MemoryStream source{data, size, 0};
    zlib_filefunc64_def io = {MemoryOpen, MemoryRead,  MemoryWrite, MemoryTell,
                              MemorySeek, MemoryClose, MemoryError, &source};
    unzFile zip = unzOpen2_64("memory.zip", &io);
    if (!zip) return;
    std::vector<ArchiveEntry> entries;
    ExtractResult result;
    if (ReadArchiveEntries(zip, kTarget, &entries, &result) == ExtractError::None) {
        for (const ArchiveEntry& e : entries)
            if (!IsSafeEntryName(e.name)) Broken("unsafe name accepted", e.name);
        // Inflate as the installer does, bounded so that a deflate bomb costs no more than 8 MiB.
        std::vector<char> buffer(16 * 1024);
        uint64_t done = 0;
        const uint64_t kLimit = 8u << 20;
        auto sink = [&](const char*, size_t) { return done < kLimit; };
        int rc = unzGoToFirstFile(zip);
        for (const ArchiveEntry& e : entries) {
            if (rc != UNZ_OK) break;
            if (!e.IsDirectory() &&
                InflateCurrentEntry(zip, e, &buffer, &done, sink, {}) != ExtractError::None)
                break;
            rc = unzGoToNextFile(zip);
        }
    }
    unzClose(zip);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckSafeName(std::string(reinterpret_cast<const char*>(data), size < 512 ? size : 512));
    ReadArchive(data, size);
    return 0;
}

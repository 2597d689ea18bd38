#include "archive_reader.h"

#include "paths.h"

namespace {

constexpr uLong kAttributeDirectory = 0x10;
constexpr uLong kFlagUtf8Name = 0x800;

ExtractError Refuse(ExtractResult* result, ExtractError error, const std::string& entry = "",
                    const std::string& path = "") {
    if (result) *result = ExtractResult{error, entry, path};
    return error;
}

bool ReadCurrentEntry(unzFile zip, ArchiveEntry* entry) {
    if (unzGetCurrentFileInfo64(zip, &entry->info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    std::vector<char> name(entry->info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &entry->info, name.data(), static_cast<uLong>(name.size()),
                                nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    entry->name.assign(name.data(), entry->info.size_filename);
    return true;
}

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The entry's name in GBK: as stored, or decoded when the entry says it is UTF-8.
bool DecodeName(ArchiveEntry* entry, Utf8NameDecoder decodeUtf8) {
    if (!(entry->info.flag & kFlagUtf8Name) || IsAscii(entry->name)) return true;
    std::string gbk;
    if (!decodeUtf8 || !decodeUtf8(entry->name, &gbk)) return false;
    entry->name = gbk;
    return true;
}

}  // namespace

bool ArchiveEntry::IsDirectory() const {
    return (info.external_fa & kAttributeDirectory) || EndsWithSeparator(name);
}

ExtractError ReadArchiveEntries(unzFile zip, const std::string& targetDir,
                                std::vector<ArchiveEntry>* entries, ExtractResult* result,
                                Utf8NameDecoder decodeUtf8) {
    entries->clear();
    int rc = unzGoToFirstFile(zip);
    while (rc == UNZ_OK) {
        ArchiveEntry entry;
        if (!ReadCurrentEntry(zip, &entry)) return Refuse(result, ExtractError::Damaged);
        if (!DecodeName(&entry, decodeUtf8))
            return Refuse(result, ExtractError::Damaged, entry.name);
        if (!IsSafeEntryName(entry.name)) return Refuse(result, ExtractError::Damaged, entry.name);
        bool encrypted = entry.info.flag & 1;
        bool supported =
            entry.info.compression_method == 0 || entry.info.compression_method == Z_DEFLATED;
        if (!entry.IsDirectory() && (encrypted || !supported))
            return Refuse(result, ExtractError::Damaged, entry.name);
        std::string out = JoinPath(targetDir, ToBackslashes(entry.name));
        if (out.size() > kMaxAnsiPath)
            return Refuse(result, ExtractError::PathTooLong, entry.name, out);
        entries->push_back(std::move(entry));
        rc = unzGoToNextFile(zip);
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) return Refuse(result, ExtractError::Damaged);
    return ExtractError::None;
}

ExtractError InflateCurrentEntry(unzFile zip, const ArchiveEntry& entry, std::vector<char>* buffer,
                                 uint64_t* done, const ChunkSink& sink,
                                 const ExtractProgress& progress) {
    if (unzOpenCurrentFile(zip) != UNZ_OK) return ExtractError::CorruptData;
    uint64_t total = 0;
    ExtractError error = ExtractError::None;
    for (;;) {
        int n = unzReadCurrentFile(zip, buffer->data(), static_cast<unsigned>(buffer->size()));
        if (n < 0) {
            error = ExtractError::CorruptData;
            break;
        }
        if (n == 0) break;
        if (!sink(buffer->data(), static_cast<size_t>(n))) {
            error = ExtractError::WriteFailed;
            break;
        }
        total += static_cast<uint64_t>(n);
        *done += static_cast<uint64_t>(n);
        if (progress && !progress(*done)) {
            error = ExtractError::Cancelled;
            break;
        }
    }
    // Closing checks the CRC once the whole entry has been read.
    int closed = unzCloseCurrentFile(zip);
    if (error == ExtractError::None && (closed != UNZ_OK || total != entry.info.uncompressed_size))
        error = ExtractError::CorruptData;
    return error;
}

// Reading a ZIP archive through minizip without any Win32 call: the directory pass that checks
// every entry before anything is written, and the inflation of one entry into a sink. The
// installer opens the archive on disk; the fuzzing harness opens it from memory on the host.
#pragma once

#include <unzip.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "extract_result.h"

struct ArchiveEntry {
    std::string name;  // GBK, '/' separators (see ReadArchiveEntries)
    unz_file_info64 info = {};

    // A directory by its attribute or by a name ending in a separator.
    bool IsDirectory() const;
};

// Turns an entry name stored as UTF-8 into GBK; false when it has no GBK form.
using Utf8NameDecoder = bool (*)(const std::string& utf8, std::string* gbk);

// Reads the whole central directory of `zip` into `entries`. Names are GBK as stored, except those
// of entries whose UTF-8 flag (general-purpose bit 11) is set: `decodeUtf8` turns these into GBK
// (without one, only an ASCII name passes, the same bytes in both). Refuses the archive (Damaged,
// with the entry concerned in `result`) at an unreadable record, a name without a GBK form, an
// unsafe name, an encrypted entry or a compression method other than stored or deflate; refuses
// it with PathTooLong when an entry's path below `targetDir` would pass the ANSI limit. Returns
// ExtractError::None when all is well.
ExtractError ReadArchiveEntries(unzFile zip, const std::string& targetDir,
                                std::vector<ArchiveEntry>* entries, ExtractResult* result,
                                Utf8NameDecoder decodeUtf8 = nullptr);

// Where inflated bytes go; returns false when they could not be written.
using ChunkSink = std::function<bool(const char* data, size_t size)>;

// Inflates the current entry of `zip` into `sink` in chunks of `buffer`'s size, adding the bytes
// to `*done` and telling `progress` (optional) after every chunk. CorruptData on an inflate error,
// a length other than the recorded one or a CRC mismatch; WriteFailed when the sink refuses;
// Cancelled when `progress` returns false.
ExtractError InflateCurrentEntry(unzFile zip, const ArchiveEntry& entry, std::vector<char>* buffer,
                                 uint64_t* done, const ChunkSink& sink,
                                 const ExtractProgress& progress);

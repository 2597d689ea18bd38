// Reading a ZIP archive through minizip without any Win32 call: the directory pass that checks
// every entry before anything is written, and the inflation of one entry into a sink. The
// installer opens the archive on disk; the fuzzing harness opens it from memory on the host.
#pragma once

#include <unzip.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "archive.h"

struct ArchiveEntry {
    std::string name;  // as stored, '/' separators
    unz_file_info64 info = {};

    // A directory by its attribute or by a name ending in a separator.
    bool IsDirectory() const;
};

// Reads the whole central directory of `zip` into `entries`. Refuses the archive (Damaged, with
// the entry concerned in `result`) at an unreadable record, an unsafe name, an encrypted entry or
// a compression method other than stored or deflate; refuses it with PathTooLong when an entry's
// path below `targetDir` would pass the ANSI limit. Returns ExtractError::None when all is well.
ExtractError ReadArchiveEntries(unzFile zip, const std::string& targetDir,
                                std::vector<ArchiveEntry>* entries, ExtractResult* result);

// Where inflated bytes go; returns false when they could not be written.
using ChunkSink = std::function<bool(const char* data, size_t size)>;

// Inflates the current entry of `zip` into `sink` in chunks of `buffer`'s size, adding the bytes
// to `*done` and telling `progress` (optional) after every chunk. CorruptData on an inflate error,
// a length other than the recorded one or a CRC mismatch; WriteFailed when the sink refuses;
// Cancelled when `progress` returns false.
ExtractError InflateCurrentEntry(unzFile zip, const ArchiveEntry& entry, std::vector<char>* buffer,
                                 uint64_t* done, const ChunkSink& sink,
                                 const ExtractProgress& progress);

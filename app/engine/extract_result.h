// What an extraction reports: shared by the extraction and the archive reading beneath it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class ExtractError {
    None,
    BadArguments,   // empty path, or no archive file
    OpenFailed,     // not a readable ZIP
    Damaged,        // unreadable directory, unsafe entry name, unsupported entry
    CorruptData,    // inflate error, wrong length or CRC mismatch
    PathTooLong,    // an output path beyond the ANSI limit
    MakeDirectory,  // the target or an entry's directory could not be made
    WriteFailed,    // an output file could not be written
    Cancelled,      // the progress callback asked to stop
};

using ExtractProgress = std::function<bool(uint64_t bytesWritten)>;

struct ExtractResult {
    ExtractError error = ExtractError::None;
    std::string entry;  // the entry concerned, when there is one
    std::string path;   // the output path concerned, when there is one
};

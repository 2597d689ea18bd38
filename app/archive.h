// Extraction of a ZIP archive into a directory through minizip's unzip interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class InstallJournal;

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

// Extracts every entry of `archivePath` below `targetDir`, replacing existing files (read-only
// ones included). Every entry name is checked before anything is written; an archive with a name
// that would leave the target is refused whole. Returns 1 on success, 0 on failure, -1 for empty
// arguments or a missing archive. Files and directories this call creates are recorded in
// `journal`; the file of a failing entry is removed again when this call created it.
// `progress` (optional) hears the bytes written so far after every chunk; when it returns false
// the extraction stops with ExtractError::Cancelled.
int ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                   ExtractResult* result = nullptr, InstallJournal* journal = nullptr,
                   const ExtractProgress& progress = {});

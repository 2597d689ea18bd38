// Extraction of a ZIP archive into a directory through minizip's unzip interface.
#pragma once

#include <string>

#include "extract_result.h"

class InstallJournal;

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

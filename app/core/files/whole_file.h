// Whole-file reads and writes for the program's small data files.
//
// A write never leaves a half-written file: the bytes go to a temporary file
// in the same folder, are flushed to disk, and the temporary file is renamed
// over the target, so a reader sees either the old or the new file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace files {

enum : int {
    kFileOk = 0,
    kFileMissing = 1,    // the file does not exist
    kFileTooLarge = -3,  // larger than the caller's limit; nothing read
    kFileIoError = -4,   // open, read, write, flush or rename failed
};

// Reads the whole file into *bytes (cleared first).
int Read(const std::string& path, size_t maxBytes, std::string* bytes);

// Replaces the file's contents. A read-only existing file is refused, as the
// rename would otherwise replace it behind the user's back. A symbolic link
// is followed, so the link stays and its target changes. The folder must exist.
int WriteAtomically(const std::string& path, std::string_view bytes);

bool Exists(const std::string& path);

}  // namespace files

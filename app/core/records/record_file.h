// The record file: one line per chip, appended by several programming
// stations (processes) at once. Each append holds an exclusive flock on the
// file, so lines never interleave, and a failed write is cut back off, so no
// half line stays. Only writers going through AppendRecordLine are ordered
// by the lock.
#pragma once

#include <string>

namespace records {

// Whether the file can be opened for appending, before anything is sent to a
// chip. A missing file is created (empty), as the first append would create
// it anyway. Only a regular file is accepted. Returns a RecordResult; on
// failure *error is the reason without the path, e.g.
// "cannot be written: Permission denied".
int CheckRecordFile(const std::string& path, std::string* error);

// Appends one line (it must end in "\n", with no other "\n" before) and
// flushes it to the disk before returning. When the write or the flush fails
// (disk full, I/O error, file size limit) the file is cut back to its size
// before the append and kRecordCannotWrite is returned, with *error e.g.
// "cannot be written: No space left on device".
int AppendRecordLine(const std::string& path, const std::string& line, std::string* error);

}  // namespace records

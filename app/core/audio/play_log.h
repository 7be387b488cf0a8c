// SONMIRA_PLAY_LOG: when it names a file, one JSON line is appended per played
// file as its first buffer reaches the sink:
//   {"event":"first_buffer","t_ns":<CLOCK_MONOTONIC ns>,"file":"<path>","pid":<process>}
// and, by the programming run, one per segment whose record command the
// module took, stamped when the driver call that wrote it returned (so after
// the frame was written, before the segment's sound was started):
//   {"event":"record_sent","t_ns":<CLOCK_MONOTONIC ns>,"row":<row>,"pid":<process>}
// Lines are appended as they are written, not always in t_ns order; the pid
// tells apart the runs of several stations logging to one file.
#pragma once

#include <cstdint>
#include <string>

namespace audio {

// The line as written (with its newline); the path JSON-escaped.
std::string FirstBufferLine(int64_t monotonicNs, const std::string& file, int pid);

std::string RecordSentLine(int64_t monotonicNs, int row, int pid);

// Appends a record_sent line when SONMIRA_PLAY_LOG is set; else nothing.
void LogRecordSent(int64_t monotonicNs, int row);

// Appends one line to the log file in a single write, so that the lines of
// several writers stay whole.
void AppendPlayLogLine(const std::string& path, const std::string& line);

}  // namespace audio

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

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "mono_clock.h"

namespace audio {

// The line as written (with its newline); the path JSON-escaped.
std::string FirstBufferLine(int64_t monotonicNs, const std::string& file, int pid);

std::string RecordSentLine(int64_t monotonicNs, int row, int pid);

// Appends a record_sent line when SONMIRA_PLAY_LOG is set; else nothing.
void LogRecordSent(int64_t monotonicNs, int row);

// A pad probe that stamps the first buffer. A buffer that arrives while the
// pipeline is pre-rolling is held by the sink until PLAYING, so its stamp is
// taken when Play has switched the pipeline to PLAYING instead.
struct FirstBufferStamp {
    std::string logPath;  // empty: logging off, no probe is installed
    std::string file;
    std::atomic<int> state{0};  // 0 nothing yet, 1 pre-rolled and waiting, 2 logged
    std::atomic<bool> playing{false};

    void Attach(GstPad* sinkPad);
    // Called by Play right after the pipeline went to PLAYING.
    void OnPlaying();
    void Write();
};

}  // namespace audio

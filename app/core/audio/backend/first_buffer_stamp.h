// The first_buffer line of the play log (play_log.h), stamped when a played
// file's first buffer reaches the sink.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <string>

namespace audio {

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

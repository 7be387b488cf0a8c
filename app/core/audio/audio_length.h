// Length of an audio file as the player will render it, in whole
// milliseconds. Safe to call from any thread; needs no GLib main loop. The
// first call loads the sound back end (sound_backend.h); without it every
// file is kAudioFailed.
#pragma once

#include <cstdint>
#include <string>

namespace audio {

// *lengthMs is 0 whenever the result is not kAudioOk.
//  - MIDI (recognised by content): the time of the last event from the tempo map.
//  - Uncompressed WAV: from its header, the data chunk's whole frames that lie
//    in the file; a WAV header that gives no length refuses the file.
//  - Raw PCM straight from another container (AIFF): the container's exact duration.
//  - Everything else: decoded through the same GStreamer decoder chain that
//    plays it and the samples counted, so encoder delay and padding (LAME
//    header) and VBR without a header come out as actually rendered.
int MeasureAudioLength(const std::string& path, int* lengthMs);

// Nanoseconds, rounded to the nearest millisecond; saturates at INT32_MAX.
inline int NsToMs(int64_t ns) {
    if (ns <= 0) return 0;
    const int64_t ms = (ns + 500000) / 1000000;
    return ms > INT32_MAX ? INT32_MAX : int(ms);
}

}  // namespace audio

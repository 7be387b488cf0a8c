// Length of an audio file as the player will render it, in whole
// milliseconds. Safe to call from any thread; needs no GLib main loop.
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
int NsToMs(int64_t ns);

}  // namespace audio

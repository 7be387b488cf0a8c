// What the back end sets up once per process before its first use.
#pragma once

namespace audio {

// GStreamer, and quiet alsa-lib and FluidSynth (they print to stderr by
// default, which a command-line tool must not do).
void EnsureAudioRuntime();

}  // namespace audio

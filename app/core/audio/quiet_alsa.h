// alsa-lib prints its errors to stderr by default, which a command-line tool
// must not do; the mixer and the sound back end both silence it through this.
#pragma once

namespace audio {

// Installs a silent error handler in alsa-lib, once per process (per copy of
// this library: the back end has its own).
void QuietAlsaErrors();

}  // namespace audio

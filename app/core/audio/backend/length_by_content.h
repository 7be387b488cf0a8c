// What MeasureAudioLength (audio_length.h) does, here in the back end.
#pragma once

#include <string>

namespace audio {

int MeasureLengthNow(const std::string& path, int* lengthMs);

}  // namespace audio

// A file decoded to the samples it plays, here in the back end (sound_capture.h).
#pragma once

#include <string>
#include <vector>

namespace audio {

int DecodeSamplesNow(const std::string& path, int rate, std::vector<float>* samples, std::string* error);

}  // namespace audio

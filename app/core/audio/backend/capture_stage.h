// A capture from a named sound input, here in the back end (sound_capture.h).
#pragma once

#include <memory>
#include <string>

#include "audio/sound_capture.h"

namespace audio {

std::unique_ptr<ISoundCapture> OpenCaptureNow(const std::string& input, int rate, std::string* error);

}  // namespace audio

// The machine's sound outputs, as sound_outputs.h gives them, here in the back end.
#pragma once

#include <string>
#include <vector>

#include "audio/sound_capture.h"
#include "audio/sound_outputs.h"

namespace audio {

std::vector<SoundOutputInfo> ListOutputsNow();

std::vector<SoundInputInfo> ListInputsNow();

// Whether the PulseAudio or PipeWire server lists a sink of this name.
bool PulseSinkListed(const std::string& name);
bool PulseSourceListed(const std::string& name);

}  // namespace audio

// The machine's sound outputs, as sound_outputs.h gives them, here in the back end.
#pragma once

#include <string>
#include <vector>

#include "audio/sound_outputs.h"

namespace audio {

std::vector<SoundOutputInfo> ListOutputsNow();

// Whether the PulseAudio or PipeWire server lists a sink of this name.
bool PulseSinkListed(const std::string& name);

}  // namespace audio

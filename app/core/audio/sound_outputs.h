// The sound outputs an operator can give each station: ALSA devices and the
// sinks of a PulseAudio or PipeWire server, each with the name that selects it.
#pragma once

#include <string>
#include <vector>

namespace audio {

enum class SoundOutputKind { kAlsa, kSoundServer };

struct SoundOutputInfo {
    SoundOutputKind kind = SoundOutputKind::kAlsa;
    std::string name;         // hw:CARD=Device,DEV=0, or the server's sink name
    std::string description;  // one line, for a person
};

// ALSA playback devices first (in ALSA's order), then the sound server's sinks.
// No server, or one that does not answer within a second and a half, simply
// gives no sinks.
std::vector<SoundOutputInfo> ListSoundOutputs();

}  // namespace audio

// What a sound output named by the user is: a GStreamer sink description, an
// ALSA device, or a PulseAudio/PipeWire sink (sonmira-cli --audio OUTPUT).
#pragma once

#include <string>

namespace audio {

struct OutputName {
    enum class Kind { Gst, Alsa, Pulse };
    Kind kind = Kind::Pulse;
    std::string name;  // the description, device or sink name, without its prefix
};

// "gst:", "alsa:" and "pulse:" say the kind outright. Otherwise a name with a
// colon ("hw:1", "plughw:CARD=Device,DEV=0") or one of ALSA's plain PCM names
// ("default", "sysdefault", "pulse", "pipewire", "dmix", "dsnoop", "jack") is
// an ALSA device: sink names of the sound servers never hold a colon. Any
// other name is a sink of the sound server.
OutputName ParseOutputName(const std::string& text);

}  // namespace audio

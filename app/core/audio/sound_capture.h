// Listening: the machine's sound inputs, a capture from one of them, and a
// file decoded to the samples it plays. Verification compares the two.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_outputs.h"

namespace audio {

// An input is named as an output is (output_name.h): "gst:" a GStreamer source
// description, an ALSA capture device ("hw:1", "alsa:NAME"), or a source of
// the sound server ("pulse:NAME", or a plain name such as "SINK.monitor").
using SoundInputInfo = SoundOutputInfo;

// ALSA capture devices first, then the sound server's sources (monitors of
// its sinks included). No server: no sources.
std::vector<SoundInputInfo> ListSoundInputs();

// A running capture: the input is open and delivering from the moment it is
// made; Start and Stop choose what is kept.
class ISoundCapture {
public:
    virtual ~ISoundCapture() = default;
    // Keeps what arrives from now on (what was kept before is dropped).
    virtual void Start() = 0;
    // Stops keeping and hands over what was kept: mono, -1..1, at the rate
    // asked for. AudioResult: kAudioFailed when the input failed meanwhile.
    virtual int Stop(std::vector<float>* samples, std::string* error) = 0;
};

// Opens the input and waits for its first samples, resampled to `rate` Hz.
// nullptr with *error saying why when it does not open or stays mute at the
// device level (no data at all within five seconds).
std::unique_ptr<ISoundCapture> OpenSoundCapture(const std::string& input, int rate, std::string* error);

// The file's sound as the player plays it (MIDI rendered by the same
// synthesizer), mono at `rate` Hz. AudioResult; *error says why when not ok.
int DecodeFileSamples(const std::string& path, int rate, std::vector<float>* samples, std::string* error);

}  // namespace audio

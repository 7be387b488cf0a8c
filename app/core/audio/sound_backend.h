// The sound back end: everything that decodes or plays (GStreamer, and
// FluidSynth for MIDI) lives in libsonmira_sound.so beside the program and is
// loaded the first time a file is measured or played or an output is asked
// for, so that a program that plays nothing never maps those libraries.
// The functions of audio_length.h, audio_output.h, sound_outputs.h,
// sound_capture.h and CMyMediaPlayer reach it through this interface; nothing
// else should.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/sound_capture.h"
#include "audio/sound_outputs.h"

namespace audio {

// Raised whenever the interface below changes; a back end built for another
// version is not used.
constexpr int kSoundBackendVersion = 2;

inline constexpr const char* kSoundBackendFile = "libsonmira_sound.so";
inline constexpr const char* kSoundBackendEntry = "SonmiraSoundBackend";

// One file at a time, with the contract of CMyMediaPlayer (media_player.h).
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    virtual int Open(const std::string& path) = 0;
    virtual int GetLength() = 0;
    virtual int GetMode() = 0;
    virtual int Play() = 0;
    virtual int Close() = 0;
};

// Each call has the contract of the function of the same name in the front
// headers (sound_capture.h for the last three). Results are AudioResult codes.
class ISoundBackend {
public:
    virtual int MeasureAudioLength(const std::string& path, int* lengthMs) = 0;
    virtual OutputStatus AudioOutputStatus() = 0;
    virtual int ChooseAudioOutput(const std::string& output, std::string* error) = 0;
    virtual std::vector<SoundOutputInfo> ListSoundOutputs() = 0;
    virtual std::unique_ptr<ISoundPlayer> NewPlayer() = 0;
    virtual std::vector<SoundInputInfo> ListSoundInputs() = 0;
    virtual std::unique_ptr<ISoundCapture> OpenCapture(const std::string& input, int rate, std::string* error) = 0;
    virtual int DecodeFileSamples(const std::string& path, int rate, std::vector<float>* samples,
                                  std::string* error) = 0;

protected:
    ~ISoundBackend() = default;  // the back end's own, for the life of the process
};

// The back end, loaded on the first call (from the running program's folder)
// and kept for the life of the process; nullptr when it cannot be loaded, with
// *error (when given) saying why. Safe from any thread.
ISoundBackend* SoundBackend(std::string* error = nullptr);

// Whether SoundBackend has loaded it: a start-up that plays nothing must not.
bool SoundBackendLoaded();

}  // namespace audio

// The back end's one exported function: its interface when `version` is the
// one it was built for, else nullptr.
extern "C" audio::ISoundBackend* SonmiraSoundBackend(int version);

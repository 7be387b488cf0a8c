#include "audio/sound_capture.h"

#include "audio/audio_result.h"
#include "audio/sound_backend.h"

namespace audio {

std::vector<SoundInputInfo> ListSoundInputs() {
    ISoundBackend* backend = SoundBackend();
    return backend ? backend->ListSoundInputs() : std::vector<SoundInputInfo>{};
}

std::unique_ptr<ISoundCapture> OpenSoundCapture(const std::string& input, int rate, std::string* error) {
    ISoundBackend* backend = SoundBackend(error);
    return backend ? backend->OpenCapture(input, rate, error) : nullptr;
}

int DecodeFileSamples(const std::string& path, int rate, std::vector<float>* samples, std::string* error) {
    samples->clear();
    ISoundBackend* backend = SoundBackend(error);
    return backend ? backend->DecodeFileSamples(path, rate, samples, error) : kAudioFailed;
}

}  // namespace audio

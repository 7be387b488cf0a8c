#include "audio/audio_output.h"

#include "audio/audio_result.h"
#include "audio/sound_backend.h"

namespace audio {

OutputStatus AudioOutputStatus() {
    OutputStatus status;
    ISoundBackend* backend = SoundBackend(&status.message);
    if (!backend) {
        status.code = kAudioNoOutput;
        return status;
    }
    return backend->AudioOutputStatus();
}

int ChooseAudioOutput(const std::string& output, std::string* error) {
    // Choosing nothing needs no back end: the default rule is what it starts with.
    if (output.empty() && !SoundBackendLoaded()) return kAudioOk;
    ISoundBackend* backend = SoundBackend(error);
    return backend ? backend->ChooseAudioOutput(output, error) : kAudioNoOutput;
}

}  // namespace audio

#include "audio/sound_outputs.h"

#include "audio/sound_backend.h"

namespace audio {

std::vector<SoundOutputInfo> ListSoundOutputs() {
    ISoundBackend* backend = SoundBackend();
    return backend ? backend->ListSoundOutputs() : std::vector<SoundOutputInfo>{};
}

}  // namespace audio

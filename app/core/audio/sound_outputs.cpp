#include "sound_outputs.h"

#include "sound_backend.h"

namespace audio {

std::vector<SoundOutputInfo> ListSoundOutputs() {
    ISoundBackend* backend = SoundBackend();
    return backend ? backend->ListSoundOutputs() : std::vector<SoundOutputInfo>{};
}

}  // namespace audio

#include "audio/audio_length.h"

#include "audio/audio_result.h"
#include "audio/sound_backend.h"

namespace audio {

int MeasureAudioLength(const std::string& path, int* lengthMs) {
    *lengthMs = 0;
    ISoundBackend* backend = SoundBackend();
    return backend ? backend->MeasureAudioLength(path, lengthMs) : kAudioFailed;
}

}  // namespace audio

#include "audio/quiet_alsa.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace audio {
namespace {

void Silent(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietAlsaErrors() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(Silent); });
}

}  // namespace audio

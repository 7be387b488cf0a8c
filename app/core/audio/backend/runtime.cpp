#include "runtime.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <gst/gst.h>

#include <mutex>

namespace audio {
namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void QuietFluid(int, const char*, void*) {}

}  // namespace

void EnsureAudioRuntime() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        snd_lib_error_set_handler(QuietAlsa);
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, QuietFluid, nullptr);
    });
}

}  // namespace audio

#include "audio/backend/runtime.h"

#include <fluidsynth.h>
#include <gst/gst.h>

#include <mutex>

#include "audio/quiet_alsa.h"

namespace audio {
namespace {

void QuietFluid(int, const char*, void*) {}

}  // namespace

void EnsureAudioRuntime() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        QuietAlsaErrors();
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, QuietFluid, nullptr);
    });
}

}  // namespace audio

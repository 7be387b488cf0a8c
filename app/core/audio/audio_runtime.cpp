#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <gst/gst.h>

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "audio_result.h"

namespace audio {
namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void QuietFluid(int, const char*, void*) {}

}  // namespace

bool IsReadableFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

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

#include "audio/sound_backend.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace audio {
namespace {

struct Loaded {
    ISoundBackend* backend = nullptr;
    std::string error;
};

std::atomic<bool> g_loaded{false};

// The folder of the running program, with its slash: the back end lies beside
// it, as the drivers do.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

Loaded Load() {
    Loaded result;
    const std::string file = ProgramFolder() + kSoundBackendFile;
    // Never closed: GStreamer's threads live as long as the process.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        result.error = "the sound back end " + file + " does not load: " + (why ? why : "unknown error");
        return result;
    }
    using Entry = ISoundBackend* (*)(int);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, kSoundBackendEntry));
    if (!entry) {
        result.error = "the sound back end " + file + " has no " + kSoundBackendEntry;
        return result;
    }
    result.backend = entry(kSoundBackendVersion);
    if (!result.backend) result.error = "the sound back end " + file + " belongs to another version of the program";
    g_loaded = result.backend != nullptr;
    return result;
}

}  // namespace

ISoundBackend* SoundBackend(std::string* error) {
    static const Loaded loaded = Load();
    if (!loaded.backend && error) *error = loaded.error;
    return loaded.backend;
}

bool SoundBackendLoaded() { return g_loaded; }

}  // namespace audio

#include "audio/mono_clock.h"

#include <time.h>

#include <chrono>
#include <thread>

namespace audio {

int64_t MonotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t MonotonicMs() { return MonotonicNs() / 1000000; }

void SleepMs(int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace audio

// The monotonic clock and whole-millisecond sleeps of the audio library and
// the core, which links it: one reading of CLOCK_MONOTONIC for every stamp,
// so times in the play log and the workers' waits compare.
#pragma once

#include <cstdint>

namespace audio {

int64_t MonotonicNs();
int64_t MonotonicMs();

// Sleeps ms milliseconds; nothing for 0 or less.
void SleepMs(int64_t ms);

}  // namespace audio

#include "time_limit.h"

#include <time.h>

namespace sertra {

TimeLimit TimeLimitStart(int64_t nowNs, int64_t waitMs) {
    if (waitMs < 0) waitMs = 0;
    if (waitMs > kMaxWaitMs) waitMs = kMaxWaitMs;
    return TimeLimit{nowNs + waitMs * 1000000};
}

bool TimeLimitExpired(TimeLimit limit, int64_t nowNs) { return nowNs >= limit.endNs; }

int64_t TimeLimitRemainingNs(TimeLimit limit, int64_t nowNs) { return nowNs >= limit.endNs ? 0 : limit.endNs - nowNs; }

TimeLimit TimeLimitEarlier(TimeLimit a, TimeLimit b) { return a.endNs <= b.endNs ? a : b; }

int64_t MonotonicNowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

}  // namespace sertra

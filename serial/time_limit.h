// Time-out arithmetic for bounded port operations.
//
// Pure functions over a monotonic clock reading in nanoseconds, so the rules
// (when a wait has run out, how long is left, which of two limits ends first)
// are tested with a fake clock and no port.
#pragma once

#include <stdint.h>

namespace sertra {

struct TimeLimit {
    int64_t endNs;
};

// Longest wait honoured; larger requests are clamped so the arithmetic never overflows.
constexpr int64_t kMaxWaitMs = int64_t{1} << 40;

// A wait of 0 ms or less has already run out when it starts.
TimeLimit TimeLimitStart(int64_t nowNs, int64_t waitMs);
bool TimeLimitExpired(TimeLimit limit, int64_t nowNs);
// Nanoseconds left, 0 once expired.
int64_t TimeLimitRemainingNs(TimeLimit limit, int64_t nowNs);
TimeLimit TimeLimitEarlier(TimeLimit a, TimeLimit b);

// The platform's monotonic clock in nanoseconds.
int64_t MonotonicNowNs();

}  // namespace sertra

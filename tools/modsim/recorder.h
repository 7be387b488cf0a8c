// Recordings into the chip memory as the AUX input's samples come in. The
// frames arrive on the main loop, the samples on a capture thread, later than
// they were heard: each recording is a time window [record frame, its end),
// and a sample goes to the window its capture time lies in. A window is done
// once a sample from after its end has come in (or the memory or the end
// address is full): then its end-of-message mark is set.
// A source may also stamp samples ahead of the clock (a generated live
// source stamps a buffer when it starts and hands it over at once): the last
// second heard is kept, so a window gets the samples from after its frame
// that came before it, and a window that ends gives those up.
#pragma once

#include <stdint.h>

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "chip_memory.h"

namespace modsim {

class Recorder {
public:
    // gain: factor on every sample; lateNs: a recording stores silence for
    // this long after its record frame before it stores what it hears.
    Recorder(const ChipGeometry& g, double gain, int64_t lateNs);

    // Main loop. A record frame at tNs: ends a window still open, opens one
    // storing from address `row` on, up to `limit` (a sample).
    void Start(int32_t row, int64_t limit, int64_t tNs);
    // A release (or anything else that ends a recording) at tNs.
    void Stop(int64_t tNs);
    // Windows that ended more than graceNs before nowNs and still wait for
    // samples (a capture that stalled) are done with what they have.
    void FinishOverdue(int64_t nowNs, int64_t graceNs);
    // Every window done now (the capture has stopped).
    void FinishAll();
    // When FinishOverdue has something to do next (INT64_MAX: never).
    int64_t NextDeadlineNs(int64_t graceNs) const;
    // Whether a recording was done since the last call.
    bool TakeChanged();

    // Capture thread: n samples, the first heard at firstNs, the rest one
    // sample period apart. True when a recording was done by them.
    bool Feed(int64_t firstNs, const float* samples, size_t n);

    // Copies for the main loop.
    ChipMemory Snapshot() const;
    std::vector<int16_t> PlaySamples(int32_t row, std::optional<int32_t> endRow) const;
    // Loading a chip file, before any capture runs.
    template <typename F>
    auto WithMemory(F f) {
        std::lock_guard<std::mutex> lock(mu_);
        return f(memory_);
    }

private:
    struct Window {
        int64_t from = 0;  // first sample
        int64_t pos = 0;   // next sample to store
        int64_t limit = 0;
        int64_t startNs = 0;
        int64_t untilNs = INT64_MAX;  // open while INT64_MAX
        std::deque<int16_t> held;     // what the last second stored over
    };
    struct Heard {
        int64_t t;
        float value;
    };
    // With mu_ held:
    void FinishFront();
    void Store(int64_t t, float value);
    // Ends the open window at tNs, giving up what it stored from then on.
    void CloseBack(int64_t tNs);
    std::deque<Heard>::const_iterator HeardFrom(int64_t tNs) const;

    mutable std::mutex mu_;
    ChipMemory memory_;
    const double gain_;
    const int64_t lateNs_;
    std::deque<Window> windows_;  // in time order; only the last may be open
    std::deque<Heard> heard_;     // the last second heard, in time order
    bool changed_ = false;
};

}  // namespace modsim

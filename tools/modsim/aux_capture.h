// The module's AUX input: a live source captured from start to exit, mono at
// the chip's rate, handed on with the monotonic time each buffer was heard.
// The samples come on a GStreamer streaming thread.
#pragma once

#include <gst/gst.h>
#include <stdint.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace modsim {

class AuxCapture {
public:
    // firstNs: CLOCK_MONOTONIC time of the first sample; the rest follow at the rate.
    using Feed = std::function<void(int64_t firstNs, const float* samples, size_t n)>;

    AuxCapture() = default;
    ~AuxCapture();
    AuxCapture(const AuxCapture&) = delete;
    AuxCapture& operator=(const AuxCapture&) = delete;

    // Starts capturing and waits for the first samples; false with *error
    // when the source does not open or gives nothing within waitMs.
    bool Start(const std::string& name, int32_t rate, Feed feed, int waitMs, std::string* error);
    void Stop();

    // A descriptor readable when the pipeline has news; -1 when stopped.
    int BusFd() const;
    // Reports errors that came after the start on stderr.
    void DrainBus();

private:
    static GstFlowReturn OnSample(GstElement* sink, gpointer self);

    GstElement* pipeline_ = nullptr;
    Feed feed_;
    std::mutex mu_;
    std::condition_variable cv_;
    bool heard_ = false;
};

}  // namespace modsim

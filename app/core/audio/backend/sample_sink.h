// The end of a pipeline that hands its sound to us as samples: audioconvert !
// audioresample ! mono F32 at a given rate ! appsink. Used by the capture and
// by the decoding of a file for comparison.
#pragma once

#include <gst/gst.h>

#include <mutex>
#include <vector>

namespace audio {

class SampleSink {
public:
    SampleSink() = default;
    SampleSink(const SampleSink&) = delete;
    SampleSink& operator=(const SampleSink&) = delete;

    // The stage as a bin with a ghost pad "sink" (floating), or nullptr when
    // an element is missing. `sync`: hand samples on in real time.
    GstElement* Make(int rate, bool sync);

    // What arrives is kept only while keeping (from Make on, keeping is on).
    void Keep(bool on);
    std::vector<float> Take();
    bool AnyArrived() const;

private:
    static GstFlowReturn OnSample(GstElement* appsink, gpointer self);

    mutable std::mutex mutex_;
    bool keeping_ = true;
    bool arrived_ = false;
    std::vector<float> samples_;
};

}  // namespace audio

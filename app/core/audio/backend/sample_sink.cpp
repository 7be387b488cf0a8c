#include "audio/backend/sample_sink.h"

#include <gst/app/gstappsink.h>

#include <string>

#include "audio/backend/gst_threads.h"

namespace audio {

GstElement* SampleSink::Make(int rate, bool sync) {
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!convert || !resample || !filter || !sink) {
        for (GstElement* e : {convert, resample, filter, sink})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout", G_TYPE_STRING,
                                        "interleaved", "channels", G_TYPE_INT, 1, "rate", G_TYPE_INT, rate, nullptr);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(sink, "sync", sync ? TRUE : FALSE, "emit-signals", TRUE, nullptr);
    g_signal_connect(sink, "new-sample", G_CALLBACK(OnSample), this);
    GstElement* bin = gst_bin_new(nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, resample, filter, sink, nullptr);
    gst_element_link_many(convert, resample, filter, sink, nullptr);
    GstPad* in = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
    gst_object_unref(in);
    return bin;
}

GstFlowReturn SampleSink::OnSample(GstElement* appsink, gpointer self) {
    const GstThreadCallback onGstThread;
    auto* me = static_cast<SampleSink*>(self);
    GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(appsink));
    if (!sample) return GST_FLOW_OK;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const auto* data = reinterpret_cast<const float*>(map.data);
        const size_t n = map.size / sizeof(float);
        std::lock_guard<std::mutex> lock(me->mutex_);
        me->arrived_ = true;
        if (me->keeping_) me->samples_.insert(me->samples_.end(), data, data + n);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

void SampleSink::Keep(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    keeping_ = on;
}

std::vector<float> SampleSink::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<float> out;
    out.swap(samples_);
    return out;
}

bool SampleSink::AnyArrived() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return arrived_;
}

}  // namespace audio

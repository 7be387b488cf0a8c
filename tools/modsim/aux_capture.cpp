#include "aux_capture.h"

#include <gst/app/gstappsink.h>
#include <stdio.h>

#include <chrono>

#include "audio_end.h"

namespace modsim {

AuxCapture::~AuxCapture() { Stop(); }

bool AuxCapture::Start(const std::string& name, int32_t rate, Feed feed, int waitMs, std::string* error) {
    feed_ = std::move(feed);
    GstElement* source = MakeAudioEnd(name, true, error);
    if (!source) return false;
    pipeline_ = gst_pipeline_new("aux-in");
    // Buffer times on the system clock (CLOCK_MONOTONIC) are comparable with
    // the frames' receive times; a device's own clock is slaved to it.
    GstClock* clock = gst_system_clock_obtain();
    gst_pipeline_use_clock(GST_PIPELINE(pipeline_), clock);
    gst_object_unref(clock);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!convert || !resample || !sink) {
        *error = "audioconvert, audioresample or appsink is missing";
        for (GstElement* e : {source, convert, resample, sink})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        Stop();
        return false;
    }
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout", G_TYPE_STRING,
                                        "interleaved", "channels", G_TYPE_INT, 1, "rate", G_TYPE_INT, rate, nullptr);
    // Samples are placed by their own time stamps: the sink need not wait for the clock.
    g_object_set(sink, "caps", caps, "sync", FALSE, "emit-signals", TRUE, nullptr);
    gst_caps_unref(caps);
    g_signal_connect(sink, "new-sample", G_CALLBACK(OnSample), this);
    gst_bin_add_many(GST_BIN(pipeline_), source, convert, resample, sink, nullptr);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
        *error = "it gives no raw audio";
        Stop();
        return false;
    }
    GstBus* bus = gst_element_get_bus(pipeline_);
    const bool failed = gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE;
    // A device may fail only once it streams: wait for sound or an error.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::string why = failed ? BusError(bus) : "";
    bool heard = false;
    while (!failed && why.empty() && !heard && std::chrono::steady_clock::now() < until) {
        std::unique_lock<std::mutex> lock(mu_);
        heard = cv_.wait_for(lock, std::chrono::milliseconds(20), [this] { return heard_; });
        lock.unlock();
        if (!heard) why = BusError(bus);
    }
    gst_object_unref(bus);
    if (heard) return true;
    *error = !why.empty() ? why : failed ? "it does not start" : "no sound came from it";
    Stop();
    return false;
}

GstFlowReturn AuxCapture::OnSample(GstElement* sink, gpointer self) {
    auto* me = static_cast<AuxCapture*>(self);
    // Held throughout, so that Stop, taking it once the thread is done, is
    // seen to come after all of it (ThreadSanitizer does not see GStreamer's
    // own join).
    std::lock_guard<std::mutex> lock(me->mu_);
    GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
    if (!sample) return GST_FLOW_EOS;
    GstBuffer* buf = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buf && gst_buffer_map(buf, &map, GST_MAP_READ)) {
        // Running time plus base time is the clock's time: when it was heard.
        const GstClockTime base = gst_element_get_base_time(me->pipeline_);
        GstClockTime t = GST_BUFFER_PTS(buf);
        if (!GST_CLOCK_TIME_IS_VALID(t)) {
            GstClock* clock = gst_element_get_clock(me->pipeline_);
            t = clock ? gst_clock_get_time(clock) - base : 0;
            if (clock) gst_object_unref(clock);
        }
        me->feed_(static_cast<int64_t>(base + t), reinterpret_cast<const float*>(map.data), map.size / sizeof(float));
        gst_buffer_unmap(buf, &map);
    }
    gst_sample_unref(sample);
    me->heard_ = true;
    me->cv_.notify_all();
    return GST_FLOW_OK;
}

void AuxCapture::Stop() {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    { std::lock_guard<std::mutex> lock(mu_); }  // after the last sample's callback
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
}

int AuxCapture::BusFd() const { return BusPollFd(pipeline_); }

void AuxCapture::DrainBus() {
    if (!pipeline_) return;
    GstBus* bus = gst_element_get_bus(pipeline_);
    while (GstMessage* m = gst_bus_pop(bus)) {
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) {
            GError* err = nullptr;
            gst_message_parse_error(m, &err, nullptr);
            fprintf(stderr, "sonmira-modsim: --aux-in: %s\n", err ? err->message : "error");
            g_clear_error(&err);
        }
        gst_message_unref(m);
    }
    gst_object_unref(bus);
}

}  // namespace modsim

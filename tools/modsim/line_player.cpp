#include "line_player.h"

#include <gst/app/gstappsrc.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "audio_end.h"

namespace modsim {

namespace {

// Pieces of a tenth of a second: a sink fed so can stop between them.
constexpr int32_t kPiecesPerSecond = 10;

}  // namespace

LinePlayer::~LinePlayer() { Stop(); }

bool LinePlayer::Open(const std::string& name, std::string* error) {
    name_ = name;
    GstElement* sink = MakeAudioEnd(name, false, error);
    if (!sink) return false;
    gst_object_ref_sink(sink);
    GstBus* bus = gst_bus_new();
    gst_element_set_bus(sink, bus);
    // NULL -> READY opens the device, the server connection or the file.
    const bool opens = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    if (!opens) {
        const std::string why = BusError(bus);
        *error = why.empty() ? "it does not open" : why;
    }
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_element_set_bus(sink, nullptr);
    gst_object_unref(bus);
    gst_object_unref(sink);
    return opens;
}

void LinePlayer::Play(const std::vector<int16_t>& samples, int32_t rate) {
    Stop();
    if (samples.empty()) return;
    std::string error;
    GstElement* sink = MakeAudioEnd(name_, false, &error);
    GstElement* src = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    pipeline_ = gst_pipeline_new("line-out");
    for (GstElement* e : {src, convert, resample, sink})
        if (e) gst_bin_add(GST_BIN(pipeline_), e);
    if (!sink || !src || !convert || !resample || !gst_element_link_many(src, convert, resample, sink, nullptr)) {
        fprintf(stderr, "sonmira-modsim: --line-out: cannot play: %s\n",
                error.empty() ? "the sink takes no raw audio" : error.c_str());
        Stop();
        return;
    }
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout", G_TYPE_STRING,
                                        "interleaved", "channels", G_TYPE_INT, 1, "rate", G_TYPE_INT, rate, nullptr);
    g_object_set(src, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes", G_GUINT64_CONSTANT(0), nullptr);
    gst_caps_unref(caps);
    const size_t piece = static_cast<size_t>(rate / kPiecesPerSecond > 0 ? rate / kPiecesPerSecond : 1);
    for (size_t at = 0; at < samples.size(); at += piece) {
        const size_t n = std::min(piece, samples.size() - at);
        GstBuffer* buf = gst_buffer_new_allocate(nullptr, n * sizeof(int16_t), nullptr);
        gst_buffer_fill(buf, 0, samples.data() + at, n * sizeof(int16_t));
        GST_BUFFER_PTS(buf) = gst_util_uint64_scale(at, GST_SECOND, static_cast<guint64>(rate));
        GST_BUFFER_DURATION(buf) = gst_util_uint64_scale(n, GST_SECOND, static_cast<guint64>(rate));
        gst_app_src_push_buffer(GST_APP_SRC(src), buf);  // takes the buffer
    }
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) DrainBus();
}

void LinePlayer::Stop() {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
}

int LinePlayer::BusFd() const { return BusPollFd(pipeline_); }

void LinePlayer::DrainBus() {
    if (!pipeline_) return;
    GstBus* bus = gst_element_get_bus(pipeline_);
    bool over = false;
    while (GstMessage* m = gst_bus_pop(bus)) {
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) {
            GError* err = nullptr;
            gst_message_parse_error(m, &err, nullptr);
            fprintf(stderr, "sonmira-modsim: --line-out: %s\n", err ? err->message : "error");
            g_clear_error(&err);
            over = true;
        } else if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) {
            over = true;
        }
        gst_message_unref(m);
    }
    gst_object_unref(bus);
    if (over) Stop();
}

}  // namespace modsim

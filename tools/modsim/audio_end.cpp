#include "audio_end.h"

#include "audio/output_name.h"

namespace modsim {

namespace {

// As the program's own output does: 50 ms of ring buffer in 10 ms periods.
// A source may buffer more (what it hears is placed by its time stamps), so
// that a busy machine does not drop what the AUX input heard.
constexpr gint64 kBufferTimeUs = 50000;
constexpr gint64 kSourceBufferTimeUs = 500000;
constexpr gint64 kLatencyTimeUs = 10000;

}  // namespace

GstElement* MakeAudioEnd(const std::string& name, bool source, std::string* error) {
    const audio::OutputName named = audio::ParseOutputName(name);
    if (named.kind == audio::OutputName::Kind::Gst) {
        GError* err = nullptr;
        GstElement* bin = gst_parse_bin_from_description(named.name.c_str(), TRUE, &err);
        if (!bin) {
            *error = std::string("not a GStreamer description: ") + (err ? err->message : "parse failed");
            g_clear_error(&err);
            return nullptr;
        }
        g_clear_error(&err);
        return bin;
    }
    const bool alsa = named.kind == audio::OutputName::Kind::Alsa;
    const char* factory = alsa ? (source ? "alsasrc" : "alsasink") : (source ? "pulsesrc" : "pulsesink");
    GstElement* e = gst_element_factory_make(factory, nullptr);
    if (!e) {
        *error = std::string("GStreamer has no ") + factory;
        return nullptr;
    }
    if (!named.name.empty()) g_object_set(e, "device", named.name.c_str(), nullptr);
    g_object_set(e, "buffer-time", source ? kSourceBufferTimeUs : kBufferTimeUs, "latency-time", kLatencyTimeUs,
                 nullptr);
    // A synchronised sink that starts late drops the sound's head to catch
    // up with the clock, and nudges it later on: the ring buffer alone paces it.
    if (!source) g_object_set(e, "sync", FALSE, nullptr);
    return e;
}

int BusPollFd(GstElement* pipeline) {
    if (!pipeline) return -1;
    GstBus* bus = gst_element_get_bus(pipeline);
    GPollFD fd;
    gst_bus_get_pollfd(bus, &fd);
    gst_object_unref(bus);
    return fd.fd;
}

std::string BusError(GstBus* bus) {
    std::string text;
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        if (text.empty()) {
            GError* err = nullptr;
            gst_message_parse_error(m, &err, nullptr);
            text = err ? err->message : "error";
            g_clear_error(&err);
        }
        gst_message_unref(m);
    }
    return text;
}

}  // namespace modsim

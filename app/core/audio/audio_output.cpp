#include "audio_output.h"

#include <cstdlib>

#include "audio_result.h"

namespace audio {

const char* const kNoOutputMessage = "no sound output device (tried pulsesink and alsasink)";

namespace {

// Opens a sink (NULL -> READY opens the device or the server connection).
bool Opens(GstElement* sink) {
    if (gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) return true;
    gst_element_set_state(sink, GST_STATE_NULL);
    return false;
}

GstElement* OpenDesktopSink(std::string* name) {
    static const char* const kSinks[] = {"pulsesink", "alsasink"};
    for (const char* factory : kSinks) {
        GstElement* sink = gst_element_factory_make(factory, nullptr);
        if (!sink) continue;
        gst_object_ref_sink(sink);
        g_object_set(sink, "buffer-time", kSinkBufferTimeUs, "latency-time", kSinkLatencyTimeUs, nullptr);
        if (Opens(sink)) {
            *name = factory;
            return sink;
        }
        gst_object_unref(sink);
    }
    return nullptr;
}

GstElement* OpenCustomSink(const char* description, std::string* name, std::string* error) {
    GError* err = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description, TRUE, &err);
    if (!bin) {
        *error =
            std::string("SONMIRA_AUDIO_SINK is not a usable GStreamer sink: ") + (err ? err->message : "parse failed");
        g_clear_error(&err);
        return nullptr;
    }
    g_clear_error(&err);  // a warning (e.g. an unknown property) still gives a bin
    gst_object_ref_sink(bin);
    if (!Opens(bin)) {
        *error = std::string("SONMIRA_AUDIO_SINK does not open: ") + description;
        gst_object_unref(bin);
        return nullptr;
    }
    *name = std::string("SONMIRA_AUDIO_SINK \"") + description + "\"";
    return bin;
}

}  // namespace

int MakeAudioOutput(AudioOutput* out, std::string* error) {
    EnsureAudioRuntime();
    *out = AudioOutput{};
    const char* custom = std::getenv("SONMIRA_AUDIO_SINK");
    std::string name;
    GstElement* sink = custom && *custom ? OpenCustomSink(custom, &name, error) : OpenDesktopSink(&name);
    if (!sink) {
        if (!(custom && *custom)) *error = kNoOutputMessage;
        return kAudioNoOutput;
    }
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    if (!convert || !resample) {
        if (convert) gst_object_unref(gst_object_ref_sink(convert));
        if (resample) gst_object_unref(gst_object_ref_sink(resample));
        gst_element_set_state(sink, GST_STATE_NULL);
        gst_object_unref(sink);
        *error = "audioconvert or audioresample is missing";
        return kAudioFailed;
    }
    GstElement* bin = gst_bin_new(nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, resample, sink, nullptr);
    // A custom description may leave no audio input to link (say, a source
    // feeding its own sink): that plays nothing of ours, or never ends.
    if (!gst_element_link_many(convert, resample, sink, nullptr)) {
        gst_object_unref(sink);
        DiscardAudioOutput(bin);
        *error = name + " does not take raw audio";
        return kAudioNoOutput;
    }
    GstPad* in = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
    gst_object_unref(in);
    out->sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_object_unref(sink);  // the bin holds it now
    out->bin = bin;
    out->name = name;
    return kAudioOk;
}

void DiscardAudioOutput(GstElement* bin) {
    gst_object_ref_sink(bin);
    gst_element_set_state(bin, GST_STATE_NULL);
    gst_object_unref(bin);
}

OutputStatus AudioOutputStatus() {
    OutputStatus status;
    AudioOutput out;
    std::string error;
    status.code = MakeAudioOutput(&out, &error);
    if (status.code != kAudioOk) {
        status.message = error;
        return status;
    }
    status.message = "sound output: " + out.name;
    gst_object_unref(out.sinkPad);
    DiscardAudioOutput(out.bin);
    return status;
}

}  // namespace audio

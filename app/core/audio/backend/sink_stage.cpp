#include "audio/backend/sink_stage.h"

#include <cstdlib>
#include <mutex>

#include "audio/audio_result.h"
#include "audio/backend/device_list.h"
#include "audio/output_name.h"
#include "audio/backend/runtime.h"

namespace audio {

const char* const kNoOutputMessage = "no sound output device (tried pulsesink and alsasink)";

namespace {

// Opens a sink (NULL -> READY opens the device or the server connection).
bool Opens(GstElement* sink) {
    if (gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) return true;
    gst_element_set_state(sink, GST_STATE_NULL);
    return false;
}

enum class SinkEnd { Opened, NoFactory, DoesNotOpen };

// A device sink with the short ring buffer, opened; `device` "" for the
// factory's default device. *end says why there is none.
GstElement* OpenDeviceSink(const char* factory, const std::string& device, SinkEnd* end) {
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (!sink) {
        *end = SinkEnd::NoFactory;
        return nullptr;
    }
    gst_object_ref_sink(sink);
    if (!device.empty()) g_object_set(sink, "device", device.c_str(), nullptr);
    g_object_set(sink, "buffer-time", kSinkBufferTimeUs, "latency-time", kSinkLatencyTimeUs, nullptr);
    // A synchronised device sink starts the sound as late as the file waited
    // pre-rolled (the time a record command takes, lost at the module's AUX
    // input: a second-module chip missed the last 150 ms of every segment).
    // Unsynchronised, it starts at once, and its short ring buffer still
    // paces the sound at the device's rate.
    g_object_set(sink, "sync", FALSE, nullptr);
    if (!Opens(sink)) {
        gst_object_unref(sink);
        *end = SinkEnd::DoesNotOpen;
        return nullptr;
    }
    *end = SinkEnd::Opened;
    return sink;
}

GstElement* OpenDesktopSink(std::string* name) {
    static const char* const kSinks[] = {"pulsesink", "alsasink"};
    for (const char* factory : kSinks) {
        SinkEnd end;
        if (GstElement* sink = OpenDeviceSink(factory, "", &end)) {
            *name = factory;
            return sink;
        }
    }
    return nullptr;
}

// `origin` names where the description came from, in messages; *name is `shown`.
GstElement* OpenCustomSink(const std::string& description, const std::string& origin, const std::string& shown,
                           std::string* name, std::string* error) {
    GError* err = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &err);
    if (!bin) {
        *error = origin + " is not a usable GStreamer sink: " + (err ? err->message : "parse failed");
        g_clear_error(&err);
        return nullptr;
    }
    g_clear_error(&err);  // a warning (e.g. an unknown property) still gives a bin
    gst_object_ref_sink(bin);
    if (!Opens(bin)) {
        *error = origin + " does not open: " + description;
        gst_object_unref(bin);
        return nullptr;
    }
    *name = shown;
    return bin;
}

// A device sink by name: alsasink or pulsesink with its device property set.
GstElement* OpenNamedSink(const OutputName& named, std::string* name, std::string* error) {
    const bool alsa = named.kind == OutputName::Kind::Alsa;
    const char* factory = alsa ? "alsasink" : "pulsesink";
    const std::string what = (alsa ? "ALSA device '" : "PulseAudio/PipeWire sink '") + named.name + "'";
    // pulsesink opens only the server connection before it plays: the sink
    // itself must be one the server lists, or the first sound would fail.
    if (!alsa && !PulseSinkListed(named.name)) {
        *error = what + ": the sound server lists no such sink";
        return nullptr;
    }
    SinkEnd end;
    GstElement* sink = OpenDeviceSink(factory, named.name, &end);
    if (end == SinkEnd::NoFactory)
        *error = what + ": GStreamer has no " + factory;
    else if (end == SinkEnd::DoesNotOpen)
        *error = what + (alsa ? ": it does not open (no such device, or it is busy)" : ": it does not open");
    else
        *name = what;
    return sink;
}

std::mutex g_choiceMutex;
std::string g_choice;  // the output ChooseAudioOutput took; "" none

std::string Choice() {
    std::lock_guard<std::mutex> lock(g_choiceMutex);
    return g_choice;
}

// The sink of a chosen output, from its name as given.
GstElement* OpenChosenSink(const std::string& text, std::string* name, std::string* error) {
    const OutputName named = ParseOutputName(text);
    if (named.kind == OutputName::Kind::Gst) return OpenCustomSink(named.name, "sound output", text, name, error);
    return OpenNamedSink(named, name, error);
}

}  // namespace

int MakeAudioOutput(AudioOutput* out, std::string* error) {
    EnsureAudioRuntime();
    *out = AudioOutput{};
    const std::string chosen = Choice();
    const char* custom = std::getenv("SONMIRA_AUDIO_SINK");
    std::string name;
    GstElement* sink = !chosen.empty() ? OpenChosenSink(chosen, &name, error)
                       : custom && *custom
                           ? OpenCustomSink(custom, "SONMIRA_AUDIO_SINK",
                                            std::string("SONMIRA_AUDIO_SINK \"") + custom + "\"", &name, error)
                           : OpenDesktopSink(&name);
    if (!sink) {
        if (chosen.empty() && !(custom && *custom)) *error = kNoOutputMessage;
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

int ChooseOutputNow(const std::string& output, std::string* error) {
    {
        std::lock_guard<std::mutex> lock(g_choiceMutex);
        g_choice = output;
    }
    if (output.empty()) return kAudioOk;
    const OutputStatus status = OutputStatusNow();
    if (status.code != kAudioOk) {
        std::lock_guard<std::mutex> lock(g_choiceMutex);
        g_choice.clear();
        *error = status.message;
    }
    return status.code;
}

OutputStatus OutputStatusNow() {
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

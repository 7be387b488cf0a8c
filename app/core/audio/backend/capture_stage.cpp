#include "audio/backend/capture_stage.h"

#include <gst/gst.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "audio/audio_result.h"
#include "audio/backend/device_list.h"
#include "audio/backend/gst_threads.h"
#include "audio/backend/runtime.h"
#include "audio/backend/sample_sink.h"
#include "audio/backend/sink_stage.h"
#include "audio/output_name.h"

namespace audio {
namespace {

// Room for what the input hears while this process waits for a CPU: a
// capture is aligned afterwards, so its latency does not matter, a gap does.
constexpr gint64 kCaptureBufferTimeUs = 500000;

// A device that opens but never delivers (a stalled server) is given up after
// this. An idle PulseAudio null sink renders in two-second blocks, so its
// monitor's first data may take that long.
constexpr auto kFirstDataWait = std::chrono::seconds(5);

// The source element of an input by its name, not yet opened; nullptr with *error.
GstElement* MakeSource(const std::string& input, std::string* error) {
    const OutputName named = ParseOutputName(input);
    if (named.kind == OutputName::Kind::Gst) {
        GError* err = nullptr;
        GstElement* bin = gst_parse_bin_from_description(named.name.c_str(), TRUE, &err);
        if (!bin) {
            *error = "sound input \"" + input +
                     "\" is not a usable GStreamer source: " + (err ? err->message : "parse failed");
            g_clear_error(&err);
            return nullptr;
        }
        g_clear_error(&err);  // a warning (e.g. an unknown property) still gives a bin
        return bin;
    }
    const bool alsa = named.kind == OutputName::Kind::Alsa;
    const std::string what = (alsa ? "ALSA capture device '" : "PulseAudio/PipeWire source '") + named.name + "'";
    // pulsesrc connects to the server without asking for the source: one the
    // server does not list would fail only once the capture runs.
    if (!alsa && !PulseSourceListed(named.name)) {
        *error = what + ": the sound server lists no such source";
        return nullptr;
    }
    const char* factory = alsa ? "alsasrc" : "pulsesrc";
    GstElement* src = gst_element_factory_make(factory, nullptr);
    if (!src) {
        *error = what + ": GStreamer has no " + factory;
        return nullptr;
    }
    g_object_set(src, "device", named.name.c_str(), "buffer-time", kCaptureBufferTimeUs, "latency-time",
                 kSinkLatencyTimeUs, nullptr);
    return src;
}

class GstCapture final : public ISoundCapture {
public:
    ~GstCapture() override { Teardown(); }

    bool Open(const std::string& input, int rate, std::string* error) {
        EnsureAudioRuntime();
        GstElement* src = MakeSource(input, error);
        if (!src) return false;
        GstElement* stage = samples_.Make(rate, false);
        pipeline_ = gst_pipeline_new(nullptr);
        if (!stage) {
            gst_object_unref(gst_object_ref_sink(src));
            *error = "audioconvert, audioresample or appsink is missing";
            return false;
        }
        gst_bin_add_many(GST_BIN(pipeline_), src, stage, nullptr);
        if (!gst_element_link(src, stage)) {
            *error = "sound input \"" + input + "\" gives no raw audio";
            return false;
        }
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
        gst_object_unref(bus);
        HandToGstThreads();
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            *error = "sound input \"" + input + "\" does not open" + Failure();
            return false;
        }
        const auto until = std::chrono::steady_clock::now() + kFirstDataWait;
        while (!samples_.AnyArrived() && std::chrono::steady_clock::now() < until && Failure().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!Failure().empty() || !samples_.AnyArrived()) {
            const std::string why = Failure();
            *error = "sound input \"" + input + "\" " + (why.empty() ? "gives no sound data" : "fails" + why);
            return false;
        }
        samples_.Keep(false);
        samples_.Take();
        return true;
    }

    void Start() override {
        samples_.Take();
        samples_.Keep(true);
    }

    int Stop(std::vector<float>* samples, std::string* error) override {
        samples_.Keep(false);
        *samples = samples_.Take();
        const std::string why = Failure();
        if (why.empty()) return kAudioOk;
        if (error) *error = "the sound input failed" + why;
        return kAudioFailed;
    }

private:
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* msg, gpointer self) {
        const GstThreadCallback onGstThread;
        if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR || GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS) {
            std::string why = ": the input ended";
            if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
                GError* err = nullptr;
                gst_message_parse_error(msg, &err, nullptr);
                why = std::string(": ") + (err ? err->message : "error");
                g_clear_error(&err);
            }
            auto* me = static_cast<GstCapture*>(self);
            std::lock_guard<std::mutex> lock(me->mutex_);
            if (me->failure_.empty()) me->failure_ = why;
        }
        gst_message_unref(msg);
        return GST_BUS_DROP;
    }

    std::string Failure() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

    void Teardown() {
        if (!pipeline_) return;
        ReleasePipeline(pipeline_);
        pipeline_ = nullptr;
    }

    GstElement* pipeline_ = nullptr;
    SampleSink samples_;
    mutable std::mutex mutex_;
    std::string failure_;  // ": why" once the input failed or ended
};

}  // namespace

std::unique_ptr<ISoundCapture> OpenCaptureNow(const std::string& input, int rate, std::string* error) {
    if (rate <= 0) {
        if (error) *error = "no sampling rate for the capture";
        return nullptr;
    }
    auto capture = std::make_unique<GstCapture>();
    std::string why;
    if (!capture->Open(input, rate, &why)) {
        if (error) *error = why;
        return nullptr;
    }
    return capture;
}

}  // namespace audio

#include "decode_chain.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "audio_result.h"

namespace audio {
namespace {

bool IsRiffWave(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return got == sizeof head && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

}  // namespace

DecodeChain::~DecodeChain() { Teardown(); }

int DecodeChain::Build(const std::string& path, GstElement* audioSink) {
    Teardown();
    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* dec = gst_element_factory_make("decodebin", nullptr);
    pipeline_ = gst_pipeline_new(nullptr);
    if (!src || !dec || !pipeline_ || !audioSink) {
        if (src) gst_object_unref(gst_object_ref_sink(src));
        if (dec) gst_object_unref(gst_object_ref_sink(dec));
        if (audioSink) {
            gst_object_ref_sink(audioSink);
            gst_element_set_state(audioSink, GST_STATE_NULL);  // an output arrives opened
            gst_object_unref(audioSink);
        }
        if (pipeline_) gst_object_unref(pipeline_);
        pipeline_ = nullptr;
        return kAudioFailed;
    }
    g_object_set(src, "location", path.c_str(), nullptr);
    decodebin_ = dec;
    audioSink_ = audioSink;
    gst_bin_add_many(GST_BIN(pipeline_), src, dec, audioSink, nullptr);
    // wavparse 1.22 in pull mode renders nothing when the data chunk has an
    // odd size (8-bit mono or 24-bit mono with an odd sample count): it reads
    // past the pad byte and stops. Pushed through a queue it reads it right.
    GstElement* queue = IsRiffWave(path) ? gst_element_factory_make("queue", nullptr) : nullptr;
    if (queue) {
        gst_bin_add(GST_BIN(pipeline_), queue);
        gst_element_link_many(src, queue, dec, nullptr);
    } else {
        gst_element_link(src, dec);
    }
    g_signal_connect(dec, "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(dec, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    g_signal_connect(dec, "autoplug-continue", G_CALLBACK(OnAutoplugContinue), this);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
    gst_object_unref(bus);
    return kAudioOk;
}

int DecodeChain::BuildFromSource(GstElement* source, GstElement* audioSink) {
    Teardown();
    pipeline_ = gst_pipeline_new(nullptr);
    gst_bin_add_many(GST_BIN(pipeline_), source, audioSink, nullptr);
    if (!gst_element_link(source, audioSink)) {
        Teardown();
        return kAudioFailed;
    }
    audioSink_ = audioSink;
    audioClaimed_ = audioLinked_ = true;
    padsDone_ = true;
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
    gst_object_unref(bus);
    return kAudioOk;
}

GstBusSyncReply DecodeChain::OnBusMessage(GstBus*, GstMessage* msg, gpointer self) {
    auto* c = static_cast<DecodeChain*>(self);
    GstMessageType type = GST_MESSAGE_TYPE(msg);
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR) {
        std::lock_guard<std::mutex> lock(c->mutex_);
        (type == GST_MESSAGE_EOS ? c->eos_ : c->error_) = true;
        c->changed_.notify_all();
    }
    // Nobody pops the bus: drop everything so that it never fills up.
    gst_message_unref(msg);
    return GST_BUS_DROP;
}

void DecodeChain::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
    auto* c = static_cast<DecodeChain*>(self);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    bool raw = caps && gst_caps_get_size(caps) > 0 &&
               std::strcmp(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw") == 0;
    if (caps) gst_caps_unref(caps);

    // Claim the audio sink under the lock, link outside it: linking can post
    // bus messages, whose handler takes the same lock.
    bool claim = false;
    {
        std::lock_guard<std::mutex> lock(c->mutex_);
        if (raw && !c->audioClaimed_) claim = c->audioClaimed_ = true;
    }
    if (claim) {
        GstPad* sinkPad = gst_element_get_static_pad(c->audioSink_, "sink");
        bool linked = sinkPad && gst_pad_link(pad, sinkPad) == GST_PAD_LINK_OK;
        if (sinkPad) gst_object_unref(sinkPad);
        std::lock_guard<std::mutex> lock(c->mutex_);
        c->audioLinked_ = linked;
        if (linked) return;
    }
    GstElement* drain = gst_element_factory_make("fakesink", nullptr);
    if (!drain) return;
    g_object_set(drain, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(c->pipeline_), drain);
    gst_element_sync_state_with_parent(drain);
    GstPad* drainPad = gst_element_get_static_pad(drain, "sink");
    gst_pad_link(pad, drainPad);
    gst_object_unref(drainPad);
}

void DecodeChain::OnNoMorePads(GstElement*, gpointer self) {
    auto* c = static_cast<DecodeChain*>(self);
    std::lock_guard<std::mutex> lock(c->mutex_);
    c->padsDone_ = true;
    c->changed_.notify_all();
}

gboolean DecodeChain::OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    if (!caps || gst_caps_get_size(caps) == 0) return TRUE;
    const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    return std::strcmp(name, "audio/midi") != 0 && std::strcmp(name, "audio/riff-midi") != 0 &&
           std::strcmp(name, "audio/x-midi-event") != 0;
}

bool DecodeChain::WaitFor(bool (DecodeChain::*done)() const, GstClockTime timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::nanoseconds(timeout), [&] { return (this->*done)(); });
}

int DecodeChain::Preroll(GstClockTime timeout) {
    if (!pipeline_) return kAudioNotOpen;
    gint64 start = g_get_monotonic_time();
    GstStateChangeReturn r = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    if (r == GST_STATE_CHANGE_ASYNC) r = gst_element_get_state(pipeline_, nullptr, nullptr, timeout);
    if (r == GST_STATE_CHANGE_ASYNC) return kAudioTimeout;
    if (r == GST_STATE_CHANGE_FAILURE) return kAudioUnsupported;  // the error message may still be on its way
    // A sink that does not pre-roll (async=false) lets PAUSED return before
    // decodebin has found anything: wait for its pads as well.
    GstClockTime spent = GstClockTime(g_get_monotonic_time() - start) * 1000;
    if (!WaitFor(&DecodeChain::PadsSettledOrFailed, timeout > spent ? timeout - spent : 0)) return kAudioTimeout;
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_ || !audioLinked_) return kAudioUnsupported;
    return kAudioOk;
}

int DecodeChain::Start() {
    if (!pipeline_) return kAudioNotOpen;
    return gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ? kAudioFailed
                                                                                             : kAudioOk;
}

int DecodeChain::RunToEnd(GstClockTime timeout) {
    int rc = Start();
    if (rc != kAudioOk) return rc;
    if (!WaitFor(&DecodeChain::EndedOrFailed, timeout)) return kAudioTimeout;
    return Failed() ? kAudioUnsupported : kAudioOk;
}

bool DecodeChain::NeedsDecoder() const {
    if (!decodebin_) return false;
    bool found = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(decodebin_));
    GValue item = G_VALUE_INIT;
    while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstElement* e = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* f = gst_element_get_factory(e);
        const char* klass = f ? gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_KLASS) : nullptr;
        if (klass && std::strstr(klass, "Decoder")) found = true;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

bool DecodeChain::AtEnd() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return eos_;
}

bool DecodeChain::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

void DecodeChain::Teardown() {
    if (pipeline_) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline_);
    }
    pipeline_ = nullptr;
    decodebin_ = nullptr;
    audioSink_ = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    audioClaimed_ = audioLinked_ = padsDone_ = eos_ = error_ = false;
}

}  // namespace audio

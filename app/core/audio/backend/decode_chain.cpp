#include "audio/backend/decode_chain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "audio/backend/gst_threads.h"
#include "audio/backend/sink_stage.h"
#include "audio/audio_result.h"

namespace audio {
namespace {

constexpr int64_t kMaxSoundLeftAtEos = 10 * GST_SECOND;

bool IsRiffWave(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return got == sizeof head && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

// Answers the scheduling query of the file source's pad with "push only", so
// that nothing downstream pulls from it.
GstPadProbeReturn OnSchedulingQuery(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) != GST_QUERY_SCHEDULING) return GST_PAD_PROBE_OK;
    gst_query_set_scheduling(query, GST_SCHEDULING_FLAG_SEQUENTIAL, 1, -1, 0);
    gst_query_add_scheduling_mode(query, GST_PAD_MODE_PUSH);
    return GST_PAD_PROBE_HANDLED;  // answered: the query returns TRUE
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
        if (audioSink) DiscardAudioOutput(audioSink);
        if (pipeline_) gst_object_unref(pipeline_);
        pipeline_ = nullptr;
        return kAudioFailed;
    }
    g_object_set(src, "location", path.c_str(), nullptr);
    decodebin_ = dec;
    audioSink_ = audioSink;
    gst_bin_add_many(GST_BIN(pipeline_), src, dec, audioSink, nullptr);
    gst_element_link(src, dec);
    // wavparse 1.22 in pull mode renders nothing when the data chunk has an
    // odd size (8-bit mono or 24-bit mono with an odd sample count): it reads
    // past the pad byte and stops; in push mode it reads it right. The file
    // source is made push-only rather than given a queue in front: the file
    // thread's allocation query, parked in the queue behind the last buffer,
    // is dropped unanswered by queue 1.22 when wavparse ends its data with
    // EOS, and the file thread then waits for ever: no end-of-stream follows.
    if (IsRiffWave(path)) {
        GstPad* srcPad = gst_element_get_static_pad(src, "src");
        gst_pad_add_probe(srcPad, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, OnSchedulingQuery, nullptr, nullptr);
        gst_object_unref(srcPad);
    }
    g_signal_connect(dec, "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(dec, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    g_signal_connect(dec, "autoplug-continue", G_CALLBACK(OnAutoplugContinue), this);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
    gst_object_unref(bus);
    WatchOutput();
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
    WatchOutput();
    return kAudioOk;
}

void DecodeChain::WatchOutput() {
    gst_segment_init(&segment_, GST_FORMAT_UNDEFINED);
    endRunningNs_ = -1;
    GstPad* pad = gst_element_get_static_pad(audioSink_, "sink");
    if (!pad) return;
    gst_pad_add_probe(pad,
                      GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                      GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      OnOutputData, this, nullptr);
    gst_object_unref(pad);
}

GstPadProbeReturn DecodeChain::OnOutputData(GstPad*, GstPadProbeInfo* info, gpointer self) {
    const GstThreadCallback onGstThread;
    auto* c = static_cast<DecodeChain*>(self);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        c->NoteBufferEnd(GST_PAD_PROBE_INFO_BUFFER(info));
    } else if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
        for (guint i = 0, n = gst_buffer_list_length(list); i < n; ++i) c->NoteBufferEnd(gst_buffer_list_get(list, i));
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(GST_PAD_PROBE_INFO_EVENT(info), &segment);
        gst_segment_copy_into(segment, &c->segment_);
    }
    return GST_PAD_PROBE_OK;
}

void DecodeChain::NoteBufferEnd(GstBuffer* buf) {
    if (segment_.format != GST_FORMAT_TIME || !GST_BUFFER_PTS_IS_VALID(buf)) return;
    guint64 end = GST_BUFFER_PTS(buf) + (GST_BUFFER_DURATION_IS_VALID(buf) ? GST_BUFFER_DURATION(buf) : 0);
    if (GST_CLOCK_TIME_IS_VALID(segment_.stop) && end > segment_.stop) end = segment_.stop;
    guint64 running = gst_segment_to_running_time(&segment_, GST_FORMAT_TIME, end);
    if (!GST_CLOCK_TIME_IS_VALID(running)) return;
    if (int64_t(running) > endRunningNs_.load()) endRunningNs_ = int64_t(running);
}

GstBusSyncReply DecodeChain::OnBusMessage(GstBus*, GstMessage* msg, gpointer self) {
    const GstThreadCallback onGstThread;
    auto* c = static_cast<DecodeChain*>(self);
    GstMessageType type = GST_MESSAGE_TYPE(msg);
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR) {
        // Measured when end-of-stream arrives, while the clock surely runs:
        // an audio sink's clock may stop with the sound.
        int64_t playedOutAt = type == GST_MESSAGE_EOS ? g_get_monotonic_time() + c->SoundLeftAtEosUs() : 0;
        std::lock_guard<std::mutex> lock(c->mutex_);
        (type == GST_MESSAGE_EOS ? c->eos_ : c->error_) = true;
        c->playedOutAtUs_ = playedOutAt;
        c->changed_.notify_all();
    }
    // Nobody pops the bus: drop everything so that it never fills up.
    gst_message_unref(msg);
    return GST_BUS_DROP;
}

void DecodeChain::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
    const GstThreadCallback onGstThread;
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
    const GstThreadCallback onGstThread;
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
    HandToGstThreads();
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
    HandToGstThreads();
    return gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ? kAudioFailed : kAudioOk;
}

int DecodeChain::RunToEnd(GstClockTime timeout) {
    int rc = Start();
    if (rc != kAudioOk) return rc;
    if (!WaitFor(&DecodeChain::EndedOrFailed, timeout)) return kAudioTimeout;
    if (Failed()) return kAudioUnsupported;
    TakeBackFromGstThreads();  // the data went through the probes before end-of-stream
    return kAudioOk;
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

bool DecodeChain::PlayedOut() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_ || (eos_ && g_get_monotonic_time() >= playedOutAtUs_);
}

int64_t DecodeChain::SoundLeftAtEosUs() const {
    int64_t end = endRunningNs_.load();
    GstClock* clock = end > 0 ? gst_element_get_clock(pipeline_) : nullptr;
    if (!clock) return 0;
    GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    GstClockTime base = gst_element_get_base_time(pipeline_);
    int64_t left = now >= base ? end - int64_t(now - base) : 0;
    // At most a buffer is left; a far-off end is a broken time stamp.
    return left <= 0 ? 0 : std::min<int64_t>(left, kMaxSoundLeftAtEos) / 1000;
}

bool DecodeChain::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

void DecodeChain::Teardown() {
    if (pipeline_) ReleasePipeline(pipeline_);
    pipeline_ = nullptr;
    decodebin_ = nullptr;
    audioSink_ = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    audioClaimed_ = audioLinked_ = padsDone_ = eos_ = error_ = false;
    playedOutAtUs_ = 0;
    endRunningNs_ = -1;
}

}  // namespace audio

#include "audio/backend/length_by_content.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <cstdio>
#include <vector>

#include "audio/audio_length.h"
#include "audio/audio_result.h"
#include "audio/backend/decode_chain.h"
#include "audio/backend/gst_threads.h"
#include "audio/midi_file.h"
#include "audio/backend/runtime.h"
#include "audio/wav_header.h"

namespace audio {
namespace {

constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;
constexpr GstClockTime kDecodeTimeout = 120 * GST_SECOND;  // hours of MP3 decode in far less

// Counts what reaches the sink; a rate change closes the running tally.
struct SampleCounter {
    int rate = 0;
    int bytesPerFrame = 0;
    uint64_t frames = 0;
    uint64_t closedNs = 0;

    uint64_t TotalNs() const { return closedNs + (rate ? gst_util_uint64_scale(frames, GST_SECOND, rate) : 0); }
};

GstPadProbeReturn CountProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
    const GstThreadCallback onGstThread;
    auto* c = static_cast<SampleCounter*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer* buf = GST_PAD_PROBE_INFO_BUFFER(info);
        if (c->bytesPerFrame > 0) c->frames += gst_buffer_get_size(buf) / c->bytesPerFrame;
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_CAPS) {
        GstCaps* caps;
        gst_event_parse_caps(GST_PAD_PROBE_INFO_EVENT(info), &caps);
        GstAudioInfo ai;
        if (gst_audio_info_from_caps(&ai, caps) && GST_AUDIO_INFO_RATE(&ai) > 0) {
            c->closedNs = c->TotalNs();
            c->frames = 0;
            c->rate = GST_AUDIO_INFO_RATE(&ai);
            c->bytesPerFrame = GST_AUDIO_INFO_BPF(&ai);
        }
    }
    return GST_PAD_PROBE_OK;
}

int MeasureMidi(const std::vector<uint8_t>& smf, int* lengthMs) {
    int64_t us = 0;
    int rc = SmfDurationUs(smf.data(), smf.size(), &us);
    if (rc == kAudioOk) *lengthMs = NsToMs(us * 1000);
    return rc;
}

int MeasureDecoded(const std::string& path, int* lengthMs) {
    SampleCounter counter;
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!sink) return kAudioFailed;
    g_object_set(sink, "sync", FALSE, nullptr);
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM), CountProbe,
                      &counter, nullptr);
    gst_object_unref(pad);

    DecodeChain chain;
    int rc = chain.Build(path, sink);
    if (rc == kAudioOk) rc = chain.Preroll(kPrerollTimeout);
    if (rc == kAudioOk) {
        gint64 ns = 0;
        if (!chain.NeedsDecoder() && gst_element_query_duration(chain.Pipeline(), GST_FORMAT_TIME, &ns) && ns >= 0) {
            *lengthMs = NsToMs(ns);
        } else {
            rc = chain.RunToEnd(kDecodeTimeout);
            if (rc == kAudioOk) *lengthMs = NsToMs(int64_t(counter.TotalNs()));
        }
    }
    chain.Teardown();  // stops the streaming threads before the counter goes away
    return rc;
}

}  // namespace

int MeasureLengthNow(const std::string& path, int* lengthMs) {
    *lengthMs = 0;
    EnsureAudioRuntime();
    if (!IsReadableFile(path)) return kAudioFileNotFound;
    // MIDI never goes through GStreamer: its MIDI parser mistimes tempo changes.
    if (FileLooksLikeMidi(path)) {
        std::vector<uint8_t> smf;
        if (!LoadMidiFile(path, &smf)) return kAudioUnsupported;
        return MeasureMidi(smf, lengthMs);
    }
    // Uncompressed WAV from its header: the data chunk as far as the file holds it.
    WavInfo wav;
    switch (ReadWavFileHeader(path, &wav)) {
        case WavKind::kPcm: *lengthMs = NsToMs(wav.durationNs); return kAudioOk;
        case WavKind::kDamaged: return kAudioUnsupported;
        case WavKind::kOther: break;
    }
    int rc = MeasureDecoded(path, lengthMs);
    if (rc != kAudioOk) *lengthMs = 0;
    return rc;
}

}  // namespace audio

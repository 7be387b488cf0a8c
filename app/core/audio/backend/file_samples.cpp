#include "audio/backend/file_samples.h"

#include <gst/gst.h>

#include <cstdint>
#include <memory>

#include "audio/audio_result.h"
#include "audio/backend/decode_chain.h"
#include "audio/backend/midi_source.h"
#include "audio/backend/runtime.h"
#include "audio/backend/sample_sink.h"
#include "audio/midi_file.h"

namespace audio {
namespace {

constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;
constexpr GstClockTime kDecodeTimeout = 120 * GST_SECOND;

}  // namespace

int DecodeSamplesNow(const std::string& path, int rate, std::vector<float>* samples, std::string* error) {
    samples->clear();
    EnsureAudioRuntime();
    if (rate <= 0) {
        *error = "no sampling rate";
        return kAudioFailed;
    }
    if (!IsReadableFile(path)) {
        *error = "the audio file does not exist";
        return kAudioFileNotFound;
    }
    SampleSink sink;
    GstElement* stage = sink.Make(rate, false);
    if (!stage) {
        *error = "audioconvert, audioresample or appsink is missing";
        return kAudioFailed;
    }
    // MIDI goes through the player's own synthesizer, as when it is played.
    std::unique_ptr<MidiSource> midi;
    GstElement* midiSrc = nullptr;
    int rc = kAudioOk;
    if (FileLooksLikeMidi(path)) {
        std::vector<uint8_t> smf;
        int64_t us = 0;
        if (!LoadMidiFile(path, &smf) || SmfDurationUs(smf.data(), smf.size(), &us) != kAudioOk) {
            gst_object_unref(gst_object_ref_sink(stage));
            *error = "the MIDI file does not parse";
            return kAudioUnsupported;
        }
        midi = std::make_unique<MidiSource>();
        midiSrc = midi->Start(smf, us, &rc);
        if (!midiSrc) {
            gst_object_unref(gst_object_ref_sink(stage));
            *error = "no soundfont or synthesizer renders MIDI";
            return rc;
        }
    }
    DecodeChain chain;
    rc = midiSrc ? chain.BuildFromSource(midiSrc, stage) : chain.Build(path, stage);
    if (rc == kAudioOk) rc = chain.Preroll(kPrerollTimeout);
    if (rc == kAudioOk) rc = chain.RunToEnd(kDecodeTimeout);
    chain.Teardown();  // the streaming threads are done with the sink before it goes
    if (midi) midi->Stop();
    if (rc != kAudioOk) {
        *error = rc == kAudioTimeout ? "decoding took too long" : "the file does not decode";
        return rc;
    }
    *samples = sink.Take();
    return kAudioOk;
}

}  // namespace audio

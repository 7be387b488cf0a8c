#include "audio/backend/gst_player.h"

#include <cstdlib>
#include <vector>

#include "audio/audio_length.h"
#include "audio/audio_result.h"
#include "audio/backend/decode_chain.h"
#include "audio/backend/first_buffer_stamp.h"
#include "audio/backend/length_by_content.h"
#include "audio/media_player.h"
#include "audio/midi_file.h"
#include "audio/backend/midi_source.h"
#include "audio/backend/runtime.h"
#include "audio/backend/sink_stage.h"

namespace audio {
namespace {
// Pre-roll decodes the first buffer; a healthy file takes milliseconds.
constexpr GstClockTime kOpenTimeout = 5 * GST_SECOND;
}  // namespace

GstPlayer::GstPlayer() = default;

GstPlayer::~GstPlayer() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

int GstPlayer::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return OpenLocked(path);
}

int GstPlayer::OpenLocked(const std::string& path) {
    CloseLocked();
    EnsureAudioRuntime();
    if (!IsReadableFile(path)) return kAudioFileNotFound;

    std::vector<uint8_t> smf;
    int64_t midiUs = 0;
    const bool midi = FileLooksLikeMidi(path);
    if (midi && (!LoadMidiFile(path, &smf) || SmfDurationUs(smf.data(), smf.size(), &midiUs) != kAudioOk))
        return kAudioUnsupported;
    openName_ = path;
    lengthMs_ = midi ? NsToMs(midiUs * 1000) : -1;

    AudioOutput out;
    std::string error;
    int rc = MakeAudioOutput(&out, &error);
    if (rc != kAudioOk) {
        // Nothing to play into, but the file can still be measured.
        open_ = true;
        return rc;
    }
    stamp_ = std::make_unique<FirstBufferStamp>();
    if (const char* log = std::getenv("SONMIRA_PLAY_LOG")) stamp_->logPath = log;
    stamp_->file = path;
    stamp_->Attach(out.sinkPad);
    gst_object_unref(out.sinkPad);

    GstElement* midiSrc = nullptr;
    if (midi) {
        if (!midiSource_) midiSource_ = std::make_unique<MidiSource>();
        midiSrc = midiSource_->Start(smf, midiUs, &rc);
        if (!midiSrc) {
            // No soundfont or synthesizer: silent, but the length is known.
            DiscardAudioOutput(out.bin);
            stamp_.reset();
            open_ = true;
            return rc;
        }
    }
    chain_ = std::make_unique<DecodeChain>();
    rc = midiSrc ? chain_->BuildFromSource(midiSrc, out.bin) : chain_->Build(path, out.bin);
    if (rc == kAudioOk) {
        // A sound server's clock stands still while the file waits
        // pre-rolled: the end of the sound is told by the system clock.
        GstClock* clock = gst_system_clock_obtain();
        gst_pipeline_use_clock(GST_PIPELINE(chain_->Pipeline()), clock);
        gst_object_unref(clock);
        rc = chain_->Preroll(kOpenTimeout);
    }
    if (rc != kAudioOk) {
        CloseLocked();
        return rc;
    }
    open_ = true;
    return kAudioOk;
}

int GstPlayer::GetLength() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return 0;
    if (lengthMs_ < 0) {
        int ms = 0;
        MeasureLengthNow(openName_, &ms);
        lengthMs_ = ms;
    }
    return lengthMs_;
}

int GstPlayer::GetMode() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return 0;
    if (!chain_ || !played_ || chain_->PlayedOut()) return audio::kModeStop;
    return audio::kModePlay;
}

int GstPlayer::Play() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return kAudioNotOpen;
    if (!chain_) return kAudioNoOutput;
    if (played_) {
        // Always from the start: a fresh pre-rolled pipeline is the cheapest rewind.
        std::string path = openName_;
        int rc = OpenLocked(path);
        if (rc != kAudioOk) return rc;
    }
    played_ = true;
    int rc = chain_->Start();
    stamp_->OnPlaying();
    return rc;
}

int GstPlayer::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return kAudioNotOpen;
    CloseLocked();
    return kAudioOk;
}

void GstPlayer::CloseLocked() {
    if (chain_) chain_->Teardown();  // joins the streaming threads before their data goes
    chain_.reset();
    if (midiSource_) midiSource_->Stop();
    stamp_.reset();
    open_ = false;
    played_ = false;
    lengthMs_ = -1;
}

}  // namespace audio

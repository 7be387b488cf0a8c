#include "media_player.h"

#include <cstdlib>
#include <vector>

#include "audio_length.h"
#include "audio_output.h"
#include "audio_result.h"
#include "decode_chain.h"
#include "midi_file.h"
#include "midi_source.h"
#include "play_log.h"

using namespace audio;

namespace {
// Pre-roll decodes the first buffer; a healthy file takes milliseconds.
constexpr GstClockTime kOpenTimeout = 5 * GST_SECOND;
}  // namespace

CMyMediaPlayer::CMyMediaPlayer() = default;

CMyMediaPlayer::~CMyMediaPlayer() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

void CMyMediaPlayer::SetFileName(const std::string& fileName) {
    std::lock_guard<std::mutex> lock(mutex_);
    fileName_ = fileName;
}

int CMyMediaPlayer::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string path = fileName_;
    return OpenLocked(path);
}

int CMyMediaPlayer::OpenLocked(const std::string& path) {
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
    if (rc == kAudioOk) rc = chain_->Preroll(kOpenTimeout);
    if (rc != kAudioOk) {
        CloseLocked();
        return rc;
    }
    open_ = true;
    return kAudioOk;
}

int CMyMediaPlayer::GetLength() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return 0;
    if (lengthMs_ < 0) {
        int ms = 0;
        MeasureAudioLength(openName_, &ms);
        lengthMs_ = ms;
    }
    return lengthMs_;
}

int CMyMediaPlayer::GetMode() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return 0;
    if (!chain_ || !played_ || chain_->PlayedOut()) return kModeStop;
    return kModePlay;
}

int CMyMediaPlayer::Play() {
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

int CMyMediaPlayer::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return kAudioNotOpen;
    CloseLocked();
    return kAudioOk;
}

void CMyMediaPlayer::CloseLocked() {
    if (chain_) chain_->Teardown();  // joins the streaming threads before their data goes
    chain_.reset();
    if (midiSource_) midiSource_->Stop();
    stamp_.reset();
    open_ = false;
    played_ = false;
    lengthMs_ = -1;
}

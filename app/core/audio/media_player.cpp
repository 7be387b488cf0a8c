#include "audio/media_player.h"

#include "audio/audio_result.h"
#include "audio/sound_backend.h"

namespace audio {

CMyMediaPlayer::CMyMediaPlayer() = default;

CMyMediaPlayer::~CMyMediaPlayer() = default;

void CMyMediaPlayer::SetFileName(const std::string& fileName) {
    std::lock_guard<std::mutex> lock(mutex_);
    fileName_ = fileName;
}

int CMyMediaPlayer::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!player_) {
        ISoundBackend* backend = SoundBackend();
        if (!backend) return kAudioNoOutput;
        player_ = backend->NewPlayer();
    }
    return player_->Open(fileName_);
}

int CMyMediaPlayer::GetLength() {
    std::lock_guard<std::mutex> lock(mutex_);
    return player_ ? player_->GetLength() : 0;
}

int CMyMediaPlayer::GetMode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return player_ ? player_->GetMode() : 0;
}

int CMyMediaPlayer::Play() {
    std::lock_guard<std::mutex> lock(mutex_);
    return player_ ? player_->Play() : kAudioNotOpen;
}

int CMyMediaPlayer::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    return player_ ? player_->Close() : kAudioNotOpen;
}

}  // namespace audio

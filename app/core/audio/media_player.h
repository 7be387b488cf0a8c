// The audio player: measures audio files and plays one at a time through the
// sound output, without blocking the caller.
//
// Thread contract: any one thread at a time may call it (the user-interface
// thread to measure, the programming worker to play); every call is guarded
// by the player's own lock. No GLib main loop is needed: the player waits on
// its pipeline itself, and the sound runs on GStreamer's threads.
//
// Making one costs nothing: the sound back end (sound_backend.h) is loaded
// by the first Open. Without it Open says kAudioNoOutput and nothing is open.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace audio {

class ISoundPlayer;

// Mode codes as the programming worker expects them.
constexpr int kModePlay = 526;  // playing
constexpr int kModeStop = 525;  // open, not playing (before Play, or finished by itself)

class CMyMediaPlayer {
public:
    CMyMediaPlayer();
    virtual ~CMyMediaPlayer();
    CMyMediaPlayer(const CMyMediaPlayer&) = delete;
    CMyMediaPlayer& operator=(const CMyMediaPlayer&) = delete;

    // All results are audio::AudioResult codes; callers may ignore them.
    void SetFileName(const std::string& fileName);
    // Opens the file set last and pre-rolls it, so that Play only has to start
    // the clock. With no sound output the file is still open for GetLength
    // (kAudioNoOutput). Anything open before is closed first.
    int Open();
    // Length in ms as rendered; 0 when nothing is open or it cannot be measured.
    int GetLength();
    // kModePlay while the sound is still being rendered (until end-of-stream
    // has reached the output and the clock has passed the sound's end, so a
    // play lasts the file's length whatever the output syncs on), kModeStop
    // when open and silent, 0 when nothing is open.
    int GetMode();
    // Plays from the start to the end and returns at once.
    int Play();
    // Stops, then closes (only when the stop succeeded). kAudioNotOpen when
    // nothing is open.
    int Close();

private:
    std::mutex mutex_;
    std::string fileName_;
    std::unique_ptr<audio::ISoundPlayer> player_;  // made by the first Open
};

}  // namespace audio

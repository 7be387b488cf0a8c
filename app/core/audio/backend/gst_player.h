// The player behind CMyMediaPlayer (media_player.h): a GStreamer pipeline
// per open file, MIDI through FluidSynth. Every call is guarded by its own
// lock; the sound runs on GStreamer's threads.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "audio/sound_backend.h"

namespace audio {

class DecodeChain;
class MidiSource;
struct FirstBufferStamp;

class GstPlayer : public ISoundPlayer {
public:
    GstPlayer();
    ~GstPlayer() override;
    GstPlayer(const GstPlayer&) = delete;
    GstPlayer& operator=(const GstPlayer&) = delete;

    int Open(const std::string& path) override;
    int GetLength() override;
    int GetMode() override;
    int Play() override;
    int Close() override;

private:
    int OpenLocked(const std::string& path);
    void CloseLocked();

    std::mutex mutex_;
    std::string openName_;  // the file that is open, for measuring and the play log
    bool open_ = false;
    bool played_ = false;
    int lengthMs_ = -1;  // measured lazily: Open must stay fast
    std::unique_ptr<DecodeChain> chain_;
    std::unique_ptr<MidiSource> midiSource_;
    std::unique_ptr<FirstBufferStamp> stamp_;
};

}  // namespace audio

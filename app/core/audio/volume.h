// Wave output volume: the level 0..15 of the configuration (WavVal), the
// 32-bit volume word (left channel in the low 16 bits, right in the high),
// and the start-up / dialog / exit sequence over a mixer.
#pragma once

#include <cstdint>

namespace audio {

constexpr int kWavValMax = 15;
constexpr int kLevelPerWavVal = 17;  // 15 x 17 = 255, the top of a channel's high byte
constexpr uint32_t kSavedVolumeWhenZero = 15;

// Both channels at level × 256: (level << 8) | (level << 24). level is
// clamped to 0..255 so that it can never spill into the other channel.
uint32_t VolumeWordForLevel(int level);
int LevelForWavVal(int wavVal);                   // wavVal clamped to 0..15, times 17
int WavValForLevel(int level);                    // integer division by 17, clamped to 0..15
uint32_t SavedDeviceVolume(uint32_t deviceWord);  // 15 when the device reads 0

// The WavVal to use from the configuration's raw value.
//  - present, 0..15: as is;
//  - present, out of range: clamped to 0..15;
//  - missing: the level nearest to the device's present volume (the mean of
//    its two channels), so that starting without a setting changes nothing
//    audible; a device that reads 0 (silent or unreadable) gets 15, since a
//    programming run must hear the sound.
int WavLevelFromConfig(bool present, int64_t rawValue, uint32_t deviceWord);

// The platform's output volume. Failures are quiet: false, nothing printed.
class IMixer {
public:
    virtual ~IMixer() = default;
    virtual bool GetVolumeWord(uint32_t* word) = 0;
    virtual bool SetVolumeWord(uint32_t word) = 0;
};

// The program's volume state: applied at start, changed by the volume dialog,
// the device's own volume put back at exit.
class VolumeControl {
public:
    explicit VolumeControl(IMixer& mixer) : mixer_(mixer) {}

    // Reads and saves the device volume, then sets the configured level.
    // Returns the WavVal in use (to be written back when it was missing).
    int ApplyAtStart(bool present, int64_t rawValue);
    // The dialog closed with OK at this track-bar position; returns the WavVal to store.
    int SetFromDialog(int position);
    void RestoreAtExit();

    int WavVal() const { return storedLevel_ / kLevelPerWavVal; }  // the dialog's track-bar position
    int StoredLevel() const { return storedLevel_; }

private:
    IMixer& mixer_;
    uint32_t saved_ = kSavedVolumeWhenZero;
    int storedLevel_ = 0;
};

}  // namespace audio

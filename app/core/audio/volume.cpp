#include "audio/volume.h"

#include <algorithm>
#include <cstdlib>

namespace audio {

uint32_t VolumeWordForLevel(int level) {
    uint32_t l = uint32_t(std::clamp(level, 0, 255));
    return (l << 8) | (l << 24);
}

int LevelForWavVal(int wavVal) { return std::clamp(wavVal, 0, kWavValMax) * kLevelPerWavVal; }

int WavValForLevel(int level) { return std::clamp(level / kLevelPerWavVal, 0, kWavValMax); }

uint32_t SavedDeviceVolume(uint32_t deviceWord) { return deviceWord ? deviceWord : kSavedVolumeWhenZero; }

int WavLevelFromConfig(bool present, int64_t rawValue, uint32_t deviceWord) {
    if (present) return int(std::clamp<int64_t>(rawValue, 0, kWavValMax));
    uint32_t mean = ((deviceWord & 0xFFFF) + (deviceWord >> 16)) / 2;
    if (mean == 0) return kWavValMax;
    int best = 0;
    for (int v = 1; v <= kWavValMax; ++v) {
        long d = std::labs(long(v) * kLevelPerWavVal * 256 - long(mean));
        long b = std::labs(long(best) * kLevelPerWavVal * 256 - long(mean));
        if (d < b) best = v;
    }
    return best;
}

int VolumeControl::ApplyAtStart(bool present, int64_t rawValue) {
    uint32_t word = 0;
    if (!mixer_.GetVolumeWord(&word)) word = 0;
    saved_ = SavedDeviceVolume(word);
    int wavVal = WavLevelFromConfig(present, rawValue, word);
    storedLevel_ = LevelForWavVal(wavVal);
    mixer_.SetVolumeWord(VolumeWordForLevel(storedLevel_));
    return wavVal;
}

int VolumeControl::SetFromDialog(int position) {
    int wavVal = std::clamp(position, 0, kWavValMax);
    storedLevel_ = LevelForWavVal(wavVal);
    mixer_.SetVolumeWord(VolumeWordForLevel(storedLevel_));
    return wavVal;
}

void VolumeControl::RestoreAtExit() { mixer_.SetVolumeWord(saved_); }

}  // namespace audio

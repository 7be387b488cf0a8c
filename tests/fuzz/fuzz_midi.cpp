// Any bytes as a MIDI file (bare or RMID-wrapped): reading never crashes, and
// an accepted length is no longer than the bytes can express: every delta
// they could hold, summed, at the slowest tempo they could set.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/audio_result.h"
#include "audio/midi_file.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The variable-length quantity starting at data[at], if one ends within four bytes.
bool VlqAt(const uint8_t* data, size_t size, size_t at, uint32_t* value) {
    uint32_t v = 0;
    for (size_t i = at; i < size && i < at + 4; ++i) {
        v = (v << 7) | (data[i] & 0x7F);
        if (!(data[i] & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

// Real deltas start at distinct offsets, so the sum of the quantities at
// every offset is at least the last event's tick of any track.
uint64_t MostTicks(const uint8_t* data, size_t size) {
    uint64_t sum = 0;
    uint32_t v;
    for (size_t i = 0; i < size; ++i)
        if (VlqAt(data, size, i, &v)) sum += v;
    return sum;
}

// The largest tempo of any FF 51 event the bytes could hold, or the default.
uint32_t SlowestTempo(const uint8_t* data, size_t size) {
    uint32_t slowest = 500000;
    for (size_t i = 0; i + 2 < size; ++i) {
        if (data[i] != 0xFF || data[i + 1] != 0x51) continue;
        for (size_t at = i + 3; at + 3 <= size && at <= i + 6; ++at)  // after a length of 1 to 4 bytes
            slowest = std::max(slowest, (uint32_t(data[at]) << 16) | (uint32_t(data[at + 1]) << 8) | data[at + 2]);
    }
    return slowest;
}

long double BoundUs(const uint8_t* smf, size_t size) {
    const uint16_t division = uint16_t((smf[12] << 8) | smf[13]);
    long double usPerTick;
    if (division & 0x8000) {
        const int fps = -int(int8_t(division >> 8));
        usPerTick = 1e6L / ((fps == 29 ? 30000.0L / 1001.0L : fps) * (division & 0xFF));
    } else {
        usPerTick = (long double)SlowestTempo(smf, size) / division;
    }
    return std::min(MostTicks(smf, size) * usPerTick, 2147483647.0L * 1000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> smf;
    const bool midi = audio::ExtractSmf(data, size, &smf);
    if (!midi) smf.assign(data, data + size);  // the length reader must refuse it on its own
    int64_t us = -1;
    const int rc = audio::SmfDurationUs(smf.data(), smf.size(), &us);
    Check(rc == audio::kAudioOk || rc == audio::kAudioUnsupported);
    if (rc != audio::kAudioOk) {
        Check(us == 0);
        return 0;
    }
    Check(smf.size() >= 14 && us >= 0);
    Check(us <= BoundUs(smf.data(), smf.size()) + 1);
    return 0;
}

#include "audio/midi_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio/audio_result.h"

namespace audio {
namespace {

constexpr uint32_t kDefaultTempo = 500000;   // µs per quarter note: 120 bpm
constexpr uint64_t kTickLimit = 1ull << 40;  // keeps the arithmetic finite on garbage deltas

uint32_t Be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Variable-length quantity: at most four bytes of seven bits each.
bool ReadVlq(const uint8_t* data, size_t end, size_t* pos, uint32_t* value) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (*pos >= end) return false;
        uint8_t b = data[(*pos)++];
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

struct Tempo {
    uint64_t tick;
    uint32_t usPerQuarter;
};

// One MTrk chunk body in [begin, end). Returns the tick of its last complete
// event; *damaged is set when it stopped at damage rather than at the end of
// the track or of its bytes.
uint64_t ScanTrack(const uint8_t* data, size_t begin, size_t end, std::vector<Tempo>* tempos, bool* damaged) {
    size_t pos = begin;
    uint64_t tick = 0, lastTick = 0;
    uint8_t running = 0;
    *damaged = true;
    while (pos < end) {
        uint32_t delta;
        if (!ReadVlq(data, end, &pos, &delta) || pos >= end) return lastTick;
        tick = std::min(tick + delta, kTickLimit);
        uint8_t status = data[pos];
        if (status & 0x80) {
            ++pos;
        } else if (running) {
            status = running;
        } else {
            return lastTick;  // data byte without a status to run on
        }
        if (status == 0xFF) {
            if (pos >= end) return lastTick;
            uint8_t type = data[pos++];
            uint32_t len;
            if (!ReadVlq(data, end, &pos, &len) || len > end - pos) return lastTick;
            if (type == 0x51) {
                uint32_t t =
                    len >= 3 ? (uint32_t(data[pos]) << 16) | (uint32_t(data[pos + 1]) << 8) | data[pos + 2] : 0;
                if (t == 0) return lastTick;  // no time passes at tempo 0: nothing after it can be timed
                tempos->push_back({tick, t});
            }
            pos += len;
            running = 0;
            lastTick = tick;
            if (type == 0x2F) break;  // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!ReadVlq(data, end, &pos, &len) || len > end - pos) return lastTick;
            pos += len;
            running = 0;
            lastTick = tick;
        } else if (status >= 0xF0) {
            return lastTick;  // system common/real-time bytes do not belong in a file
        } else {
            size_t n = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (n > end - pos) return lastTick;
            pos += n;
            running = status;
            lastTick = tick;
        }
    }
    *damaged = false;
    return lastTick;
}

}  // namespace

bool LooksLikeMidi(const uint8_t* data, size_t size) {
    if (size >= 4 && std::memcmp(data, "MThd", 4) == 0) return true;
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0;
}

bool FileLooksLikeMidi(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return LooksLikeMidi(head, got);
}

bool LoadMidiFile(const std::string& path, std::vector<uint8_t>* smf) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    if (!LooksLikeMidi(head, got)) {
        std::fclose(f);
        return false;
    }
    std::vector<uint8_t> bytes(head, head + got);
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    if (std::memcmp(bytes.data(), "MThd", 4) == 0) {
        smf->swap(bytes);
        return true;
    }
    return ExtractSmf(bytes.data(), bytes.size(), smf);
}

bool ExtractSmf(const uint8_t* data, size_t size, std::vector<uint8_t>* smf) {
    smf->clear();
    if (!LooksLikeMidi(data, size)) return false;
    if (std::memcmp(data, "MThd", 4) == 0) {
        smf->assign(data, data + size);
        return true;
    }
    // RIFF RMID: the SMF is the body of the "data" chunk.
    size_t pos = 12;
    while (pos + 8 <= size) {
        uint32_t len = Le32(data + pos + 4);
        size_t body = pos + 8;
        size_t avail = size - body;
        if (std::memcmp(data + pos, "data", 4) == 0) {
            if (std::min<size_t>(len, avail) < 4 || std::memcmp(data + body, "MThd", 4) != 0) return false;
            smf->assign(data + body, data + body + std::min<size_t>(len, avail));
            return true;
        }
        if (len > avail) break;
        pos = body + len + (len & 1);
    }
    return false;
}

int SmfDurationUs(const uint8_t* data, size_t size, int64_t* durationUs) {
    *durationUs = 0;
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return kAudioUnsupported;
    uint32_t headerLen = Be32(data + 4);
    if (headerLen < 6 || headerLen > size - 8) return kAudioUnsupported;
    uint16_t trackCount = Be16(data + 10);
    uint16_t division = Be16(data + 12);
    if (division == 0) return kAudioUnsupported;

    std::vector<Tempo> tempos;
    uint64_t lastTick = 0;
    size_t pos = 8 + size_t(headerLen);
    for (unsigned seen = 0; seen < trackCount && pos + 8 <= size;) {
        uint32_t len = Be32(data + pos + 4);
        size_t body = pos + 8;
        size_t end = body + std::min<size_t>(len, size - body);  // truncated file: read what is there
        if (std::memcmp(data + pos, "MTrk", 4) == 0) {
            bool damaged = false;
            lastTick = std::max(lastTick, ScanTrack(data, body, end, &tempos, &damaged));
            if (damaged) break;  // what follows damage is not trusted
            ++seen;
        }
        pos = end;
    }

    long double us = 0;
    if (division & 0x8000) {
        // SMPTE time: frames per second in the high byte (negated), ticks per frame in the low.
        int fps = -int(int8_t(division >> 8));
        int perFrame = division & 0xFF;
        if (fps <= 0 || perFrame == 0) return kAudioUnsupported;
        long double ticksPerSecond = (fps == 29 ? 30000.0L / 1001.0L : fps) * perFrame;
        us = lastTick * 1e6L / ticksPerSecond;
    } else {
        std::stable_sort(tempos.begin(), tempos.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
        uint64_t at = 0;
        uint32_t tempo = kDefaultTempo;
        for (const Tempo& t : tempos) {
            if (t.tick >= lastTick) break;
            us += (long double)(t.tick - at) * tempo / division;
            at = t.tick;
            tempo = t.usPerQuarter;
        }
        us += (long double)(lastTick - at) * tempo / division;
    }
    // Past INT_MAX ms the length means nothing to anybody: saturate there.
    constexpr long double kMaxUs = 2147483647.0L * 1000;
    *durationUs = int64_t(std::min(us, kMaxUs) + 0.5L);
    return kAudioOk;
}

}  // namespace audio

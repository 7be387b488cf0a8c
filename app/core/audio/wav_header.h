// The length of an uncompressed RIFF WAVE file from its header, so that a
// length never claims more sound than the file's data chunk holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace audio {

enum class WavKind {
    kPcm,      // integer or float PCM: *info describes it
    kOther,    // not RIFF WAVE, compressed, or a header this reader leaves to the decoder
    kDamaged,  // RIFF WAVE whose header cannot give a length: the file is refused
};

struct WavInfo {
    uint32_t rate = 0;
    uint16_t blockAlign = 0;
    size_t fmtAt = 0;        // offset of the "fmt " chunk's body
    size_t dataAt = 0;       // offset of the "data" chunk's body
    uint64_t dataBytes = 0;  // whole frames of the data chunk that lie in the file
    int64_t durationNs = 0;  // dataBytes as time, rounded up to the nanosecond
};

// head: the file's first bytes (all of it, or the start of it); fileSize: the
// whole file's size. A data chunk longer than the file counts only what is in
// the file. A chunk beyond head but within the file gives kOther.
WavKind ReadWavHeader(const uint8_t* head, size_t headSize, uint64_t fileSize, WavInfo* info);

// The same on a file, reading its first 64 KiB.
WavKind ReadWavFileHeader(const std::string& path, WavInfo* info);

}  // namespace audio

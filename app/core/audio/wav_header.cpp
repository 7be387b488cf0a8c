#include "audio/wav_header.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace audio {
namespace {

constexpr size_t kHeadBytes = 65536;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// The fmt chunk body [p, p + len): kPcm with rate and block size, or why not.
WavKind ReadFmt(const uint8_t* p, uint32_t len, WavInfo* info) {
    if (len < 16) return WavKind::kDamaged;
    uint16_t format = Le16(p);
    const uint16_t channels = Le16(p + 2);
    const uint32_t rate = Le32(p + 4);
    const uint16_t blockAlign = Le16(p + 12);
    const uint16_t bits = Le16(p + 14);
    if (format == kFormatExtensible) {
        if (len < 40) return WavKind::kDamaged;
        format = Le16(p + 24);  // the sub-format GUID starts with the format tag
    }
    if (format != kFormatPcm && format != kFormatFloat) return WavKind::kOther;
    if (channels == 0 || rate == 0 || bits == 0 || blockAlign == 0) return WavKind::kDamaged;
    // A block that is not one sample per channel is left to the decoder.
    if (blockAlign != uint32_t(channels) * ((bits + 7u) / 8u)) return WavKind::kOther;
    info->rate = rate;
    info->blockAlign = blockAlign;
    return WavKind::kPcm;
}

}  // namespace

WavKind ReadWavHeader(const uint8_t* head, size_t headSize, uint64_t fileSize, WavInfo* info) {
    *info = WavInfo{};
    if (headSize > fileSize) headSize = size_t(fileSize);
    if (headSize < 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return WavKind::kOther;
    bool haveFmt = false;
    uint64_t pos = 12;
    while (pos + 8 <= fileSize) {
        if (pos + 8 > headSize) return WavKind::kOther;
        const uint8_t* chunk = head + pos;
        const uint32_t len = Le32(chunk + 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt) return WavKind::kDamaged;
            const uint64_t inFile = std::min<uint64_t>(len, fileSize - body);
            info->dataAt = size_t(body);
            info->dataBytes = inFile / info->blockAlign * info->blockAlign;
            const uint64_t frames = info->dataBytes / info->blockAlign;
            // frames < 2^32, so frames * 10^9 stays below 2^62.
            info->durationNs = int64_t((frames * 1000000000ull + info->rate - 1) / info->rate);
            return WavKind::kPcm;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFmt) {
            if (body + len > fileSize) return WavKind::kDamaged;
            if (body + len > headSize) return WavKind::kOther;
            const WavKind fmt = ReadFmt(head + body, len, info);
            if (fmt != WavKind::kPcm) return fmt;
            info->fmtAt = size_t(body);
            haveFmt = true;
        }
        pos = body + len + (len & 1);
    }
    return WavKind::kDamaged;  // no data chunk in the file
}

WavKind ReadWavFileHeader(const std::string& path, WavInfo* info) {
    *info = WavInfo{};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return WavKind::kOther;
    struct stat st {};
    std::vector<uint8_t> head(kHeadBytes);
    size_t got = 0;
    if (fstat(fileno(f), &st) == 0) got = std::fread(head.data(), 1, head.size(), f);
    std::fclose(f);
    if (got == 0 || st.st_size < 0) return WavKind::kOther;
    return ReadWavHeader(head.data(), got, uint64_t(st.st_size), info);
}

}  // namespace audio

// Any bytes as a WAV file: reading the header never crashes, and a length it
// gives is that of whole frames of a data chunk that lie in the bytes, at the
// rate and block size of the fmt chunk it names. Reading only the start of
// the same bytes gives the same answer or leaves it open.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/wav_header.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using audio::WavKind;
    audio::WavInfo info;
    const WavKind kind = audio::ReadWavHeader(data, size, size, &info);
    if (kind == WavKind::kPcm) {
        Check(info.rate > 0 && info.blockAlign > 0);
        Check(info.fmtAt >= 20 && info.fmtAt + 16 <= size && std::memcmp(data + info.fmtAt - 8, "fmt ", 4) == 0);
        Check(Le32(data + info.fmtAt + 4) == info.rate && Le16(data + info.fmtAt + 12) == info.blockAlign);
        Check(info.dataAt >= 20 && info.dataAt <= size && std::memcmp(data + info.dataAt - 8, "data", 4) == 0);
        Check(info.dataBytes <= size - info.dataAt && info.dataBytes <= Le32(data + info.dataAt - 4));
        Check(info.dataBytes % info.blockAlign == 0);
        const uint64_t frames = info.dataBytes / info.blockAlign;
        // The time of those frames, rounded up to the nanosecond.
        const uint64_t ns = uint64_t(info.durationNs), wanted = frames * 1000000000ull;
        Check(info.durationNs >= 0 && ns * info.rate >= wanted && (ns == 0 || (ns - 1) * info.rate < wanted));
    } else {
        Check(info.durationNs == 0 && info.dataBytes == 0);
    }
    for (size_t head : {size_t(0), size / 2, size > 44 ? size_t(44) : size}) {
        audio::WavInfo part;
        const WavKind partKind = audio::ReadWavHeader(data, head, size, &part);
        if (partKind == WavKind::kOther) continue;
        Check(partKind == kind);
        if (kind == WavKind::kPcm) Check(part.durationNs == info.durationNs && part.dataAt == info.dataAt);
    }
    return 0;
}

// Lengths of uncompressed WAV files from their headers: never more sound than
// the data chunk holds in the file, and headers that give no length refused.
#include "audio/wav_header.h"

#include "audio_files.h"
#include "audio/audio_length.h"
#include "audio/audio_result.h"

using namespace audio;

namespace {

void Le(std::vector<uint8_t>& v, uint32_t x, int n) {
    for (int i = 0; i < n; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

void Chunk(std::vector<uint8_t>& v, const char* id, uint32_t len) {
    v.insert(v.end(), id, id + 4);
    Le(v, len, 4);
}

// "fmt " chunk: tag, channels, rate, block size, bits.
void Fmt(std::vector<uint8_t>& v, uint16_t tag, uint16_t channels, uint32_t rate, uint16_t block, uint16_t bits) {
    Chunk(v, "fmt ", 16);
    Le(v, tag, 2);
    Le(v, channels, 2);
    Le(v, rate, 4);
    Le(v, rate * block, 4);
    Le(v, block, 2);
    Le(v, bits, 2);
}

std::vector<uint8_t> Riff() { return {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}; }

// 16-bit mono at 8 kHz whose data chunk declares `declared` bytes and holds `held`.
std::vector<uint8_t> Mono16(uint32_t declared, size_t held) {
    std::vector<uint8_t> v = Riff();
    Fmt(v, 1, 1, 8000, 2, 16);
    Chunk(v, "data", declared);
    v.resize(v.size() + held, 0x11);
    return v;
}

WavKind Read(const std::vector<uint8_t>& v, WavInfo* info) { return ReadWavHeader(v.data(), v.size(), v.size(), info); }

}  // namespace

TEST(WavHeader, lengthFromWholeFramesInTheFile) {
    WavInfo info;
    ASSERT_EQ(Read(Mono16(16000, 16000), &info), WavKind::kPcm);
    EXPECT_EQ(info.durationNs, 1000000000);
    EXPECT_EQ(info.dataAt, 44u);
    EXPECT_EQ(info.fmtAt, 20u);

    // A data chunk longer than the file (cut, or written as a stream): what is there.
    for (uint32_t declared : {16000u, 0xFFFFFFFFu}) {
        ASSERT_EQ(Read(Mono16(declared, 1001), &info), WavKind::kPcm);
        EXPECT_EQ(info.dataBytes, 1000u);  // the odd byte is no whole frame
        EXPECT_EQ(info.durationNs, 62500000);
    }
    // Rounded up to the nanosecond; stereo 24-bit extensible after an odd-length chunk and its pad byte.
    std::vector<uint8_t> v = Riff();
    Chunk(v, "LIST", 3);
    v.insert(v.end(), {'a', 'b', 'c', 0});
    Chunk(v, "fmt ", 40);
    Le(v, 0xFFFE, 2);
    Le(v, 2, 2);
    Le(v, 44100, 4);
    Le(v, 44100 * 6, 4);
    Le(v, 6, 2);
    Le(v, 24, 2);
    Le(v, 22, 2);
    Le(v, 24, 2);
    Le(v, 3, 4);
    Le(v, 1, 2);  // sub-format: PCM
    v.resize(v.size() + 14, 0);
    Chunk(v, "data", 6);
    v.resize(v.size() + 6, 0);
    ASSERT_EQ(Read(v, &info), WavKind::kPcm);
    EXPECT_EQ(info.rate, 44100u);
    EXPECT_EQ(info.blockAlign, 6);
    EXPECT_EQ(info.durationNs, 22676);

    // Only the start read, the rest of the file beyond it: left open.
    std::vector<uint8_t> whole = Mono16(16000, 16000);
    EXPECT_EQ(ReadWavHeader(whole.data(), 30, whole.size(), &info), WavKind::kOther);
    EXPECT_EQ(ReadWavHeader(whole.data(), 44, whole.size(), &info), WavKind::kPcm);
    EXPECT_EQ(info.durationNs, 1000000000);
}

TEST(WavHeader, compressedOrOddLeftToTheDecoder_damagedRefused) {
    WavInfo info;
    std::vector<uint8_t> adpcm = Riff();
    Fmt(adpcm, 2, 1, 8000, 256, 4);
    Chunk(adpcm, "data", 0);
    EXPECT_EQ(Read(adpcm, &info), WavKind::kOther);
    std::vector<uint8_t> padded = Riff();  // 16 bits in 4-byte blocks
    Fmt(padded, 1, 1, 8000, 4, 16);
    Chunk(padded, "data", 0);
    EXPECT_EQ(Read(padded, &info), WavKind::kOther);
    const std::vector<uint8_t> notWave = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D'};
    EXPECT_EQ(Read(notWave, &info), WavKind::kOther);

    std::vector<std::vector<uint8_t>> damaged;
    damaged.push_back(Riff());  // no chunk at all
    std::vector<uint8_t> dataFirst = Riff();
    Chunk(dataFirst, "data", 0);
    Fmt(dataFirst, 1, 1, 8000, 2, 16);
    damaged.push_back(dataFirst);
    std::vector<uint8_t> shortFmt = Riff();
    Chunk(shortFmt, "fmt ", 14);
    shortFmt.resize(shortFmt.size() + 14, 1);
    Chunk(shortFmt, "data", 0);
    damaged.push_back(shortFmt);
    std::vector<uint8_t> zeroRate = Riff();
    Fmt(zeroRate, 1, 1, 0, 2, 16);
    Chunk(zeroRate, "data", 0);
    damaged.push_back(zeroRate);
    std::vector<uint8_t> noData = Riff();
    Fmt(noData, 1, 1, 8000, 2, 16);
    damaged.push_back(noData);
    damaged.push_back(std::vector<uint8_t>(noData.begin(), noData.end() - 1));  // fmt cut
    for (const auto& d : damaged) {
        EXPECT_EQ(Read(d, &info), WavKind::kDamaged);
        EXPECT_EQ(info.durationNs, 0);
    }

    // Through the measurement: the cut stream plays what it holds, the damaged header is refused.
    const std::string cut = audiotest::PathOf("stream.wav");
    audiotest::WriteBytes(cut, Mono16(0xFFFFFFFF, 4000));
    int ms = -1;
    EXPECT_EQ(MeasureAudioLength(cut, &ms), kAudioOk);
    EXPECT_EQ(ms, 250);
    const std::string bad = audiotest::PathOf("data_first.wav");
    audiotest::WriteBytes(bad, dataFirst);
    EXPECT_EQ(MeasureAudioLength(bad, &ms), kAudioUnsupported);
    EXPECT_EQ(ms, 0);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new audiotest::TempDirCleaner);
    return RUN_ALL_TESTS();
}

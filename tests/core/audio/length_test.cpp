// Lengths of real encoded files against their known true durations, and of
// files that are damaged, empty or misnamed.
#include "audio/audio_length.h"

#include <sys/stat.h>

#include "audio_files.h"
#include "audio/audio_result.h"
#include "audio/media_player.h"

using namespace audio;
using namespace audiotest;

namespace {

int LengthOf(const std::string& path, int* rc = nullptr) {
    int ms = -1;
    int r = MeasureAudioLength(path, &ms);
    if (rc) *rc = r;
    return ms;
}

// One MP3 frame of MPEG-1 Layer III.
constexpr int kFrameSamples = 1152;

// Frames in an MP3 file, counted by ffprobe (independent of GStreamer).
long Mp3Frames(const std::string& path) {
    return std::atol(
        RunOutput("ffprobe -v error -count_packets -show_entries stream=nb_read_packets -of csv=p=0 '" + path + "'")
            .c_str());
}

}  // namespace

TEST(Length, wavExactForEveryLayout) {
    struct Case {
        int rate, channels, bits;
        long samples;
    } cases[] = {{44100, 2, 16, 44144},
                 {8000, 1, 8, 5897},
                 {22050, 1, 16, 27221},
                 {48000, 2, 24, 96007},
                 {48000, 1, 24, 96001}};  // odd data chunks: GStreamer's pull mode plays nothing of them
    for (const Case& c : cases) {
        std::string name = "w" + std::to_string(c.rate) + "_" + std::to_string(c.channels) + ".wav";
        std::string path = MakeWav(name, c.rate, c.channels, c.samples, c.bits);
        EXPECT_EQ(LengthOf(path), RoundMs(c.samples, c.rate)) << name;
    }
}

TEST(Length, mp3WithLameHeader_exactIncludingDelayAndPadding) {
    std::string wav = MakeWav("src1001.wav", 44100, 2, 44144);   // 1001 ms
    std::string mono = MakeWav("src3200.wav", 22050, 1, 70560);  // 3200 ms
    ASSERT_TRUE(Sh("lame --quiet -b 128 '" + wav + "' '" + PathOf("cbr.mp3") + "'"));
    ASSERT_TRUE(Sh("lame --quiet -V 2 '" + wav + "' '" + PathOf("vbr.mp3") + "'"));
    ASSERT_TRUE(Sh("lame --quiet -V 5 '" + mono + "' '" + PathOf("vbr_mono.mp3") + "'"));
    EXPECT_EQ(LengthOf(PathOf("cbr.mp3")), 1001);  // not the 1045 ms of whole frames
    EXPECT_EQ(LengthOf(PathOf("vbr.mp3")), 1001);
    EXPECT_EQ(LengthOf(PathOf("vbr_mono.mp3")), 3200);
}

TEST(Length, headerlessVbrMp3_countsTheDecodedFrames) {
    std::string wav = MakeWav("src2345.wav", 44100, 2, 103415);  // 2345 ms
    std::string mp3 = PathOf("noxing.mp3");
    ASSERT_TRUE(Sh("ffmpeg -y -i '" + wav + "' -c:a libmp3lame -q:a 3 -write_xing 0 '" + mp3 + "'"));
    int ms = LengthOf(mp3);
    long frames = Mp3Frames(mp3);
    ASSERT_GT(frames, 0);
    EXPECT_NEAR(ms, frames * kFrameSamples * 1000.0 / 44100, kFrameSamples * 1000.0 / 44100);
    EXPECT_GE(ms, 2345);  // the delay and padding are played too: never shorter than the sound
}

TEST(Length, wmaWithin30ms) {
    std::string a = MakeWav("wma_src_a.wav", 44100, 2, 44144);  // 1001 ms
    std::string b = MakeWav("wma_src_b.wav", 22050, 1, 55125);  // 2500 ms
    ASSERT_TRUE(Sh("ffmpeg -y -i '" + a + "' -c:a wmav2 -b:a 128k '" + PathOf("a.wma") + "'"));
    ASSERT_TRUE(Sh("ffmpeg -y -i '" + b + "' -c:a wmav2 -b:a 64k '" + PathOf("b.wma") + "'"));
    EXPECT_NEAR(LengthOf(PathOf("a.wma")), 1001, 30);
    EXPECT_NEAR(LengthOf(PathOf("b.wma")), 2500, 30);
}

TEST(Length, midiFromTempoMap_evenUnderAnotherName) {
    Track t;
    t.Tempo(0, 500000);
    t.Event(0, {0x90, 60, 100});
    t.Event(480, {0x80, 60, 0});
    t.Tempo(0, 1000000);
    t.Event(240, {0x90, 64, 100});
    t.Event(240, {0x80, 64, 0});
    t.End(0);
    WriteBytes(PathOf("tempo.mid"), Smf(0, 480, {t}));
    WriteBytes(PathOf("tempo_as.mp3"), Smf(0, 480, {t}));
    EXPECT_EQ(LengthOf(PathOf("tempo.mid")), 1500);
    EXPECT_EQ(LengthOf(PathOf("tempo_as.mp3")), 1500);
}

TEST(Length, damagedEmptyAndMislabelled_zeroOrTrue_neverHang) {
    std::string wav = MakeWav("whole.wav", 22050, 1, 55125);  // 2500 ms
    std::vector<uint8_t> bytes = ReadBytes(wav);
    ASSERT_GT(bytes.size(), 20044u);

    // Header promises 2500 ms, the file holds 20000 bytes: what is there is what plays.
    WriteBytes(PathOf("truncated.wav"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20044));
    EXPECT_EQ(LengthOf(PathOf("truncated.wav")), RoundMs(10000, 22050));

    Sh("cp '" + wav + "' '" + PathOf("really_wav.mp3") + "'");
    EXPECT_EQ(LengthOf(PathOf("really_wav.mp3")), 2500);
    Sh("lame --quiet -b 64 '" + wav + "' '" + PathOf("really_mp3.wav") + "'");
    EXPECT_EQ(LengthOf(PathOf("really_mp3.wav")), 2500);

    // An MP3 cut in the middle plays its first part.
    std::vector<uint8_t> mp3 = ReadBytes(PathOf("really_mp3.wav"));
    WriteBytes(PathOf("cut.mp3"), std::vector<uint8_t>(mp3.begin(), mp3.begin() + mp3.size() / 2));
    int cut = LengthOf(PathOf("cut.mp3"));
    EXPECT_GT(cut, 900);
    EXPECT_LT(cut, 1600);

    int rc;
    WriteBytes(PathOf("empty.wav"), {});
    EXPECT_EQ(LengthOf(PathOf("empty.wav"), &rc), 0);
    EXPECT_EQ(rc, kAudioUnsupported);
    WriteBytes(PathOf("header_only.wav"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30));
    EXPECT_EQ(LengthOf(PathOf("header_only.wav"), &rc), 0);
    EXPECT_NE(rc, kAudioOk);
    std::vector<uint8_t> noise(50000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 2654435761u >> 13);
    WriteBytes(PathOf("noise.wma"), noise);
    EXPECT_EQ(LengthOf(PathOf("noise.wma"), &rc), 0);
    EXPECT_NE(rc, kAudioOk);
    WriteBytes(PathOf("broken.mid"), {'M', 'T', 'h', 'd', 0, 0});
    EXPECT_EQ(LengthOf(PathOf("broken.mid"), &rc), 0);
    EXPECT_EQ(rc, kAudioUnsupported);
    EXPECT_EQ(LengthOf(PathOf("no_such_file.wav"), &rc), 0);
    EXPECT_EQ(rc, kAudioFileNotFound);
    EXPECT_EQ(LengthOf(TempDir(), &rc), 0);  // a folder
    EXPECT_EQ(rc, kAudioFileNotFound);
    std::string fifo = PathOf("pipe.wav");  // reading it would block for ever
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LengthOf(fifo, &rc), 0);
    EXPECT_EQ(rc, kAudioFileNotFound);
}

TEST(Length, playerMeasuresLikeTheMeasurement) {
    std::string wav = MakeWav("p1001.wav", 44100, 2, 44144);
    audio::CMyMediaPlayer player;
    // The measuring sequence of the programming list: Close, SetFileName, Open, GetLength, Close.
    EXPECT_EQ(player.Close(), kAudioNotOpen);
    player.SetFileName(wav);
    EXPECT_EQ(player.Open(), kAudioOk);
    EXPECT_EQ(player.GetLength(), 1001);
    EXPECT_EQ(player.Close(), kAudioOk);
    EXPECT_EQ(player.GetLength(), 0);

    player.SetFileName(PathOf("missing.wav"));
    EXPECT_EQ(player.Open(), kAudioFileNotFound);
    EXPECT_EQ(player.GetLength(), 0);
    EXPECT_EQ(player.GetMode(), 0);  // nothing left open
    EXPECT_EQ(player.Close(), kAudioNotOpen);

    player.SetFileName("");  // the main window's start-up Open with no name
    EXPECT_EQ(player.Open(), kAudioFileNotFound);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TempDirCleaner);
    return RUN_ALL_TESTS();
}

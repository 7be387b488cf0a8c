// The player end to end: real files decoded by GStreamer (MIDI by FluidSynth)
// into a synchronised fake sink or a WAV capture, driven from a worker thread.
#include "audio/media_player.h"

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "audio_files.h"
#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "audio/mono_clock.h"
#include "audio/play_log.h"
#include "json_lines.h"
#include "load_margins.h"
#include "test_files.h"

using namespace audio;
using namespace audiotest;
using Clock = std::chrono::steady_clock;
using test_support::kLoadSlackMs;

namespace {

long MsSince(Clock::time_point t) {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// Polls like the programming worker does (but faster); false on time-out.
bool WaitWhilePlaying(audio::CMyMediaPlayer& p, long timeoutMs) {
    auto start = Clock::now();
    while (p.GetMode() == audio::kModePlay) {
        if (MsSince(start) > timeoutMs) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* sink = getenv("SONMIRA_AUDIO_SINK");
        savedSink_ = sink ? sink : "";
        hadSink_ = sink != nullptr;
        setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
        unsetenv("SONMIRA_PLAY_LOG");
    }
    void TearDown() override {
        if (hadSink_)
            setenv("SONMIRA_AUDIO_SINK", savedSink_.c_str(), 1);
        else
            unsetenv("SONMIRA_AUDIO_SINK");
        unsetenv("SONMIRA_PLAY_LOG");
    }
    // Plays into a WAV file in real time and returns what was captured;
    // *playedMs: from Play to the mode leaving kModePlay.
    Pcm Capture(const std::string& file, const std::string& captureName, long* playedMs = nullptr) {
        std::string out = PathOf(captureName);
        setenv("SONMIRA_AUDIO_SINK",
               ("identity sync=true ! audioconvert ! wavenc ! filesink location=" + out + " async=false").c_str(), 1);
        audio::CMyMediaPlayer p;
        p.SetFileName(file);
        EXPECT_EQ(p.Open(), kAudioOk);
        auto start = Clock::now();
        EXPECT_EQ(p.Play(), kAudioOk);
        EXPECT_TRUE(WaitWhilePlaying(p, 10000));
        if (playedMs) *playedMs = MsSince(start);
        p.Close();
        return ReadPcm16(out);
    }

private:
    std::string savedSink_;
    bool hadSink_ = false;
};

std::string MidiWithTempoChange() {
    // Organ (short release): note 1 at 0-0.25 s; at 0.5 s the tempo halves, so
    // note 2 starts at 1.0 s (0.75 s if the tempo change were ignored) and the
    // file ends at 1.5 s.
    Track t;
    t.Tempo(0, 500000);
    t.Event(0, {0xC0, 19});
    t.Event(0, {0x90, 60, 110});
    t.Event(240, {0x80, 60, 0});
    t.Tempo(240, 1000000);
    t.Event(240, {0x90, 67, 110});
    t.Event(240, {0x80, 67, 0});
    t.End(0);
    std::string path = PathOf("organ.mid");
    WriteBytes(path, Smf(0, 480, {t}));
    return path;
}

}  // namespace

TEST_F(PlayerTest, playFromWorkerThread_modeFollowsTheSound) {
    // Long enough that "returns at once" and "still playing right after"
    // hold however late a loaded machine runs the checks.
    constexpr long kLengthMs = 3000;
    std::string wav = MakeWav("3s.wav", 44100, 2, 44100 * kLengthMs / 1000);
    audio::CMyMediaPlayer player;  // built here, used from another thread, as the programming worker does
    std::thread worker([&] {
        EXPECT_EQ(player.GetMode(), 0);
        player.SetFileName(wav);
        EXPECT_EQ(player.Close(), kAudioNotOpen);
        ASSERT_EQ(player.Open(), kAudioOk);
        EXPECT_EQ(player.GetMode(), audio::kModeStop);  // pre-rolled, not yet playing
        auto start = Clock::now();
        EXPECT_EQ(player.Play(), kAudioOk);
        EXPECT_LT(MsSince(start), kLengthMs / 2);  // returns at once, not at the end
        EXPECT_EQ(player.GetMode(), audio::kModePlay);
        ASSERT_TRUE(WaitWhilePlaying(player, kLengthMs + test_support::kWaitMs));
        long played = MsSince(start);
        EXPECT_GE(played, kLengthMs - 50);
        EXPECT_LT(played, kLengthMs + kLoadSlackMs);
        EXPECT_EQ(player.GetMode(), audio::kModeStop);  // ended by itself, still open

        EXPECT_EQ(player.Play(), kAudioOk);  // again from the start
        EXPECT_EQ(player.GetMode(), audio::kModePlay);
        EXPECT_EQ(player.Close(), kAudioOk);  // stops at once
        EXPECT_EQ(player.GetMode(), 0);
        EXPECT_EQ(player.Close(), kAudioNotOpen);
        EXPECT_EQ(player.Play(), kAudioNotOpen);
    });
    worker.join();
}

TEST_F(PlayerTest, oddSizedWavDataChunk_playsToTheEnd) {
    std::string wav = MakeWav("odd.wav", 8000, 1, 3201, 8);  // 3201 bytes of data, then a pad byte
    audio::CMyMediaPlayer player;
    player.SetFileName(wav);
    ASSERT_EQ(player.Open(), kAudioOk);
    EXPECT_EQ(player.GetLength(), 400);
    auto start = Clock::now();
    player.Play();
    ASSERT_TRUE(WaitWhilePlaying(player, 5000));
    EXPECT_GE(MsSince(start), 350);
}

TEST_F(PlayerTest, captureMatchesSourceAndMeasuredLength) {
    std::string wav = MakeWav("cap.wav", 44100, 2, 22050);  // 500 ms
    Pcm source = ReadPcm16(wav);
    long played = 0;
    Pcm got = Capture(wav, "cap_out.wav", &played);
    EXPECT_GE(played, 470);
    EXPECT_LE(played, 500 + kLoadSlackMs);
    ASSERT_EQ(got.rate, 44100);
    ASSERT_EQ(got.channels, 2);
    EXPECT_EQ(got.samples.size(), source.samples.size());
    size_t n = std::min(got.samples.size(), source.samples.size());
    double diff = 0, energy = 0;
    for (size_t i = 0; i < n; ++i) {
        diff += std::pow(double(got.samples[i]) - source.samples[i], 2);
        energy += std::pow(double(source.samples[i]), 2);
    }
    EXPECT_LT(diff, energy * 1e-4) << "captured sound differs from the file";

    // An MP3 plays exactly as long as it measures.
    ASSERT_TRUE(Sh("lame --quiet -V 4 '" + MakeWav("cap_src.wav", 44100, 2, 44144) + "' '" + PathOf("cap.mp3") + "'"));
    audio::CMyMediaPlayer p;
    p.SetFileName(PathOf("cap.mp3"));
    p.Open();
    int length = p.GetLength();
    p.Close();
    Pcm mp3 = Capture(PathOf("cap.mp3"), "cap_mp3_out.wav", &played);
    EXPECT_GE(played, length - 30);
    EXPECT_LE(played, length + kLoadSlackMs);
    EXPECT_EQ(length, 1001);
    EXPECT_NEAR(mp3.Seconds() * 1000, length, 1.0);
}

// The end of play follows the clock, not the moment end-of-stream reaches the
// sink: an identity in front of a file sink hands each buffer on at its start,
// so the last one (256 ms of 8 kHz mono WAV) used to be counted as played the
// moment it began. An unsynchronised sink still takes the sound's length.
TEST_F(PlayerTest, endOfPlayFollowsRealTime_whateverTheSinkSyncsOn) {
    std::string wav = MakeWav("8k400.wav", 8000, 1, 3200);  // 6400 bytes: a 256 ms and a 144 ms buffer
    std::string one = MakeWav("8k100.wav", 8000, 1, 800);   // a single buffer
    Pcm source = ReadPcm16(wav);
    long played = 0;
    Pcm got = Capture(wav, "8k400_out.wav", &played);
    EXPECT_GE(played, 370);
    EXPECT_LE(played, 400 + kLoadSlackMs);
    EXPECT_EQ(got.rate, 8000);
    EXPECT_EQ(got.samples.size(), source.samples.size());
    Capture(one, "8k100_out.wav", &played);
    EXPECT_GE(played, 85);
    EXPECT_LE(played, 100 + kLoadSlackMs);

    setenv("SONMIRA_AUDIO_SINK", "fakesink sync=false", 1);
    audio::CMyMediaPlayer p;
    p.SetFileName(wav);
    ASSERT_EQ(p.Open(), kAudioOk);
    auto start = Clock::now();
    p.Play();
    ASSERT_TRUE(WaitWhilePlaying(p, 5000));
    EXPECT_GE(MsSince(start), 370);
}

// Plays of short WAV files used to hang now and then (about one in ten):
// end-of-stream never came and the mode stayed kModePlay. Each play must end
// within its length and a margin; the whole run is captured into one raw file,
// which must hold every sample of every play.
TEST_F(PlayerTest, manyShortPlays_eachEndsAndTheRunCapturesEverySample) {
    const std::string files[] = {MakeWav("run60.wav", 44100, 1, 2646), MakeWav("run80.wav", 44100, 1, 3528)};
    const long samples[] = {2646, 3528};
    std::string raw = PathOf("run.raw");
    setenv("SONMIRA_AUDIO_SINK",
           ("identity sync=true ! audioconvert ! audio/x-raw,format=S16LE,channels=1,rate=44100 ! filesink location=" +
            raw + " append=true async=false")
               .c_str(),
           1);
    audio::CMyMediaPlayer p;
    constexpr int kPlays = 40;
    long expectBytes = 0;
    int stuck = 0;
    for (int i = 0; i < kPlays && stuck < 2; ++i) {
        p.SetFileName(files[i % 2]);
        p.Close();
        ASSERT_EQ(p.Open(), kAudioOk);
        auto start = Clock::now();
        p.Play();
        long lengthMs = RoundMs(samples[i % 2], 44100);
        bool ended = WaitWhilePlaying(p, lengthMs + kLoadSlackMs);
        long played = MsSince(start);
        EXPECT_TRUE(ended) << "play " << i << " still playing after " << played << " ms";
        stuck += !ended;
        EXPECT_GE(played, lengthMs - 10) << "play " << i;
        expectBytes += samples[i % 2] * 2;
    }
    p.Close();
    if (!stuck) {
        EXPECT_EQ(long(ReadBytes(raw).size()), expectBytes);
    }
}

TEST_F(PlayerTest, midiRendersTempoChangeOnTimeAndStopsAtLastEvent) {
    std::string mid = MidiWithTempoChange();
    audio::CMyMediaPlayer p;
    p.SetFileName(mid);
    ASSERT_EQ(p.Open(), kAudioOk);
    EXPECT_EQ(p.GetLength(), 1500);
    p.Close();

    long played = 0;
    Pcm got = Capture(mid, "midi_out.wav", &played);
    EXPECT_GE(played, 1470);
    EXPECT_LE(played, 1500 + kLoadSlackMs);
    ASSERT_GT(got.rate, 0);
    EXPECT_NEAR(got.Seconds(), 1.5, 0.03);  // no release tail after the last event
    double note1 = got.Rms(0.02, 0.23), gap = got.Rms(0.80, 0.97), note2 = got.Rms(1.05, 1.45);
    EXPECT_GT(note1, 300);
    EXPECT_GT(note2, 300);
    EXPECT_LT(gap, note2 / 10) << "the second note came early: tempo change ignored";
}

TEST_F(PlayerTest, playLogStampsFirstBufferOnce) {
    EXPECT_EQ(FirstBufferLine(123456789, "/tmp/a \"b\"\\c.wav", 7),
              "{\"event\":\"first_buffer\",\"t_ns\":123456789,\"file\":\"/tmp/a \\\"b\\\"\\\\c.wav\",\"pid\":7}\n");
    EXPECT_EQ(FirstBufferLine(1, std::string("x\ty", 3), 42),
              "{\"event\":\"first_buffer\",\"t_ns\":1,\"file\":\"x\\u0009y\",\"pid\":42}\n");
    EXPECT_EQ(RecordSentLine(987654321, 12, 9),
              "{\"event\":\"record_sent\",\"t_ns\":987654321,\"row\":12,\"pid\":9}\n");
    // A file name with quotes, backslashes and control characters reads back as it was.
    const std::string odd = "/tmp/\"x\"\\y\\\tz\n\x01.wav";
    EXPECT_EQ(test_support::JsonField(FirstBufferLine(5, odd, 7), "file"), odd);
    EXPECT_EQ(test_support::JsonField(FirstBufferLine(5, odd, 7), "t_ns"), "5");

    std::string wav = MakeWav("log me.wav", 44100, 2, 4410);
    std::string log = PathOf("play.log");
    setenv("SONMIRA_PLAY_LOG", log.c_str(), 1);
    audio::CMyMediaPlayer p;
    p.SetFileName(wav);
    ASSERT_EQ(p.Open(), kAudioOk);
    int64_t before = MonotonicNs();
    p.Play();
    ASSERT_TRUE(WaitWhilePlaying(p, 5000));
    int64_t after = MonotonicNs();
    p.Close();
    std::vector<uint8_t> bytes = ReadBytes(log);
    std::string text(bytes.begin(), bytes.end());
    const nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
    ASSERT_TRUE(line.is_object()) << text;
    ASSERT_EQ(line.value("event", ""), "first_buffer") << text;
    int64_t t = line.value("t_ns", int64_t{0});
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    EXPECT_EQ(text, FirstBufferLine(t, wav, getpid()));  // exactly one line
}

TEST_F(PlayerTest, noOutputDevice_reportedAndNothingPlays) {
    std::string wav = MakeWav("quiet.wav", 44100, 2, 44144);
    unsetenv("SONMIRA_AUDIO_SINK");
    OutputStatus status = AudioOutputStatus();
    if (status.code == kAudioOk) GTEST_SKIP() << "this machine has a sound output: " << status.message;
    EXPECT_EQ(status.code, kAudioNoOutput);
    EXPECT_EQ(status.message, "no sound output device (tried pulsesink and alsasink)");

    audio::CMyMediaPlayer p;
    p.SetFileName(wav);
    EXPECT_EQ(p.Open(), kAudioNoOutput);
    EXPECT_EQ(p.GetLength(), 1001);  // measuring needs no output
    EXPECT_EQ(p.Play(), kAudioNoOutput);
    EXPECT_EQ(p.GetMode(), audio::kModeStop);  // the worker must not wait for a sound that never comes
    EXPECT_EQ(p.Close(), kAudioOk);

    setenv("SONMIRA_AUDIO_SINK", "nosuchsink_element", 1);
    status = AudioOutputStatus();
    EXPECT_EQ(status.code, kAudioNoOutput);
    EXPECT_EQ(status.message, "SONMIRA_AUDIO_SINK is not a usable GStreamer sink: no element \"nosuchsink_element\"");
    // A description that parses but has no input for the sound is no output
    // either: found before a run rather than as every file failing to open.
    setenv("SONMIRA_AUDIO_SINK", "audiotestsrc ! fakesink", 1);
    status = AudioOutputStatus();
    EXPECT_EQ(status.code, kAudioNoOutput);
    EXPECT_EQ(status.message, "SONMIRA_AUDIO_SINK \"audiotestsrc ! fakesink\" does not take raw audio");
    EXPECT_EQ(p.Open(), kAudioNoOutput);
    EXPECT_EQ(p.GetLength(), 1001);
    EXPECT_EQ(p.Close(), kAudioOk);
    setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
    status = AudioOutputStatus();
    EXPECT_EQ(status.code, kAudioOk);
    EXPECT_EQ(status.message, "sound output: SONMIRA_AUDIO_SINK \"fakesink sync=true\"");
}

// What the player opens, the file it plays and the file its output writes,
// is closed again by Close, however often. Counted on those two files, not
// over the whole process: GStreamer's own threads open and close
// descriptors of their own at any time.
TEST_F(PlayerTest, repeatedOpenCloseAndStatus_leaveNoFileOpen) {
    std::string wav = MakeWav("fd.wav", 44100, 2, 441);
    std::string out = PathOf("fd_out.wav");
    setenv("SONMIRA_AUDIO_SINK", ("wavenc ! filesink location=" + out).c_str(), 1);
    audio::CMyMediaPlayer p;
    p.SetFileName(wav);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(AudioOutputStatus().code, kAudioOk);
        EXPECT_EQ(test_support::DescriptorsOn(wav), 0) << i;
        EXPECT_EQ(test_support::DescriptorsOn(out), 0) << i;
        EXPECT_EQ(p.Open(), kAudioOk);
        // Open and pre-rolled: the player reads the one and writes the other
        // (so the count sees them when they are open).
        EXPECT_GE(test_support::DescriptorsOn(wav), 1) << i;
        EXPECT_GE(test_support::DescriptorsOn(out), 1) << i;
        if (i % 2) p.Play();
        EXPECT_EQ(p.Close(), kAudioOk);
        EXPECT_EQ(test_support::DescriptorsOn(wav), 0) << i;
        EXPECT_EQ(test_support::DescriptorsOn(out), 0) << i;
    }
}

TEST_F(PlayerTest, undecodableAndMidiLikeGarbage_openFailsCleanly) {
    WriteBytes(PathOf("text.mp3"), std::vector<uint8_t>(4000, 'a'));
    WriteBytes(PathOf("cut.mid"), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0});
    for (const char* name : {"text.mp3", "cut.mid"}) {
        audio::CMyMediaPlayer p;
        p.SetFileName(PathOf(name));
        EXPECT_EQ(p.Open(), kAudioUnsupported) << name;
        EXPECT_EQ(p.GetLength(), 0);
        EXPECT_EQ(p.GetMode(), 0);
        EXPECT_EQ(p.Play(), kAudioNotOpen);
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TempDirCleaner);
    return RUN_ALL_TESTS();
}

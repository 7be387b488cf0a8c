// Listening on a sound input and decoding a file to samples, against a
// private sound server whose null sink "wire" carries what the player plays
// to its monitor.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "audio/media_player.h"
#include "audio/sound_capture.h"
#include "audio_files.h"
#include "private_sound_server.h"

namespace {

// Rising zero crossings per second over the samples.
double Hz(const std::vector<float>& s, int rate) {
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0 && s[i] >= 0) ++crossings;
    return s.empty() ? 0 : crossings * double(rate) / double(s.size());
}

double Rms(const std::vector<float>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

class SoundCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test_support::PrivateSoundServer;
        std::string error;
        ASSERT_TRUE(server_->Start({"wire"}, &error)) << error;
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    static test_support::PrivateSoundServer* server_;
};

test_support::PrivateSoundServer* SoundCapture::server_ = nullptr;

TEST_F(SoundCapture, theMonitorOfASinkIsListedAndHearsWhatThePlayerPlaysIntoIt) {
    bool listed = false;
    for (const auto& i : audio::ListSoundInputs()) listed |= i.name == "wire.monitor";
    EXPECT_TRUE(listed);

    std::string error;
    ASSERT_EQ(audio::ChooseAudioOutput("wire", &error), audio::kAudioOk) << error;
    auto capture = audio::OpenSoundCapture("wire.monitor", 8000, &error);
    ASSERT_TRUE(capture) << error;
    const std::string wav = audiotest::MakeWav("tone.wav", 16000, 1, 16000);  // 1 s of 440 Hz
    audio::CMyMediaPlayer player;
    player.SetFileName(wav);
    ASSERT_EQ(player.Open(), audio::kAudioOk);
    capture->Start();
    ASSERT_EQ(player.Play(), audio::kAudioOk);
    while (player.GetMode() == audio::kModePlay) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // The monitor lags the player by the server's latency, longer on a busy machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<float> heard;
    ASSERT_EQ(capture->Stop(&heard, &error), audio::kAudioOk) << error;
    audio::ChooseAudioOutput("", &error);

    // The tone, at the rate asked for, somewhere in what was kept.
    ASSERT_GE(heard.size(), 800u);
    size_t loudest = 0;
    double best = 0;
    for (size_t at = 0; at + 800 <= heard.size(); at += 400) {
        const double r = Rms(heard, at, at + 800);
        if (r > best) best = r, loudest = at;
    }
    EXPECT_GT(best, 0.05);
    EXPECT_NEAR(Hz({heard.begin() + long(loudest), heard.begin() + long(loudest) + 800}, 8000), 440, 20);
}

// The run opens (pre-rolls) a file before the record command and plays it
// after: the sound must start then, not as late as it waited.
TEST_F(SoundCapture, aSoundStartsAtPlayHoweverLongItWaitedPreRolled) {
    std::string error;
    ASSERT_EQ(audio::ChooseAudioOutput("wire", &error), audio::kAudioOk) << error;
    auto capture = audio::OpenSoundCapture("wire.monitor", 8000, &error);
    ASSERT_TRUE(capture) << error;
    audio::CMyMediaPlayer player;
    player.SetFileName(audiotest::MakeWav("half.wav", 16000, 1, 8000));
    ASSERT_EQ(player.Open(), audio::kAudioOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    capture->Start();
    ASSERT_EQ(player.Play(), audio::kAudioOk);
    while (player.GetMode() == audio::kModePlay) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<float> heard;
    ASSERT_EQ(capture->Stop(&heard, &error), audio::kAudioOk) << error;
    audio::ChooseAudioOutput("", &error);
    size_t first = 0;
    while (first < heard.size() && std::fabs(heard[first]) < 0.05f) ++first;
    ASSERT_LT(first, heard.size()) << "nothing heard";
    // Before the second it waited (the path through the server takes milliseconds,
    // a busy machine adds scheduling delay).
    EXPECT_LT(first, 6400u) << first / 8 << " ms";
}

TEST_F(SoundCapture, anInputThatDoesNotOpenIsRefusedWithItsReason) {
    std::string error;
    EXPECT_FALSE(audio::OpenSoundCapture("no_such_wire", 8000, &error));
    EXPECT_EQ(error, "PulseAudio/PipeWire source 'no_such_wire': the sound server lists no such source");
    EXPECT_FALSE(audio::OpenSoundCapture("gst:fakesink", 8000, &error));
    EXPECT_EQ(error, "sound input \"gst:fakesink\" gives no raw audio");
    EXPECT_FALSE(audio::OpenSoundCapture("gst:no_such_element", 8000, &error));
    EXPECT_EQ(error.rfind("sound input \"gst:no_such_element\" is not a usable GStreamer source: ", 0), 0u) << error;
}

TEST_F(SoundCapture, aFileDecodesToItsSamplesAtTheRateAskedFor) {
    std::vector<float> s;
    std::string error;
    ASSERT_EQ(audio::DecodeFileSamples(audiotest::MakeWav("tone44.wav", 44100, 2, 22050), 8000, &s, &error),
              audio::kAudioOk)
        << error;
    EXPECT_NEAR(double(s.size()), 4000, 8);
    EXPECT_NEAR(Hz(s, 8000), 440, 5);
    EXPECT_EQ(audio::DecodeFileSamples(audiotest::PathOf("missing.wav"), 8000, &s, &error), audio::kAudioFileNotFound);
    EXPECT_EQ(error, "the audio file does not exist");
}

}  // namespace

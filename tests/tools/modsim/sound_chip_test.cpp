// The real simulator as a chip that keeps sound: a live tone on its AUX
// input, frames on its terminal as the drivers send them, its memory in a
// chip file and its plays in a WAV written by a GStreamer sink.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>

#include "chip_file.h"
#include "modsim_process.h"

using test_support::ModSimProcess;
using test_support::ReadBytes;
using test_support::TempDir;
using Samples = std::vector<int16_t>;

namespace {

const char* const kTone = "gst:audiotestsrc is-live=true wave=sine freq=440 volume=0.5";
constexpr int kWaitMs = 30000;
constexpr int kRate = 8000;
constexpr int kRow = 1000;  // samples an address at 8000 Hz and 125 ms

// Sends frames over the terminal, as a driver does.
void Send(const std::string& tty, const std::vector<std::vector<uint8_t>>& frames) {
    const int fd = open(tty.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << tty;
    termios t;
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    for (auto f : frames) {
        uint8_t check = 0;
        for (uint8_t b : f) check ^= b;
        f.push_back(check);
        EXPECT_EQ(write(fd, f.data(), f.size()), static_cast<ssize_t>(f.size()));
    }
    close(fd);
}

// Lets the tone play into a recording: the content is what the test checks,
// and a loaded machine only makes the recording longer.
void Listen(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The samples of a mono 16-bit WAV at kRate once its header says it holds
// `samples` of them (a sink writes the header last), else empty.
Samples WavSamples(const std::string& path, int64_t samples) {
    const std::string wav = ReadBytes(path);
    if (wav.size() != 44 + static_cast<size_t>(samples) * 2 || wav.compare(0, 44, modsim::WavHeader(kRate, samples)))
        return {};
    Samples s(static_cast<size_t>(samples));
    memcpy(s.data(), wav.data() + 44, wav.size() - 44);
    return s;
}

// The chip's marks once a recording has ended (the file is written then).
nlohmann::json WaitMarks(const std::string& chip, size_t count) {
    return test_support::WaitFor([&] { return nlohmann::json::parse(ReadBytes(chip + ".marks.json"), nullptr, false); },
                                 [&](const nlohmann::json& j) { return j.is_object() && j["marks"].size() >= count; },
                                 kWaitMs);
}

double Rms(const Samples& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

// Rising zero crossings a second.
double Hz(const Samples& s, size_t from, size_t to) {
    int rises = 0;
    for (size_t i = from + 1; i < to; ++i) rises += s[i - 1] < 0 && s[i] >= 0;
    return rises * double(kRate) / double(to - from);
}

// A 440 Hz sine at half of full scale: RMS 0.5 * 32767 / sqrt(2).
::testing::AssertionResult Tone(const Samples& s, size_t from, size_t to) {
    const double hz = Hz(s, from, to), rms = Rms(s, from, to);
    if (std::abs(hz - 440) < 25 && std::abs(rms - 11585) < 1200) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "samples " << from << ".." << to << ": " << hz << " Hz, RMS " << rms;
}

bool Silent(const Samples& s, size_t from, size_t to, int16_t most = 0) {
    for (size_t i = from; i < to; ++i)
        if (std::abs(s[i]) > most) return false;
    return true;
}

class SoundChip : public ::testing::Test {
protected:
    TempDir dir{"sonmira-chip"};
    std::string chip = dir / "chip.wav";

    // Records the tone at address 4 of a first-module chip for about ms.
    nlohmann::json RecordTone(const std::vector<std::string>& faults, int ms) {
        std::vector<std::string> args = {"--aux-in", kTone, "--chip", chip, "--rows", "64"};
        args.insert(args.end(), faults.begin(), faults.end());
        ModSimProcess sim(SONMIRA_MODSIM, args);
        Send(sim.Path(), {{0x5A, 0x11, 4}});
        Listen(ms);
        Send(sim.Path(), {{0x5A, 0x66, 0xFF}});
        const nlohmann::json marks = WaitMarks(chip, 1);
        sim.Stop();
        EXPECT_EQ(WEXITSTATUS(sim.Status()), 0);
        return marks;
    }
};

}  // namespace

TEST_F(SoundChip, RecordsTheToneAtItsAddressAndPlaysItAfterARestart) {
    const nlohmann::json marks = RecordTone({}, 600);
    ASSERT_EQ(marks["marks"].size(), 1u) << marks;
    const int64_t end = marks["marks"][0]["sample"];
    ASSERT_GT(end, 4 * kRow + 4000);  // at least the half second listened
    EXPECT_EQ(marks["marks"][0]["row"], (end - 1) / kRow);
    const Samples stored = WavSamples(chip, 64 * kRow);
    ASSERT_FALSE(stored.empty());
    EXPECT_TRUE(Silent(stored, 0, 4 * kRow));
    EXPECT_TRUE(Tone(stored, 4 * kRow, 4 * kRow + 800));  // from its first tenth of a second
    EXPECT_TRUE(Tone(stored, size_t(end) - 800, size_t(end)));
    EXPECT_TRUE(Silent(stored, size_t(end), stored.size()));

    // A simulator started again on the file plays address 4 up to its mark.
    const std::string out = dir / "out.wav";
    ModSimProcess sim(SONMIRA_MODSIM,
                      {"--chip", chip, "--rows", "64", "--line-out", "gst:wavenc ! filesink location=" + out});
    Send(sim.Path(), {{0x5A, 0x33, 4}});
    const Samples played = test_support::WaitFor([&] { return WavSamples(out, end - 4 * kRow); },
                                                 [](const Samples& s) { return !s.empty(); }, kWaitMs);
    EXPECT_EQ(played, Samples(stored.begin() + 4 * kRow, stored.begin() + end));
}

TEST_F(SoundChip, FaultsSpoilWhatIsStored) {
    RecordTone({"--aux-gain", "-90"}, 300);
    Samples s = WavSamples(chip, 64 * kRow);
    ASSERT_FALSE(s.empty());
    EXPECT_TRUE(Silent(s, 4 * kRow, 4 * kRow + 2000, 2));  // an unplugged cable: near silence

    std::filesystem::remove(chip);
    std::filesystem::remove(chip + ".marks.json");
    RecordTone({"--dead-rows", "5-0x6"}, 800);
    s = WavSamples(chip, 64 * kRow);
    ASSERT_FALSE(s.empty());
    EXPECT_TRUE(Tone(s, 4 * kRow, 5 * kRow));
    EXPECT_TRUE(Silent(s, 5 * kRow, 7 * kRow));
    EXPECT_TRUE(Tone(s, 7 * kRow, 7 * kRow + 500));
}

TEST_F(SoundChip, ALateRecordingStartsWithSilenceAndStopsAfterTheEndAddress) {
    ModSimProcess sim(SONMIRA_MODSIM, {"--module", "second", "--rows", "64", "--aux-in", kTone, "--chip", chip,
                                       "--record-late", "300"});
    // End address 9, then an AUX recording from address 4: six addresses, 750 ms.
    Send(sim.Path(), {{0x5A, 0xDD, 0x00, 0x09}, {0x5A, 0x1A, 0x00, 0x04}});
    const nlohmann::json marks = WaitMarks(chip, 1);  // ends by itself at the end address
    EXPECT_EQ(marks["marks"].size(), 1u);
    EXPECT_EQ(ReadBytes(chip + ".marks.json"),
              "{\"rate\":8000,\"step_ms\":125,\"rows\":64,\"marks\":[{\"row\":9,\"sample\":10000}]}\n");
    const Samples s = WavSamples(chip, 64 * kRow);
    ASSERT_FALSE(s.empty());
    EXPECT_TRUE(Silent(s, 4 * kRow, 4 * kRow + 2400));  // 300 ms
    EXPECT_TRUE(Tone(s, 4 * kRow + 2400, 10 * kRow));
    EXPECT_TRUE(Silent(s, 10 * kRow, s.size()));
}

TEST_F(SoundChip, ASourceThatDoesNotOpenOrAChipFileForAnotherChipStopsTheStart) {
    const std::string exe = SONMIRA_MODSIM;
    auto run = [&](const std::string& args) { return test_support::RunCommand("'" + exe + "' " + args + " 2>&1"); };
    const auto noSource = run("--aux-in alsa:sonmira_no_such_device");
    EXPECT_EQ(noSource.status, 1);
    EXPECT_EQ(noSource.out.rfind("sonmira-modsim: cannot open --aux-in alsa:sonmira_no_such_device: ", 0), 0u)
        << noSource.out;

    const std::string wav = modsim::WavHeader(16000, 10) + std::string(20, '\0');
    test_support::WriteBytes(chip, wav);
    const auto other = run("--chip '" + chip + "'");
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.out, "sonmira-modsim: chip file " + chip +
                             ": holds 10 samples at 16000 Hz; the options make a chip of 256000 samples at 8000 Hz\n");
    EXPECT_EQ(ReadBytes(chip), wav);
}

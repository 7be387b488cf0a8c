// sonmira-cli line --verify: two simulated second modules, each wired through
// a private sound server by null sinks of its own (the tool plays into
// "auxN", the module plays into "lineN", whose monitor the station listens
// on). One module's AUX cable is pulled: its station alone fails.
#include <nlohmann/json.hpp>

#include "audio/audio_length.h"
#include "cli_run.h"
#include "list/address_math.h"
#include "private_sound_server.h"

namespace {

using namespace e2e;

constexpr int kStepMs = 100;  // SV060V

class LineVerifyRun : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        unsetenv("SONMIRA_AUDIO_SINK");  // each station plays into its own wire
        std::string error;
        ASSERT_TRUE(server_.Start({"aux1", "line1", "aux2", "line2"}, &error)) << error;
    }
    void TearDown() override {
        sims_.clear();  // the simulators go before their server
        CliRun::TearDown();
        server_.Stop();
    }
    // Station n's module on wires auxN and lineN, with a chip file of its own.
    rig::ModSim& AddModule(std::vector<std::string> faults = {}) {
        const std::string n = std::to_string(sims_.size() + 1);
        std::vector<std::string> args = {
            "--aux-in", "aux" + n + ".monitor",       "--line-out", "line" + n,
            "--chip",   home_ + "/chip" + n + ".wav", "--step-ms",  std::to_string(kStepMs)};
        args.insert(args.end(), faults.begin(), faults.end());
        sims_.push_back(std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "second", args));
        return *sims_.back();
    }
    // A sweep aligns with itself one way only; an MP3 of one when `mp3`.
    std::string Sweep(const std::string& name, int ms, int from, int to, bool mp3) {
        const std::string wav = home_ + "/" + name + (mp3 ? "_src" : "") + ".wav";
        EXPECT_TRUE(audiotest::Sh("sox -n -r 16000 -c 1 -b 16 '" + wav + "' synth " + std::to_string(ms / 1000.0) +
                                  " sine " + std::to_string(from) + "-" + std::to_string(to) +
                                  " vol 0.5 fade 0.01 0 0.01"));
        if (!mp3) return wav;
        const std::string path = home_ + "/" + name + ".mp3";
        EXPECT_TRUE(audiotest::Sh("lame --quiet -b 64 '" + wav + "' '" + path + "'"));
        return path;
    }
    // Appends a marked row right after the last one, as automatic addressing does.
    void Add(const std::string& path) {
        int ms = 0;
        ASSERT_EQ(audio::MeasureAudioLength(path, &ms), 0) << path;
        files::ChipProfile chip;
        chip.step = kStepMs;
        rig::PutRow(list_, ++rows_, true, list::Text(next_), path.substr(path.rfind('/') + 1), ms, path);
        next_ = list::NextStart(next_, ms, chip);
    }

    test_support::PrivateSoundServer server_;
    std::vector<std::unique_ptr<rig::ModSim>> sims_;
    int rows_ = 0;
    int64_t next_ = 0;
};

TEST_F(LineVerifyRun, aStationWhoseModuleHearsNothingFailsAloneAndItsRecordSaysWhy) {
    const rig::ModSim& unplugged = AddModule({"--aux-gain", "-90"});
    const rig::ModSim& good = AddModule();
    Add(Sweep("rise", 700, 300, 2500, false));
    Add(Sweep("fall", 600, 2800, 400, true));
    const std::string project = Project(kSecond, "SV060V"), log = home_ + "/chips.log";
    const std::string one = unplugged.Path(), two = good.Path();
    // The captures in the other order than the stations: each goes by its port.
    const Result r =
        Cli("line --verify --log '" + log + "' --station '" + one + "=aux1' --station '" + two + "=aux2' --capture '" +
            two + "=line2.monitor' --capture '" + one + "=line1.monitor' '" + project + "'");
    EXPECT_EQ(r.code, 1) << r.out << r.err;

    // Off a terminal the board gives each station's lines under its name: the
    // segment it listens to, then what it heard.
    const std::string first = "station 1 (" + one + "): ", second = "station 2 (" + two + "): ";
    const std::vector<std::string> out = rig::Lines(r.out);
    // The index of the line that starts with `start` and ends with `end`.
    const auto at = [&](const std::string& start, const std::string& end = "") {
        for (size_t i = 0; i < out.size(); ++i) {
            const std::string& l = out[i];
            if (l.rfind(start, 0) == 0 && l.size() >= start.size() + end.size() &&
                l.compare(l.size() - end.size(), end.size(), end) == 0 && (!end.empty() || l == start))
                return i;
        }
        ADD_FAILURE() << start << " ... " << end << "\n" << r.out;
        return out.size();
    };
    for (const auto& [station, verdict] : {std::pair{first, "FAILED: silent"}, std::pair{second, "  ok"}}) {
        const size_t rise = at(station + "verifying row 1 rise.wav"), fall = at(station + "verifying row 2 fall.mp3");
        EXPECT_LT(rise, at(station + "row 1 rise.wav  ", verdict));
        EXPECT_LT(at(station + "row 1 rise.wav  ", verdict), fall);
        EXPECT_LT(fall, at(station + "row 2 fall.mp3  ", verdict));
    }
    at(first + "0 of 2 segments verified");
    at(second + "2 of 2 segments verified");
    at(second + "chip 1 programmed and verified");
    at("1 of 2 chips programmed");
    // Why, under the failed station's name (after the driver's trace lines).
    const size_t chipFailed = r.err.find("sonmira-cli line: station 1 (" + one + "): chip 1 failed\n");
    ASSERT_NE(chipFailed, std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\n  sonmira-cli program: row 1 (rise.wav) did not verify: silent (1 more segments did not "
                         "verify)\n",
                         chipFailed),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("station 2"), std::string::npos) << r.err;

    const auto lines = rig::Lines(rig::ReadFile(log));
    ASSERT_EQ(lines.size(), 2u) << rig::ReadFile(log);
    for (const auto& l : lines) {
        const nlohmann::json j = nlohmann::json::parse(l);
        const bool failed = j.at("station") == "1";
        EXPECT_EQ(j.at("port"), failed ? one : two);
        EXPECT_EQ(j.at("result"), failed ? "failed" : "ok") << l;
        EXPECT_EQ(j.at("message"),
                  failed ? "row 1 (rise.wav) did not verify: silent (1 more segments did not verify)" : "");
        ASSERT_EQ(j.at("segments").size(), 2u) << l;
        for (const auto& s : j.at("segments")) {
            EXPECT_EQ(s.at("recorded"), true) << l;
            const auto& v = s.at("verify");
            EXPECT_EQ(v.at("ok"), !failed) << l;
            EXPECT_EQ(v.at("silent"), failed) << l;
            if (!failed) {
                EXPECT_GE(v.at("similarity").get<double>(), 0.9) << l;
            }
        }
    }
}

}  // namespace

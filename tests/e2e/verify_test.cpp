// sonmira-cli program --verify and verify against sonmira-modsim playing a
// chip that keeps sound, wired through a private sound server: the computer
// plays into the null sink "aux_wire", whose monitor is the module's AUX
// input; the module plays into "line_wire", whose monitor the tool listens on.
#include <nlohmann/json.hpp>
#include <regex>

#include "audio/audio_length.h"
#include "cli_run.h"
#include "list/address_math.h"
#include "private_sound_server.h"

namespace {

using namespace e2e;

struct Chip {
    std::string module, programmer, chip;
    int stepMs;
};
const Chip kFirstChip{"first", kFirst, "SV020A", 125};
const Chip kSecondChip{"second", kSecond, "SV060V", 100};

class VerifyRun : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        unsetenv("SONMIRA_AUDIO_SINK");  // the tool plays into the wire
        std::string error;
        ASSERT_TRUE(server_.Start({"aux_wire", "line_wire"}, &error)) << error;
        chipFile_ = home_ + "/chip.wav";
    }
    void TearDown() override {
        CliRun::TearDown();  // the simulator goes before its server
        server_.Stop();
    }
    void StartChip(const Chip& c, std::vector<std::string> faults = {}) {
        std::vector<std::string> args = {"--aux-in", "aux_wire.monitor", "--line-out", "line_wire",
                                         "--chip",   chipFile_,          "--step-ms",  std::to_string(c.stepMs)};
        args.insert(args.end(), faults.begin(), faults.end());
        StartSim(c.module, args);
    }
    // A sound that aligns one way only: a sweep (sox), or notes (MIDI).
    std::string Sweep(const std::string& name, int ms, int from, int to) {
        const std::string wav = home_ + "/" + name + ".wav";
        EXPECT_TRUE(audiotest::Sh("sox -n -r 16000 -c 1 -b 16 '" + wav + "' synth " + std::to_string(ms / 1000.0) +
                                  " sine " + std::to_string(from) + "-" + std::to_string(to) +
                                  " vol 0.5 fade 0.01 0 0.01"));
        return wav;
    }
    std::string Mp3(const std::string& name, int ms, int from, int to) {
        const std::string wav = Sweep(name + "_src", ms, from, to), mp3 = home_ + "/" + name + ".mp3";
        EXPECT_TRUE(audiotest::Sh("lame --quiet -b 64 '" + wav + "' '" + mp3 + "'"));
        return mp3;
    }
    std::string Midi(const std::string& name) {
        audiotest::Track t;
        t.Event(0, {0xC0, 0});  // piano
        for (uint8_t note : {60, 67, 64, 72}) {
            t.Event(0, {0x90, note, 110});
            t.Event(96, {0x80, note, 64});
        }
        t.End(0);
        const std::string path = home_ + "/" + name + ".mid";
        audiotest::WriteBytes(path, audiotest::Smf(0, 192, {t}));  // 120 bpm: a note per 250 ms
        return path;
    }
    // Appends a marked row right after the last one, as automatic addressing does.
    void Add(const Chip& c, const std::string& path) {
        int ms = 0;
        ASSERT_EQ(audio::MeasureAudioLength(path, &ms), 0) << path;
        files::ChipProfile chip;
        chip.step = c.stepMs;
        const std::string name = path.substr(path.rfind('/') + 1);
        rig::PutRow(list_, ++rows_, true, list::Text(next_), name, ms, path);
        lengths_.push_back(ms);
        starts_.push_back(next_);
        next_ = list::NextStart(next_, ms, chip);
    }
    // Three files of the three kinds.
    void AddThree(const Chip& c) {
        Add(c, Sweep("rise", 700, 300, 2500));
        Add(c, Mp3("fall", 600, 2800, 400));
        Add(c, Midi("tune"));
    }
    // The verify lines of the output: row, similarity, verdict.
    struct Line {
        int row;
        double similarity;
        int head;
        std::string verdict;
    };
    static std::vector<Line> Lines(const std::string& out) {
        static const std::regex kLine(
            R"(row (\d+) \S+  similarity ([0-9.]+)  delay [-+]\d+ ms  level -?[0-9.]+ dB  head (\d+) ms  tail \d+ ms  (ok|FAILED: .*))");
        std::vector<Line> lines;
        for (const auto& l : rig::Lines(out)) {
            std::smatch m;
            if (std::regex_match(l, m, kLine))
                lines.push_back({std::stoi(m[1]), std::stod(m[2]), std::stoi(m[3]), m[4]});
        }
        return lines;
    }
    std::string ProjectOf(const Chip& c) { return Project(c.programmer, c.chip); }

    test_support::PrivateSoundServer server_;
    std::string chipFile_;
    int rows_ = 0;
    int64_t next_ = 0;
    std::vector<int> lengths_;
    std::vector<int64_t> starts_;
};

TEST_F(VerifyRun, aProgrammedChipVerifiesAndHoldsEachSoundAtItsAddressesAndAgainAfterARestart) {
    StartChip(kFirstChip);
    AddThree(kFirstChip);
    const std::string project = ProjectOf(kFirstChip);
    Result r = Cli("program --audio aux_wire --verify --capture line_wire.monitor '" + project + "'");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    for (const auto& l : lines) {
        EXPECT_EQ(l.verdict, "ok") << r.out;
        EXPECT_GE(l.similarity, 0.9) << r.out;
    }
    EXPECT_NE(r.out.find("\n3 of 3 segments verified\n"), std::string::npos) << r.out;

    // The chip file: each segment's sound lies from its start address on.
    sim_->Stop();
    const audiotest::Pcm chip = audiotest::ReadPcm16(chipFile_);
    ASSERT_EQ(chip.rate, 8000);
    for (size_t i = 0; i < starts_.size(); ++i) {
        const double at = starts_[i] * 0.125;
        EXPECT_GT(chip.Rms(at, at + lengths_[i] / 1000.0), 300) << "row " << i + 1;
    }
    const double end = starts_.back() * 0.125 + lengths_.back() / 1000.0 + 0.5;
    EXPECT_LT(chip.Rms(end, end + 1), 50) << "after the last segment";

    // A chip keeps its sound: a new simulator on the same file verifies it unprogrammed.
    StartChip(kFirstChip);
    r = Cli("verify --capture line_wire.monitor '" + project + "'");
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(sim_->RxHexStartingWith("5A 11"), std::vector<std::string>{});
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    for (const auto& l : lines) EXPECT_EQ(l.verdict, "ok") << r.out;
}

TEST_F(VerifyRun, theSecondModuleVerifiesAndTheRecordCarriesEachSegmentsFigures) {
    StartChip(kSecondChip);
    AddThree(kSecondChip);
    const std::string log = home_ + "/chips.log";
    const Result r = Cli("program --audio aux_wire --verify --capture line_wire.monitor --log '" + log + "' '" +
                         ProjectOf(kSecondChip) + "'");
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    const nlohmann::json record = nlohmann::json::parse(rig::ReadFile(log));
    EXPECT_EQ(record.at("result"), "ok");
    ASSERT_EQ(record.at("segments").size(), 3u);
    for (const auto& s : record.at("segments")) {
        const auto& v = s.at("verify");
        EXPECT_EQ(v.at("ok"), true) << s;
        EXPECT_GE(v.at("similarity").get<double>(), 0.9) << s;
        EXPECT_EQ(v.at("silent"), false) << s;
        for (const char* key : {"delay_ms", "level_db", "head_missing_ms", "tail_missing_ms", "clipped"})
            EXPECT_TRUE(v.contains(key)) << key;
    }
}

TEST_F(VerifyRun, anUnpluggedAuxCableFailsEveryRowAsSilentAndTheRecordSaysWhy) {
    StartChip(kSecondChip, {"--aux-gain", "-90"});
    AddThree(kSecondChip);
    const std::string log = home_ + "/chips.log";
    const Result r = Cli("program --audio aux_wire --verify --capture line_wire.monitor --log '" + log + "' '" +
                         ProjectOf(kSecondChip) + "'");
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    for (int row = 1; row <= 3; ++row)
        EXPECT_NE(r.out.find("row " + std::to_string(row) + " "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n0 of 3 segments verified\n"), std::string::npos) << r.out;
    for (const auto& l : rig::Lines(r.out)) {
        if (l.rfind("row ", 0) == 0) {
            EXPECT_EQ(l.substr(l.size() - 14), "FAILED: silent") << l;
        }
    }
    const nlohmann::json record = nlohmann::json::parse(rig::ReadFile(log));
    EXPECT_EQ(record.at("result"), "failed");
    EXPECT_EQ(record.at("message"), "row 1 (rise.wav) did not verify: silent (2 more segments did not verify)");
    EXPECT_EQ(record.at("segments").at(0).at("verify").at("silent"), true);
}

TEST_F(VerifyRun, deadRowsFailExactlyTheSegmentThatTouchesThem) {
    AddThree(kFirstChip);  // addresses first: the dead rows are the second segment's
    const int64_t from = starts_[1], to = starts_[2] - 1;
    StartChip(kFirstChip, {"--dead-rows", std::to_string(from) + "-" + std::to_string(to)});
    const Result r =
        Cli("program --audio aux_wire --verify --capture line_wire.monitor '" + ProjectOf(kFirstChip) + "'");
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0].verdict, "ok") << r.out;
    // The first module plays on to the next end-of-message mark: what is heard
    // after the dead rows is the next segment's sound, so not "silent".
    EXPECT_EQ(lines[1].verdict.rfind("FAILED: ", 0), 0u) << r.out;
    EXPECT_EQ(lines[2].verdict, "ok") << r.out;
}

TEST_F(VerifyRun, aRecordingThatStartsLateIsReportedAsAMissingHead) {
    StartChip(kSecondChip, {"--record-late", "300"});
    Add(kSecondChip, Sweep("rise", 900, 300, 2500));
    const Result r =
        Cli("program --audio aux_wire --verify --capture line_wire.monitor '" + ProjectOf(kSecondChip) + "'");
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out;
    EXPECT_NEAR(lines[0].head, 300, 80) << r.out;
    EXPECT_EQ(lines[0].verdict.rfind("FAILED: ", 0), 0u) << r.out;
    EXPECT_NE(lines[0].verdict.find("head " + std::to_string(lines[0].head) + " ms missing"), std::string::npos)
        << r.out;
}

TEST_F(VerifyRun, anInputThatDoesNotExistIsRefusedBeforeAnyFrame) {
    StartChip(kFirstChip);
    AddThree(kFirstChip);
    const std::string project = ProjectOf(kFirstChip);
    for (const std::string cmd : {"verify --capture no_such_input '", "program --verify --capture no_such_input '"}) {
        const Result r = Cli(cmd + project + "'");
        EXPECT_EQ(r.code, 1) << cmd;
        const std::string name = cmd.substr(0, cmd.find(' '));
        EXPECT_EQ(r.err, "sonmira-cli " + name +
                             ": sound input 'no_such_input': PulseAudio/PipeWire source 'no_such_input': the sound "
                             "server lists no such source; nothing sent\n");
    }
    EXPECT_EQ(sim_->RxHex(), std::vector<std::string>{});
}

}  // namespace

// sonmira-cli line: several simulated modules, each on its own pseudo-terminal
// and each station's sound captured through its own sink, round after round.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "records/sha256.h"

namespace {

using namespace e2e;

class LineRun : public CliRun {
protected:
    // A station on its own simulator, its sound captured to a file of its own.
    struct Station {
        std::unique_ptr<rig::ModSim> sim;
        std::string capture;
        std::string Arg() const { return "--station '" + sim->Path() + "=gst:" + CaptureSink(capture) + "'"; }
        std::vector<std::string> Records() const {
            std::vector<std::string> r;
            for (const auto& f : sim->Rx())
                if (f.cmd == "record") r.push_back(f.hex);
            return r;
        }
    };
    Station& AddStation(std::vector<std::string> faults = {}) {
        stations_.push_back({});
        Station& s = stations_.back();
        s.sim = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first", std::move(faults));
        s.capture = home_ + "/station" + std::to_string(stations_.size()) + ".raw";
        return s;
    }
    std::string Stations() const {
        std::string a;
        for (const auto& s : stations_) a += s.Arg() + " ";
        return a;
    }
    // Two marked tones and an unmarked one between them.
    std::string TwoTones() {
        rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
        rig::PutRow(list_, 2, false, "0X0003", "b.wav", 300, Tone("b.wav", 300, 1200));
        rig::PutRow(list_, 3, true, "0X0006", "c.wav", 500, Tone("c.wav", 500, 800));
        return Project(kFirst, "SV020A");
    }
    static std::string Digest(const std::string& path) {
        std::string hex, error;
        EXPECT_EQ(records::Sha256OfFile(path, &hex, &error), 0) << error;
        return hex;
    }

    std::deque<Station> stations_;
};

TEST_F(LineRun, threeStationsTwoRoundsEachGetTheirOwnFramesSoundAndRecord) {
    for (int i = 0; i < 3; ++i) AddStation();
    const std::string project = TwoTones(), log = home_ + "/chips.log";
    const Result r = Cli("line " + Stations() + "--count 2 --no-wait --log '" + log + "' '" + project + "'");
    ASSERT_EQ(r.code, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("\n6 of 6 chips programmed\n"), std::string::npos) << r.out;

    for (const auto& s : stations_) {
        // Only its own frames: one record per marked segment and round, at the list's addresses.
        EXPECT_EQ(s.Records(), (std::vector<std::string>{"5A 11 00 4B", "5A 11 06 4D", "5A 11 00 4B", "5A 11 06 4D"}));
        // Its capture: a.wav then c.wav, twice.
        const auto pcm = Captured(s.capture);
        ASSERT_NEAR(static_cast<double>(pcm.size()), 2 * 0.8 * 8000, 320) << s.capture;
        EXPECT_NEAR(Hz(pcm, 200, 2000), 400, 20);
        EXPECT_NEAR(Hz(pcm, 2600, 3000), 800, 20);
        EXPECT_NEAR(Hz(pcm, 6400 + 200, 2000), 400, 20);
        EXPECT_NEAR(Hz(pcm, 6400 + 2600, 3000), 800, 20);
    }
    // Each station's sounds follow its own record commands (the play log tells processes apart).
    std::map<std::string, std::vector<int64_t>> sent, first;
    for (const auto& l : PlayLog("record_sent"))
        sent[rig::JsonField(l, "pid")].push_back(std::stoll(rig::JsonField(l, "t_ns")));
    for (const auto& l : PlayLog("first_buffer"))
        first[rig::JsonField(l, "pid")].push_back(std::stoll(rig::JsonField(l, "t_ns")));
    EXPECT_EQ(sent.size(), 6u);  // a process per station and round
    for (const auto& [pid, stamps] : sent) {
        ASSERT_EQ(stamps.size(), 2u);
        ASSERT_EQ(first[pid].size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_GE(first[pid][i], stamps[i]);
            EXPECT_LT((first[pid][i] - stamps[i]) / 1e6, test_support::kLoadSlackMs);
        }
    }

    // The record: six whole lines, the right fields and digests.
    const auto lines = rig::Lines(rig::ReadFile(log));
    ASSERT_EQ(lines.size(), 6u);
    std::map<std::string, int> perStationRound;
    const nlohmann::json segments = {{{"row", 1},
                                      {"file", home_ + "/a.wav"},
                                      {"sha256", Digest(home_ + "/a.wav")},
                                      {"start", 0},
                                      {"end", 2},
                                      {"recorded", true}},
                                     {{"row", 3},
                                      {"file", home_ + "/c.wav"},
                                      {"sha256", Digest(home_ + "/c.wav")},
                                      {"start", 6},
                                      {"end", 9},
                                      {"recorded", true}}};
    for (const auto& l : lines) {
        const nlohmann::json j = nlohmann::json::parse(l);  // one whole object a line
        ++perStationRound[j.at("station").get<std::string>() + "/" + j.at("round").dump()];
        EXPECT_EQ(j.at("result"), "ok") << l;
        EXPECT_EQ(j.at("project"), project);
        EXPECT_EQ(j.at("project_sha256"), Digest(project));
        EXPECT_EQ(j.at("programmer"), kFirst);
        EXPECT_EQ(j.at("chip"), "SV020A");
        EXPECT_EQ(j.at("output").get<std::string>().rfind("gst:identity sync=true", 0), 0u) << l;
        EXPECT_EQ(j.at("segments"), segments) << l;
    }
    EXPECT_EQ(perStationRound,
              (std::map<std::string, int>{{"1/1", 1}, {"1/2", 1}, {"2/1", 1}, {"2/2", 1}, {"3/1", 1}, {"3/2", 1}}));
    EXPECT_EQ(rig::JsonField(lines[0], "port").rfind("/dev/pts/", 0), 0u) << lines[0];
}

TEST_F(LineRun, aStationWhoseModuleHangsUpFailsAloneAndTheOthersFinish) {
    // Frames 1..4: Connect's and BeginRecording's handshakes, release, row 1's record; then the line is gone.
    AddStation({"--hangup-after", "4"});
    AddStation();
    const std::string project = TwoTones(), log = home_ + "/chips.log";
    const Result r = Cli("line " + Stations() + "--count 2 --no-wait --log '" + log + "' '" + project + "'");
    EXPECT_EQ(r.code, 1);
    const std::string failed = "sonmira-cli line: station 1 (" + stations_[0].sim->Path() + "): chip 1 failed\n";
    EXPECT_NE(r.err.find(failed), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("  sonmira-cli program: row 3 (c.wav) not recorded: the record command failed 100 times: "
                         "串口通信错误!\n"),
              std::string::npos)
        << r.err;
    // The failed station sits out the second round; the other programs both chips.
    EXPECT_NE(r.out.find("\n2 of 4 chips programmed\n"), std::string::npos) << r.out;
    EXPECT_EQ(stations_[1].Records().size(), 4u);
    const auto lines = rig::Lines(rig::ReadFile(log));
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& l : lines) {
        const nlohmann::json j = nlohmann::json::parse(l);
        const bool first = j.at("station") == "1";
        EXPECT_EQ(j.at("result"), first ? "failed" : "ok") << l;
        if (first) {
            ASSERT_EQ(j.at("segments").size(), 2u) << l;
            EXPECT_EQ(j.at("segments")[1],
                      (nlohmann::json{{"row", 3},
                                      {"file", home_ + "/c.wav"},
                                      {"sha256", Digest(home_ + "/c.wav")},
                                      {"start", 6},
                                      {"end", 9},
                                      {"recorded", false},
                                      {"reason", "the record command failed 100 times: 串口通信错误!"}}))
                << l;
        }
    }
}

TEST_F(LineRun, whatCannotWorkIsRefusedBeforeAnyFrameIsSent) {
    Station& one = AddStation();
    Station& two = AddStation();
    const std::string project = TwoTones();
    // Two stations on one port, as COM1 and as its device.
    setenv("SERTRA_COM1", one.sim->Path().c_str(), 1);
    Result r = Cli("line --station 'COM1=gst:fakesink' " + one.Arg() + " '" + project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli line: stations 1 and 2 name the same port (" + one.sim->Path() + ")\n", 0), 0u)
        << r.err;
    r = Cli("line " + one.Arg() + " --station '" + two.sim->Path() + "=gst:" + CaptureSink(one.capture) + "' '" +
            project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli line: stations 1 and 2 name the same sound output (gst:", 0), 0u) << r.err;
    r = Cli("line --station COM1 '" + project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli line: station 'COM1' needs PORT=OUTPUT\n", 0), 0u) << r.err;

    // A port another program holds, and a sound output that does not exist.
    const int held = open(two.sim->Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    r = Cli("line " + one.Arg() + " --station '" + two.sim->Path() + "=alsa:sonmira_no_such_device' '" + project + "'");
    close(held);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "sonmira-cli line: station 2: sound output 'alsa:sonmira_no_such_device': ALSA device "
              "'sonmira_no_such_device': it does not open (no such device, or it is busy)\n"
              "sonmira-cli line: station 2: port " +
                  two.sim->Path() + ": " + two.sim->Path() +
                  " is held by another program\nsonmira-cli line: 2 problems to mend first; nothing sent\n");

    // A marked file that is missing.
    rig::PutRow(list_, 4, true, "0X000B", "gone.wav", 300, home_ + "/gone.wav");
    r = Cli("line " + Stations() + "'" + Project(kFirst, "SV020A") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "sonmira-cli line: row 4 (gone.wav): the audio file does not exist\n"
              "sonmira-cli line: 1 marked file is missing; every chip would lack it; nothing sent\n");
    for (const auto& s : stations_) EXPECT_TRUE(s.sim->RxHex().empty());
}

}  // namespace

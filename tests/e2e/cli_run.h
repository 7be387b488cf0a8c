// The fixture of the end-to-end runs: sonmira-cli in a program folder of its
// own, against sonmira-modsim, with the sound captured as raw PCM and the
// player's stamps in a play log.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "audio_files.h"
#include "list/project_file.h"
#include "run_rig.h"

namespace e2e {

inline const std::string kOut = SONMIRA_OUT_DIR "/";
inline const std::string kFirst = "SM-1 编程器";
inline const std::string kSecond = "SV-2 编程器";

struct Result {
    int code = -1;
    std::string out, err;
};

class CliRun : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = temp_.path();
        // The program folder: configuration, chip table and the drivers.
        for (const char* f : {"Sonmira.INI", "sound.dat", "libsonmiradrv.so", "libsonveltdrv.so"})
            ASSERT_EQ(symlink((kOut + f).c_str(), (home_ + "/" + f).c_str()), 0) << f;
        setenv("SONMIRA_HOME", home_.c_str(), 1);
        capture_ = home_ + "/capture.raw";
        setenv("SONMIRA_AUDIO_SINK", CaptureSink(capture_).c_str(), 1);
        setenv("SONMIRA_PLAY_LOG", (home_ + "/play.log").c_str(), 1);
        setenv("SONMIRA_DEBUG", "1", 1);
    }
    void TearDown() override { sim_.reset(); }
    // A sink description that appends what is played to `capture` as 8 kHz mono PCM.
    static std::string CaptureSink(const std::string& capture) {
        return "identity sync=true ! audioconvert ! audio/x-raw,format=S16LE,channels=1,rate=8000"
               " ! filesink location=" +
               capture + " append=true async=false";
    }
    void StartSim(const std::string& module, std::vector<std::string> faults = {}) {
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", module, std::move(faults));
        rig::PointPortsAt(sim_->Path());
    }
    std::string Tone(const std::string& name, int ms, int hz) {
        const std::string path = home_ + "/" + name;
        EXPECT_TRUE(rig::MakeTone(path, ms, hz));
        return path;
    }
    std::string Project(const std::string& programmer, const std::string& chip) {
        const std::string path = home_ + "/p.QWF";
        EXPECT_EQ(list::Write(path, list_, {programmer, chip}, "20261207"), list::kProjectOk);
        return path;
    }
    Result Cli(const std::string& args) {
        Result r;
        const std::string out = home_ + "/cli.out", err = home_ + "/cli.err";
        const int status =
            std::system((kOut + "sonmira-cli " + args + " >" + out + " 2>" + err + " </dev/null").c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = rig::ReadFile(out);
        r.err = rig::ReadFile(err);
        return r;
    }
    std::vector<rig::Frame> Records() const {
        std::vector<rig::Frame> r;
        for (const auto& f : sim_->Rx())
            if (f.cmd == "record" || f.cmd == "record_aux") r.push_back(f);
        return r;
    }
    // The program's play log (the run has ended: it is whole): lines of one
    // event, in t_ns order.
    std::vector<std::string> PlayLog(const std::string& event) const {
        std::vector<std::string> v;
        for (const auto& l : rig::Lines(rig::ReadFile(home_ + "/play.log")))
            if (rig::JsonField(l, "event") == event) v.push_back(l);
        std::stable_sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
            return std::stoll(rig::JsonField(a, "t_ns")) < std::stoll(rig::JsonField(b, "t_ns"));
        });
        return v;
    }
    // Each sound starts after its record command was written, and soon after;
    // the n sounds' files go to `played` in the order they started. The
    // reference is the program's own stamp (taken when the driver call that
    // wrote the record frame returned), not the simulator's: that one is when
    // the simulator got round to reading the frame, which load delays.
    void ExpectEachSoundFollowsItsRecord(size_t n, std::vector<std::string>* played = nullptr) const {
        ASSERT_EQ(Records().size(), n);  // the module got n record frames
        const auto sent = PlayLog("record_sent");
        const auto buffers = PlayLog("first_buffer");
        ASSERT_EQ(sent.size(), n);
        ASSERT_EQ(buffers.size(), n);
        for (size_t i = 0; i < n; ++i) {
            const int64_t ns =
                std::stoll(rig::JsonField(buffers[i], "t_ns")) - std::stoll(rig::JsonField(sent[i], "t_ns"));
            EXPECT_GE(ns, 0) << i << ": the sound started before its record command was written";
            // Soon after: a sound is started right after its command (the benchmark
            // bench_program_run measures how soon); not only at the next segment.
            EXPECT_LT(ns / 1e6, test_support::kLoadSlackMs) << i;
            if (i + 1 < n) {
                EXPECT_LT(ns,
                          std::stoll(rig::JsonField(sent[i + 1], "t_ns")) - std::stoll(rig::JsonField(sent[i], "t_ns")))
                    << i << ": the sound came after the next record command";
            }
            if (played) played->push_back(rig::JsonField(buffers[i], "file"));
        }
    }
    // Captured samples, 8 kHz mono.
    std::vector<int16_t> Captured() const { return Captured(capture_); }
    static std::vector<int16_t> Captured(const std::string& capture) {
        const std::string raw = rig::ReadFile(capture);
        std::vector<int16_t> s(raw.size() / 2);
        std::memcpy(s.data(), raw.data(), s.size() * 2);
        return s;
    }
    // Frequency of samples [from, from + n) by counting rising zero crossings.
    static double Hz(const std::vector<int16_t>& s, size_t from, size_t n) {
        int crossings = 0;
        for (size_t i = from + 1; i < from + n && i < s.size(); ++i)
            if (s[i - 1] < 0 && s[i] >= 0) ++crossings;
        return crossings * 8000.0 / static_cast<double>(n);
    }

    test_support::TempDir temp_{"sonmira-run"};
    std::string home_, capture_;
    list::ProgrammingList list_;
    std::unique_ptr<rig::ModSim> sim_;
};

}  // namespace e2e

// Runs the real sonmira-modsim on a pseudo-terminal for a test and reads what
// it logged. Header-only so the core's binding tests can use it too.
#pragma once

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "modsim_process.h"

namespace modsim_test {

using LogLine = test_support::SimFrame;
using test_support::Hexes;
using test_support::MonotonicNs;
using test_support::ReadBytes;
using test_support::TempDir;

// The simulator built beside the tests.
class ModSim : public test_support::ModSimProcess {
public:
    // args: command-line options (module, faults).
    explicit ModSim(const std::vector<std::string>& args) : ModSimProcess(SONMIRA_MODSIM, args) {}
};

// Milliseconds between two logged frames.
inline double GapMs(const LogLine& a, const LogLine& b) { return (b.t_ns - a.t_ns) / 1e6; }

// Points COM1..COM4 at the given devices; an empty string means "no device".
inline void SetPorts(const std::string& c1, const std::string& c2 = "", const std::string& c3 = "",
                     const std::string& c4 = "") {
    setenv("SERTRA_COM1", c1.c_str(), 1);
    setenv("SERTRA_COM2", c2.c_str(), 1);
    setenv("SERTRA_COM3", c3.c_str(), 1);
    setenv("SERTRA_COM4", c4.c_str(), 1);
}

}  // namespace modsim_test

#include <gtest/gtest.h>

namespace modsim_test {

// The longest gap that still counts as a pause or as none: a wait for a
// reply that never comes (the likeliest wrong wait between two frames) takes
// longer. What load cannot break: the writer may wake late from its pause on
// a busy machine. The pauses' tight figures are the benchmarks' business.
constexpr double kReplyWaitMs = 500;

// The pauses a call put between its frames, on the test's own clock from
// `startNs`, just before the call: the simulator stamps a frame when it reads
// it, never before it was written, so frame k cannot carry a stamp before
// startNs plus the pauses up to it, however late load makes the reads (a late
// read can even bring two frames in one, so a gap between two stamps says
// nothing of a pause). pausesMs[k] is the pause before frames[k], 0 for none.
inline ::testing::AssertionResult PausesFrom(int64_t startNs, const LogLine* frames,
                                             const std::vector<double>& pausesMs) {
    double due = 0;
    for (size_t k = 0; k < pausesMs.size(); ++k) {
        due += pausesMs[k];
        const double at = (frames[k].t_ns - startNs) / 1e6;
        if (at < due)
            return ::testing::AssertionFailure() << "frame " << k << " read " << at << " ms after the call began, "
                                                 << "before its pauses of " << due << " ms had passed";
        if (k > 0 && GapMs(frames[k - 1], frames[k]) >= pausesMs[k] + kReplyWaitMs)
            return ::testing::AssertionFailure() << "gap of " << GapMs(frames[k - 1], frames[k]) << " ms before frame "
                                                 << k << ", expected a pause of " << pausesMs[k] << " ms";
    }
    return ::testing::AssertionSuccess();
}

// No pause between two frames (see kReplyWaitMs).
inline ::testing::AssertionResult NoPause(double gapMs) {
    if (gapMs < kReplyWaitMs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected none";
}

}  // namespace modsim_test

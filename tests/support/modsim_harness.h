// Runs the real sonmira-modsim on a pseudo-terminal for a test and reads what
// it logged. Part of the test support library, so the core's binding tests
// can use it too.
#pragma once

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
    explicit ModSim(const std::vector<std::string>& args);
};

// Milliseconds between two logged frames.
double GapMs(const LogLine& a, const LogLine& b);

// Points COM1..COM4 at the given devices; an empty string means "no device".
void SetPorts(const std::string& c1, const std::string& c2 = "", const std::string& c3 = "",
              const std::string& c4 = "");

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
::testing::AssertionResult PausesFrom(int64_t startNs, const LogLine* frames, const std::vector<double>& pausesMs);

// No pause between two frames (see kReplyWaitMs).
::testing::AssertionResult NoPause(double gapMs);

}  // namespace modsim_test

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

// How many of this process's descriptors are open on the terminal at `path`.
inline int OpenDescriptorsOn(const std::string& path) {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    if (!d) return -1;
    while (dirent* e = readdir(d)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
        if (len <= 0) continue;
        target[len] = 0;
        if (path == target) ++n;
    }
    closedir(d);
    return n;
}

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

// A fixed pause on the wire, seen from the simulator's time stamps (taken as
// it reads each frame; it runs ahead of other processes where the system
// allows, see ModSimProcess). The upper bound is what load
// cannot break (the writer may wake late from its pause on a busy machine)
// and still tells a pause from a wait for a reply that never comes
// (kReplyWaitMs), the likeliest wrong wait between two frames; the pauses'
// tight figures are the benchmarks' business.
constexpr double kReplyWaitMs = 500;

// The lower bound: the terminal's data reaches the simulator through a kernel
// worker that load delays, so the earlier frame's stamp may be late by a few
// milliseconds (5.5 ms seen under two CPU hogs); half the pause still tells a
// pause from none, and a test that times the call checks the pauses' sum
// exactly on its own clock.
inline ::testing::AssertionResult PauseNear(double gapMs, double pauseMs) {
    if (gapMs >= pauseMs / 2 && gapMs < pauseMs + kReplyWaitMs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected a pause of " << pauseMs << " ms";
}

// No pause between two frames (see PauseNear).
inline ::testing::AssertionResult NoPause(double gapMs) {
    if (gapMs < kReplyWaitMs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected none";
}

}  // namespace modsim_test

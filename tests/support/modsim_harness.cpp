#include "modsim_harness.h"

namespace modsim_test {

ModSim::ModSim(const std::vector<std::string>& args) : ModSimProcess(SONMIRA_MODSIM, args) {}

double GapMs(const LogLine& a, const LogLine& b) { return (b.t_ns - a.t_ns) / 1e6; }

void SetPorts(const std::string& c1, const std::string& c2, const std::string& c3, const std::string& c4) {
    setenv("SERTRA_COM1", c1.c_str(), 1);
    setenv("SERTRA_COM2", c2.c_str(), 1);
    setenv("SERTRA_COM3", c3.c_str(), 1);
    setenv("SERTRA_COM4", c4.c_str(), 1);
}

::testing::AssertionResult PausesFrom(int64_t startNs, const LogLine* frames, const std::vector<double>& pausesMs) {
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

::testing::AssertionResult NoPause(double gapMs) {
    if (gapMs < kReplyWaitMs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gap " << gapMs << " ms, expected none";
}

}  // namespace modsim_test

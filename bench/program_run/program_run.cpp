// bench_program_run [first|second|both]: programs ten short sounds into the
// module simulator through the real driver, playing them into a capturing
// sink, and prints
//  (a) the run's time from the show step to the close request against the
//      time the run prescribes (pauses, the driver's own pauses, the sounds);
//  (b) per segment, the delay from the record command's write (the run's
//      record_sent stamp) to the first buffer of that segment's sound at the
//      sink (player stamp), both CLOCK_MONOTONIC, signed: negative when the
//      sound started before the stamp; then the smallest, median, largest.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "run_rig.h"
#include "download_run.h"
#include "ten_tones.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
constexpr int kSegments = bench::kToneCount;

// Sleeps the driver performs per record command and at the end.
struct DriverPauses {
    int per_segment_ms;
    int end_ms;
};
// First module: release (10 ms) + record. Second: 50 ms, chip type (+100 ms),
// release (+10 ms), end address, record.
DriverPauses PausesOf(const std::string& module) {
    return module == "first" ? DriverPauses{10, 10} : DriverPauses{160, 10};
}

class QuietView : public runs::IRunView {
public:
    void SetCaption(const std::string&) override {}
    void SetStatus(const std::string&, int32_t) override {}
    void SetRange(int32_t) override {}
    void CloseDialog() override { closed_ns = rig::MonotonicNs(); }
    int64_t closed_ns = 0;
};

int Bench(const std::string& module) {
    const test_support::TempDir temp("sonmira-run");
    const std::string dir = temp.path();
    const std::string capture = dir + "/capture.raw";
    const std::string sink =
        "identity sync=true ! audioconvert ! audio/x-raw,format=S16LE,channels=1,rate=8000"
        " ! filesink location=" +
        capture + " append=true async=false";
    setenv("SONMIRA_AUDIO_SINK", sink.c_str(), 1);
    setenv("SONMIRA_PLAY_LOG", (dir + "/play.log").c_str(), 1);

    list::ProgrammingList list;
    const files::ChipProfile chip = bench::BenchChip();
    const int64_t sounds_ms = bench::ListTenTones(dir, chip.step, &list);
    if (sounds_ms < 0) {
        std::fprintf(stderr, "sox failed\n");
        return 1;
    }

    rig::ModSim sim(kOut + "sonmira-modsim", module);
    rig::PointPortsAt(sim.Path());
    binding::DriverBinding drivers;
    if (drivers.Bind(module == "first" ? "libsonmiradrv.so" : "libsonveltdrv.so", kOut).code != binding::kBindOk) {
        std::fprintf(stderr, "driver not bound\n");
        return 1;
    }
    QuietView view;
    int64_t t0 = 0;
    if (!bench::RunDownload(list, chip, drivers, view, &t0)) return 1;

    const DriverPauses p = PausesOf(module);
    const int64_t prescribed = kSegments * (runs::RecThread::kPauseMs + p.per_segment_ms) + sounds_ms +
                               runs::RecThread::kEndPauseMs + p.end_ms;
    const double run_ms = (view.closed_ns - t0) / 1e6;
    std::printf("module %s: %d segments, sounds %lld ms\n", module.c_str(), kSegments,
                static_cast<long long>(sounds_ms));
    std::printf("  (a) run %.1f ms, prescribed %lld ms, overhead %.1f ms = %.2f %% (target <= 2 %%)\n", run_ms,
                static_cast<long long>(prescribed), run_ms - prescribed, 100.0 * (run_ms - prescribed) / prescribed);

    // Pairs each segment's record_sent line with the first buffer of its
    // file; the log's lines need not be in time order.
    const std::string log = rig::ReadFile(dir + "/play.log");
    std::vector<int64_t> sent(kSegments + 1, -1);
    std::vector<int64_t> buffers(kSegments + 1, -1);
    for (const auto& l : rig::Lines(log)) {
        const std::string event = rig::JsonField(l, "event");
        const int64_t t = std::stoll(rig::JsonField(l, "t_ns"));
        if (event == "record_sent") {
            const int row = std::stoi(rig::JsonField(l, "row"));
            if (row >= 1 && row <= kSegments) sent[row] = t;
        } else if (event == "first_buffer") {
            for (int i = 1; i <= kSegments; ++i)
                if (rig::JsonField(l, "file") == dir + "/s" + std::to_string(i) + ".wav") buffers[i] = t;
        }
    }
    std::vector<double> delays;
    for (int i = 1; i <= kSegments; ++i) {
        if (sent[i] < 0 || buffers[i] < 0) {
            std::printf("  (b) segment %d: %s missing from the play log\n", i,
                        sent[i] < 0 ? "record_sent" : "first_buffer");
            return 1;
        }
        delays.push_back((buffers[i] - sent[i]) / 1e6);
    }
    std::printf("  (b) record command written -> first buffer, ms, per segment:");
    for (double d : delays) std::printf(" %+.2f", d);
    std::sort(delays.begin(), delays.end());
    const double median = (delays[kSegments / 2 - 1] + delays[kSegments / 2]) / 2;
    std::printf("\n      smallest %+.2f ms, median %+.2f ms (target <= 5), largest %+.2f ms (target <= 15)\n",
                delays.front(), median, delays.back());
    std::printf("  captured %zu bytes of sound (%.0f ms)\n", rig::ReadFile(capture).size(),
                rig::ReadFile(capture).size() / 16.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "both";
    if (which != "first" && which != "second" && which != "both") {
        std::fprintf(stderr, "usage: bench_program_run [first|second|both]\n");
        return 2;
    }
    int rc = 0;
    if (which != "second") rc |= Bench("first");
    if (which != "first") rc |= Bench("second");
    return rc;
}

// bench_verify: programs ten short sounds into sonmira-modsim (second module,
// 100 ms an address) playing them into a private PulseAudio's null sink that
// is the module's AUX input, then verifies the chip listening on the monitor
// of the sink the module plays into, and prints
//  (a) per segment, the delay and similarity found;
//  (b) the verification's wall time (BeginPlayback to EndPlayback) against
//      the sum of the sounds' lengths: target at most that sum + 250 ms per
//      segment;
//  (c) the comparison's CPU time per segment (each file against what the
//      chip holds for it, over the span a verification listens to) against
//      the sound compared: target under 1 %.
#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/sound_capture.h"
#include "audio_files.h"
#include "private_sound_server.h"
#include "run_rig.h"
#include "download_run.h"
#include "ten_tones.h"
#include "verify/chip_verify.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
constexpr int kRate = verify::kCompareRate;

class QuietView : public runs::IRunView {
public:
    void SetCaption(const std::string&) override {}
    void SetStatus(const std::string&, int32_t) override {}
    void SetRange(int32_t) override {}
    void CloseDialog() override {}
};

class QuietProgress : public verify::IVerifyProgress {
public:
    void SegmentStarted(const verify::VerifySegment&, int, int) override {}
    void SegmentDone(const verify::SegmentOutcome&, int, int) override {}
};

double ThreadCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int Bench() {
    test_support::PrivateSoundServer server;
    std::string error;
    if (!server.Start({"aux_wire", "line_wire"}, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const test_support::TempDir temp("sonmira-verify");
    const std::string dir = temp.path();
    unsetenv("SONMIRA_AUDIO_SINK");
    if (audio::ChooseAudioOutput("aux_wire", &error) != 0) {
        std::fprintf(stderr, "aux_wire: %s\n", error.c_str());
        return 1;
    }
    list::ProgrammingList list;
    const files::ChipProfile chip = bench::BenchChip();
    const int64_t sounds_ms = bench::ListTenTones(dir, chip.step, &list);
    if (sounds_ms < 0) {
        std::fprintf(stderr, "sox failed\n");
        return 1;
    }
    const std::string chipFile = dir + "/chip.wav";
    rig::ModSim sim(
        kOut + "sonmira-modsim", "second",
        {"--aux-in", "aux_wire.monitor", "--line-out", "line_wire", "--step-ms", "100", "--chip", chipFile});
    rig::PointPortsAt(sim.Path());
    binding::DriverBinding drivers;
    if (drivers.Bind("libsonveltdrv.so", kOut).code != binding::kBindOk) {
        std::fprintf(stderr, "driver not bound\n");
        return 1;
    }

    // Programming, as the download command does it.
    QuietView view;
    if (!bench::RunDownload(list, chip, drivers, view)) return 1;

    // Verification.
    const int64_t open0 = rig::MonotonicNs();
    auto capture = audio::OpenSoundCapture("line_wire.monitor", kRate, &error);
    if (!capture) {
        std::fprintf(stderr, "line_wire.monitor: %s\n", error.c_str());
        return 1;
    }
    const double open_ms = (rig::MonotonicNs() - open0) / 1e6;
    verify::VerifyJob v;
    verify::MarkedSegments(list, chip, &v.segments);
    v.chipCode = chip.code;
    v.drivers = &drivers;
    v.capture = capture.get();
    v.settings.rate = kRate;
    v.settings.stepMs = chip.step;
    QuietProgress progress;
    std::atomic<bool> cancel{false};
    std::vector<verify::SegmentOutcome> outcomes;
    const int64_t t0 = rig::MonotonicNs();
    const verify::VerifyEnd end = verify::VerifyChip(
        v, progress, [&cancel] { return cancel.load(); }, &outcomes);
    const double run_ms = (rig::MonotonicNs() - t0) / 1e6;
    if (end != verify::VerifyEnd::Finished) {
        std::fprintf(stderr, "the verification did not finish\n");
        return 1;
    }
    std::printf("second module: %zu segments, sounds %lld ms; the input opened in %.0f ms\n", outcomes.size(),
                static_cast<long long>(sounds_ms), open_ms);
    std::printf("  (a) per segment: delay ms / similarity / verdict\n");
    int ok = 0;
    for (const auto& o : outcomes) {
        std::printf("      row %2d  %+5d  %.3f  %s\n", o.segment.row, o.report.delayMs, o.report.similarity,
                    o.report.ok ? "ok" : o.report.reason.c_str());
        ok += o.report.ok ? 1 : 0;
    }
    const double budget = sounds_ms + 250.0 * outcomes.size();
    std::printf("  (b) verification %.0f ms for %lld ms of sound: %.0f ms per segment over it (target <= 250), %s\n",
                run_ms, static_cast<long long>(sounds_ms), (run_ms - sounds_ms) / outcomes.size(),
                run_ms <= budget ? "within target" : "OVER TARGET");

    // The comparison alone, on what the chip holds for each segment.
    sim.Stop();
    const audiotest::Pcm held = audiotest::ReadPcm16(chipFile);
    double cpu_ms = 0, audio_ms = 0;
    for (const auto& s : v.segments) {
        std::vector<float> file;
        if (audio::DecodeFileSamples(s.path, kRate, &file, &error) != 0) continue;
        const size_t from = size_t(s.start) * chip.step * kRate / 1000;
        const size_t to =
            std::min(held.samples.size(), from + file.size() + size_t(verify::kListenAfterMs) * kRate / 1000);
        std::vector<float> heard;
        for (size_t i = from; i < to; ++i) heard.push_back(held.samples[i] / 32768.0f);
        const double c0 = ThreadCpuMs();
        verify::CompareSegment(file, heard, v.settings);
        cpu_ms += ThreadCpuMs() - c0;
        audio_ms += 1000.0 * file.size() / kRate;
    }
    std::printf("  (c) comparison CPU %.2f ms for %.0f ms of sound = %.3f %% (target < 1 %%)\n", cpu_ms, audio_ms,
                100.0 * cpu_ms / audio_ms);
    std::printf("  %d of %zu segments verified\n", ok, outcomes.size());
    return 0;
}

}  // namespace

int main() { return Bench(); }

// verify_compare: compares a 60 s speech-like segment (noise shaped by a
// syllable envelope, fixed seed) with a capture of 61 s that holds it 230 ms
// late, 9 dB down, with hiss, and prints what the comparison found and the CPU
// time one comparison takes, also as a share of the sound's length.
//
// usage: verify_compare [seconds] [runs]   (default 60 s, 5 runs)
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "verify/segment_compare.h"

namespace {

constexpr int kRate = 8000;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Noise under a syllable envelope: 150-350 ms syllables, 50-250 ms pauses.
std::vector<float> Speechlike(size_t n, std::mt19937& random) {
    std::normal_distribution<double> noise(0.0, 0.15);
    std::uniform_int_distribution<int> syllableMs(150, 350), pauseMs(50, 250);
    std::vector<float> x(n, 0.0f);
    size_t i = 0;
    while (i < n) {
        const size_t length = static_cast<size_t>(syllableMs(random)) * kRate / 1000;
        for (size_t k = 0; k < length && i + k < n; ++k) {
            const double envelope = std::sin(M_PI * static_cast<double>(k) / static_cast<double>(length));
            x[i + k] = static_cast<float>(std::clamp(envelope * noise(random), -1.0, 1.0));
        }
        i += length + static_cast<size_t>(pauseMs(random)) * kRate / 1000;
    }
    return x;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (seconds < 1 || runs < 1) {
        std::fprintf(stderr, "usage: verify_compare [seconds] [runs]\n");
        return 2;
    }
    std::mt19937 random(20240611);
    const std::vector<float> file = Speechlike(static_cast<size_t>(seconds) * kRate, random);
    const size_t lead = 230 * kRate / 1000;
    std::vector<float> capture(file.size() + static_cast<size_t>(kRate), 0.0f);
    std::normal_distribution<double> hiss(0.0, 0.002);
    const double gain = std::pow(10.0, -9.0 / 20.0);
    for (size_t i = 0; i < capture.size(); ++i) {
        const double played = i >= lead && i - lead < file.size() ? gain * file[i - lead] : 0.0;
        capture[i] = static_cast<float>(played + hiss(random));
    }

    verify::SegmentReport report;
    double best = 1e9, total = 0;
    for (int run = 0; run < runs; ++run) {
        const double start = CpuSeconds();
        report = verify::CompareSegment(file, capture, verify::CompareSettings{});
        const double spent = CpuSeconds() - start;
        total += spent;
        best = std::min(best, spent);
    }
    std::printf("segment %d s, capture %.3f s, %d runs\n", seconds, static_cast<double>(capture.size()) / kRate, runs);
    std::printf(
        "found: similarity %.4f, delay %d ms (made 230), level %.2f dB (made -9.00), head %d ms, tail %d ms, "
        "clipped %.4f, ok %d%s%s\n",
        report.similarity, report.delayMs, report.levelDb, report.headMissingMs, report.tailMissingMs, report.clipped,
        report.ok ? 1 : 0, report.reason.empty() ? "" : ", ", report.reason.c_str());
    const double mean = total / runs;
    std::printf("CPU per comparison: mean %.1f ms, best %.1f ms = %.3f %% of the sound's length\n", mean * 1e3,
                best * 1e3, 100.0 * mean / seconds);
    return 0;
}

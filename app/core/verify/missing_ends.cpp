#include "verify/missing_ends.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace verify {

namespace {

constexpr double kBelowPeak = 1e-3;     // -30 dB in power
constexpr double kCaptureFloor = 1e-6;  // -60 dBFS in power (full scale 1.0)

struct ActiveSpan {
    long long first = -1;  // -1: no active frame
    long long last = -1;
};

ActiveSpan Active(const std::vector<double>& power, double floor) {
    const double peak = *std::max_element(power.begin(), power.end());
    const double threshold = std::max(peak * kBelowPeak, floor);
    ActiveSpan span;
    for (size_t k = 0; k < power.size(); ++k) {
        if (power[k] <= threshold) continue;
        if (span.first < 0) span.first = static_cast<long long>(k);
        span.last = static_cast<long long>(k);
    }
    return span;
}

}  // namespace

MissingEnds FindMissingEnds(const EnergySums& file, const EnergySums& capture, long long lag, int rate) {
    const long long frame = std::max(1LL, std::llround(rate / 100.0));
    const long long length = file.Length();
    const long long frames = (length + frame - 1) / frame;
    if (frames == 0) return {};
    std::vector<double> filePower(static_cast<size_t>(frames));
    std::vector<double> capturePower(static_cast<size_t>(frames));
    for (long long k = 0; k < frames; ++k) {
        const long long from = k * frame;
        const long long to = std::min(from + frame, length);
        const auto samples = static_cast<double>(to - from);
        filePower[static_cast<size_t>(k)] = file.Between(from, to) / samples;
        capturePower[static_cast<size_t>(k)] = capture.Between(lag + from, lag + to) / samples;
    }
    const ActiveSpan f = Active(filePower, 0.0);
    if (f.first < 0) return {};
    const ActiveSpan c = Active(capturePower, kCaptureFloor);
    long long head = f.last - f.first + 1;
    long long tail = head;
    if (c.first >= 0) {
        head = std::max(0LL, c.first - f.first);
        tail = std::max(0LL, f.last - c.last);
    }
    auto ms = [&](long long n) { return static_cast<int>(std::llround(n * frame * 1000.0 / rate)); };
    return {ms(head), ms(tail)};
}

}  // namespace verify

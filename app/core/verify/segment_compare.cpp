#include "verify/segment_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "verify/cross_correlation.h"
#include "verify/energy_sums.h"
#include "verify/missing_ends.h"
#include "verify/speech_band.h"

namespace verify {

namespace {

constexpr double kSilentPower = 1e-5;  // -50 dBFS in power
constexpr double kFullScale = 0.999;   // a sample at least this loud has clipped
constexpr double kMostClipped = 0.01;  // 1 % of the samples
constexpr double kEmptyWindow = 1e-6;  // share of the capture's energy a window needs to score

constexpr int kInterpolationTaps = 32;  // each side of the sample interpolated
constexpr int kFractionSteps = 16;      // tried between two lags

struct Alignment {
    long long lag = 0;
    size_t index = 0;  // of the lag in the correlation
    double similarity = 0;
};

// The correlation between two of its samples, at r's index `at` + d (|d| <= 1):
// both signals are band-limited below the Nyquist frequency, so their
// correlation is too, and a windowed sinc gives its value there.
double CorrelationAt(const std::vector<float>& r, size_t at, double d) {
    const double pi = 3.14159265358979323846;
    double sum = 0;
    for (int m = -kInterpolationTaps; m <= kInterpolationTaps; ++m) {
        const long long j = static_cast<long long>(at) + m;
        if (j < 0 || j >= static_cast<long long>(r.size())) continue;
        const double x = d - m;
        const double sinc = std::fabs(x) < 1e-9 ? 1.0 : std::sin(pi * x) / (pi * x);
        const double window = 0.5 + 0.5 * std::cos(pi * x / (kInterpolationTaps + 1));
        sum += static_cast<double>(r[static_cast<size_t>(j)]) * sinc * window;
    }
    return sum;
}

// The best lag's match between the samples: a capture that is a fraction of a
// sample behind the file (as good as always) would otherwise lose up to half
// its similarity at the top of the speech band (3.4 kHz at 8 kHz).
double FinerSimilarity(const std::vector<float>& r, const Alignment& at, const EnergySums& file,
                       const EnergySums& capture) {
    const double window = capture.Between(at.lag, at.lag + file.Length());
    if (window <= 0.0 || file.Total() <= 0.0) return at.similarity;
    double best = std::fabs(static_cast<double>(r[at.index]));
    for (int step = -kFractionSteps; step <= kFractionSteps; ++step)
        best = std::max(best, std::fabs(CorrelationAt(r, at.index, static_cast<double>(step) / kFractionSteps)));
    return best / std::sqrt(file.Total() * window);
}

Alignment BestAlignment(const std::vector<float>& r, const EnergySums& file, const EnergySums& capture) {
    const long long fileLength = file.Length();
    const double minWindow = kEmptyWindow * capture.Total();
    Alignment best;
    if (file.Total() <= 0.0) return best;
    for (size_t j = 0; j < r.size(); ++j) {
        const long long lag = static_cast<long long>(j) - (fileLength - 1);
        const double window = capture.Between(lag, lag + fileLength);
        if (window <= minWindow) continue;
        const double s = std::fabs(static_cast<double>(r[j])) / std::sqrt(file.Total() * window);
        if (s > best.similarity) best = {lag, j, s};
    }
    best.similarity = FinerSimilarity(r, best, file, capture);
    // Rounding in the transforms can lift a perfect match a hair above 1.
    best.similarity = std::min(best.similarity, 1.0);
    return best;
}

double LevelDb(const EnergySums& file, const EnergySums& capture, long long lag) {
    const long long from = std::max(0LL, lag);
    const long long to = std::min(capture.Length(), lag + file.Length());
    const double heard = capture.Between(from, to);
    const double played = file.Between(from - lag, to - lag);
    if (heard <= 0.0 || played <= 0.0) return 0.0;
    return 10.0 * std::log10(heard / played);
}

double ClippedShare(const std::vector<float>& capture) {
    const auto n = std::count_if(capture.begin(), capture.end(), [](float x) { return std::fabs(x) >= kFullScale; });
    return static_cast<double>(n) / static_cast<double>(capture.size());
}

std::string Fixed(double value, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

std::string Reason(const SegmentReport& r, const CompareSettings& settings) {
    // Nothing else means anything without sound, not even full-scale samples (a stuck input).
    if (r.silent) return "silent";
    std::vector<std::string> parts;
    if (r.similarity < settings.minSimilarity) {
        // Cut, not rounded, so a failing figure never reads as the threshold.
        parts.push_back("similarity " + Fixed(std::floor(r.similarity * 100.0) / 100.0, 2) + " below " +
                        Fixed(settings.minSimilarity, 2));
    }
    if (r.headMissingMs > settings.stepMs) parts.push_back("head " + std::to_string(r.headMissingMs) + " ms missing");
    if (r.tailMissingMs > settings.stepMs) parts.push_back("tail " + std::to_string(r.tailMissingMs) + " ms missing");
    if (r.clipped >= kMostClipped) parts.push_back("clipped " + Fixed(r.clipped * 100.0, 1) + " %");
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : ", ") + part;
    return joined;
}

}  // namespace

SegmentReport FailedReport(const std::string& reason) {
    SegmentReport r;
    r.reason = reason;
    return r;
}

SegmentReport CompareSegment(const std::vector<float>& file, const std::vector<float>& capture,
                             const CompareSettings& settings) {
    if (file.empty() || capture.empty()) return FailedReport("nothing to compare");
    if (settings.rate < 1) return FailedReport("sampling rate " + std::to_string(settings.rate) + " Hz not usable");
    // A few samples match any sound equally well; a chip step is far longer.
    if (file.size() * 100 < static_cast<size_t>(settings.rate)) return FailedReport("file shorter than 10 ms");

    SegmentReport r;
    r.clipped = ClippedShare(capture);
    const std::vector<float> fileBand = SpeechBand(file, settings.rate);
    const std::vector<float> captureBand = SpeechBand(capture, settings.rate);
    if (fileBand.empty() || captureBand.empty()) return FailedReport("out of memory");
    const EnergySums fileEnergy(fileBand);
    const EnergySums captureEnergy(captureBand);

    r.silent = captureEnergy.Total() / static_cast<double>(capture.size()) < kSilentPower;
    if (!r.silent) {
        const std::vector<float> correlation = CrossCorrelation(fileBand, captureBand);
        if (correlation.empty()) return FailedReport("out of memory");
        const Alignment best = BestAlignment(correlation, fileEnergy, captureEnergy);
        r.similarity = best.similarity;
        r.delayMs = static_cast<int>(std::llround(static_cast<double>(best.lag) * 1000.0 / settings.rate));
        r.levelDb = LevelDb(fileEnergy, captureEnergy, best.lag);
        const MissingEnds ends = FindMissingEnds(fileEnergy, captureEnergy, best.lag, settings.rate);
        r.headMissingMs = ends.headMs;
        r.tailMissingMs = ends.tailMs;
    }
    r.reason = Reason(r, settings);
    r.ok = r.reason.empty();
    return r;
}

}  // namespace verify

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

struct Alignment {
    long long lag = 0;
    double similarity = 0;
};

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
        if (s > best.similarity) best = {lag, s};
    }
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

SegmentReport Failed(const std::string& reason) {
    SegmentReport r;
    r.reason = reason;
    return r;
}

}  // namespace

SegmentReport CompareSegment(const std::vector<float>& file, const std::vector<float>& capture,
                             const CompareSettings& settings) {
    if (file.empty() || capture.empty()) return Failed("nothing to compare");
    if (settings.rate < 1) return Failed("sampling rate " + std::to_string(settings.rate) + " Hz not usable");
    // A few samples match any sound equally well; a chip step is far longer.
    if (file.size() * 100 < static_cast<size_t>(settings.rate)) return Failed("file shorter than 10 ms");

    SegmentReport r;
    r.clipped = ClippedShare(capture);
    const std::vector<float> fileBand = SpeechBand(file, settings.rate);
    const std::vector<float> captureBand = SpeechBand(capture, settings.rate);
    if (fileBand.empty() || captureBand.empty()) return Failed("out of memory");
    const EnergySums fileEnergy(fileBand);
    const EnergySums captureEnergy(captureBand);

    r.silent = captureEnergy.Total() / static_cast<double>(capture.size()) < kSilentPower;
    if (!r.silent) {
        const std::vector<float> correlation = CrossCorrelation(fileBand, captureBand);
        if (correlation.empty()) return Failed("out of memory");
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

#include "verify/speech_band.h"

#include <algorithm>
#include <cmath>

#include "verify/real_fft.h"

namespace verify {

std::vector<float> SpeechBand(const std::vector<float>& x, int rate) {
    // 100 ms of zeros behind the signal: a brick-wall filter rings, and what
    // rings past the end would otherwise land on the start.
    size_t pad = static_cast<size_t>(std::max(rate / 10, 64));
    RealFft fft(FastFftSize(x.size() + pad));
    if (!fft.Ok()) return {};
    const size_t n = fft.Size();
    std::copy(x.begin(), x.end(), fft.Time());
    std::fill(fft.Time() + x.size(), fft.Time() + n, 0.0f);
    fft.Forward();
    // Bin k holds k * rate / n Hz.
    const double hzPerBin = static_cast<double>(rate) / static_cast<double>(n);
    const auto low = static_cast<size_t>(std::ceil(kSpeechLowHz / hzPerBin));
    const auto high = static_cast<size_t>(std::floor(kSpeechHighHz / hzPerBin));
    float* bins = fft.Freq();
    for (size_t k = 0; k < fft.Bins(); ++k) {
        if (k < low || k > high) bins[2 * k] = bins[2 * k + 1] = 0.0f;
    }
    fft.Inverse();
    std::vector<float> out(fft.Time(), fft.Time() + x.size());
    const float scale = 1.0f / static_cast<float>(n);
    for (float& v : out) v *= scale;
    return out;
}

}  // namespace verify

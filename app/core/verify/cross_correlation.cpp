#include "verify/cross_correlation.h"

#include <algorithm>

#include "verify/real_fft.h"

namespace verify {

std::vector<float> CrossCorrelation(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.empty() || b.empty()) return {};
    const size_t lags = a.size() + b.size() - 1;
    const size_t n = FastFftSize(lags);
    RealFft fa(n);
    RealFft fb(n);
    if (!fa.Ok() || !fb.Ok()) return {};
    std::copy(a.begin(), a.end(), fa.Time());
    std::fill(fa.Time() + a.size(), fa.Time() + n, 0.0f);
    std::copy(b.begin(), b.end(), fb.Time());
    std::fill(fb.Time() + b.size(), fb.Time() + n, 0.0f);
    fa.Forward();
    fb.Forward();
    // conj(A) * B, left in B's bins; its inverse holds lag k at k and lag -k at n - k.
    const float* x = fa.Freq();
    float* y = fb.Freq();
    for (size_t k = 0; k < fa.Bins(); ++k) {
        const float re = x[2 * k] * y[2 * k] + x[2 * k + 1] * y[2 * k + 1];
        const float im = x[2 * k] * y[2 * k + 1] - x[2 * k + 1] * y[2 * k];
        y[2 * k] = re;
        y[2 * k + 1] = im;
    }
    fb.Inverse();
    const float scale = 1.0f / static_cast<float>(n);
    const float* t = fb.Time();
    std::vector<float> r(lags);
    const size_t negative = a.size() - 1;
    for (size_t j = 0; j < negative; ++j) r[j] = t[n - negative + j] * scale;
    for (size_t j = negative; j < lags; ++j) r[j] = t[j - negative] * scale;
    return r;
}

}  // namespace verify

// Cross-correlation of two signals at every lag, through FFTW.
#pragma once

#include <vector>

namespace verify {

// r[lag + a.size() - 1] = sum over i of a[i] * b[i + lag], for every lag from
// -(a.size() - 1) to b.size() - 1 (a.size() + b.size() - 1 values): both
// zero-padded to one transform size at least that long, so no lag wraps onto
// another. Empty when either signal is empty or the transform could not be made.
std::vector<float> CrossCorrelation(const std::vector<float>& a, const std::vector<float>& b);

}  // namespace verify

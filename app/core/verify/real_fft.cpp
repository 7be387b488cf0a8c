#include "verify/real_fft.h"

#include <fftw3.h>

#include <climits>
#include <mutex>

namespace verify {

namespace {

// FFTW's planner (and plan destruction) share global state.
std::mutex& PlannerLock() {
    static std::mutex lock;
    return lock;
}

bool OnlySmallFactors(size_t n) {
    for (size_t p : {2, 3, 5, 7}) {
        while (n % p == 0) n /= p;
    }
    return n == 1;
}

}  // namespace

size_t FastFftSize(size_t n) {
    if (n < 2) return 2;
    while (!OnlySmallFactors(n)) ++n;
    return n;
}

RealFft::RealFft(size_t n) : n_(n) {
    std::lock_guard<std::mutex> hold(PlannerLock());
    time_ = fftwf_alloc_real(n_);
    auto* freq = fftwf_alloc_complex(Bins());
    freq_ = reinterpret_cast<float*>(freq);
    if (!time_ || !freq || n_ > static_cast<size_t>(INT_MAX)) return;
    forward_ = fftwf_plan_dft_r2c_1d(static_cast<int>(n_), time_, freq, FFTW_ESTIMATE);
    inverse_ = fftwf_plan_dft_c2r_1d(static_cast<int>(n_), freq, time_, FFTW_ESTIMATE);
}

RealFft::~RealFft() {
    std::lock_guard<std::mutex> hold(PlannerLock());
    if (forward_) fftwf_destroy_plan(static_cast<fftwf_plan>(forward_));
    if (inverse_) fftwf_destroy_plan(static_cast<fftwf_plan>(inverse_));
    fftwf_free(time_);
    fftwf_free(freq_);
}

void RealFft::Forward() { fftwf_execute(static_cast<fftwf_plan>(forward_)); }

void RealFft::Inverse() { fftwf_execute(static_cast<fftwf_plan>(inverse_)); }

}  // namespace verify

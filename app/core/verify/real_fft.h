// FFTW's single-precision real transforms of one size, on buffers of their own.
#pragma once

#include <cstddef>

namespace verify {

// The smallest size >= n whose only prime factors are 2, 3, 5 and 7: sizes
// FFTW transforms fast, without padding up to a power of two.
size_t FastFftSize(size_t n);

// Forward (real to complex) and inverse (complex to real) transforms of size n.
// The inverse is not scaled: a round trip multiplies by n. Plans are made with
// FFTW_ESTIMATE under one lock, as FFTW's planner is not thread-safe; running
// them is, so several objects may work on separate threads.
class RealFft {
public:
    explicit RealFft(size_t n);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    // False when the buffers or the plans could not be made.
    bool Ok() const { return forward_ != nullptr && inverse_ != nullptr; }
    size_t Size() const { return n_; }
    size_t Bins() const { return n_ / 2 + 1; }

    // n samples; Forward reads them, Inverse writes them.
    float* Time() { return time_; }
    // Bins() complex values as re, im pairs; Inverse overwrites them.
    float* Freq() { return freq_; }

    void Forward();
    void Inverse();

private:
    size_t n_;
    float* time_ = nullptr;
    float* freq_ = nullptr;
    void* forward_ = nullptr;
    void* inverse_ = nullptr;
};

}  // namespace verify

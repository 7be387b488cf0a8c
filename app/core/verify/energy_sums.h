// A signal's energy over any span in constant time, from running sums of squares.
#pragma once

#include <cstddef>
#include <vector>

namespace verify {

class EnergySums {
public:
    explicit EnergySums(const std::vector<float>& x);

    // Sum of squares of the samples from..to-1; the span is cut to the
    // signal, so a span partly or wholly outside counts only what lies inside.
    double Between(long long from, long long to) const;
    double Total() const { return sums_.back(); }
    long long Length() const { return static_cast<long long>(sums_.size()) - 1; }

private:
    std::vector<double> sums_;  // sums_[i]: samples 0..i-1
};

}  // namespace verify

#include "verify/energy_sums.h"

#include <algorithm>

namespace verify {

EnergySums::EnergySums(const std::vector<float>& x) : sums_(x.size() + 1, 0.0) {
    for (size_t i = 0; i < x.size(); ++i) sums_[i + 1] = sums_[i] + static_cast<double>(x[i]) * x[i];
}

double EnergySums::Between(long long from, long long to) const {
    from = std::clamp(from, 0LL, Length());
    to = std::clamp(to, 0LL, Length());
    if (to <= from) return 0.0;
    // Rounding can leave a hair below zero over a silent span.
    return std::max(0.0, sums_[static_cast<size_t>(to)] - sums_[static_cast<size_t>(from)]);
}

}  // namespace verify

#include "devices/natural_order.h"

namespace devices {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (!IsDigit(a[i]) || !IsDigit(b[j])) {
            if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i, ++j;
            continue;
        }
        size_t ei = i, ej = j;
        while (ei < a.size() && IsDigit(a[ei])) ++ei;
        while (ej < b.size() && IsDigit(b[ej])) ++ej;
        // Compare the runs without their leading zeros: longer is larger, else digit by digit.
        size_t zi = i, zj = j;
        while (zi + 1 < ei && a[zi] == '0') ++zi;
        while (zj + 1 < ej && b[zj] == '0') ++zj;
        if (ei - zi != ej - zj) return ei - zi < ej - zj;
        const int cmp = a.compare(zi, ei - zi, b, zj, ej - zj);
        if (cmp != 0) return cmp < 0;
        if (ei - i != ej - j) return ei - i < ej - j;
        i = ei, j = ej;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace devices

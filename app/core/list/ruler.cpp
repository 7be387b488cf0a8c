#include "list/ruler.h"

namespace list {

LabelTexts DesignedLabelTexts() {
    LabelTexts t;
    t[0] = "0MS";
    for (int k = 1; k < kLabelCount; ++k) t[k] = std::to_string(k * 4000);
    return t;
}

void RelabelForCapacity(int32_t capacity, LabelTexts* texts) {
    if (capacity < 0) return;  // no chip holds a negative time; keep what is shown
    int64_t n = capacity / 10;
    (*texts)[0] = "0MS";
    for (int k = 1; k < kLabelCount; ++k) (*texts)[k] = std::to_string(k * n);
}

void SetMaximumForCapacity(int32_t capacity, Gauge* gauge) {
    if (capacity <= 0) return;
    gauge->maximum = capacity;
    if (gauge->position > capacity) gauge->position = capacity;
}

void ShowExtent(int64_t extent, Gauge* gauge) {
    if (extent < 0) extent = 0;
    if (extent > gauge->maximum) extent = gauge->maximum;
    gauge->position = static_cast<int32_t>(extent);
}

Layout LayOut(int w) {
    Layout l{};
    int v = w / 20;
    l.ticks[0] = -1;
    for (int k = 2; k <= 20; ++k) l.ticks[k - 1] = (k - 1) * v;
    l.ticks[20] = w - 2;
    l.labels[0] = 3;
    for (int k = 2; k <= 5; ++k) l.labels[k - 1] = 2 * (k - 1) * v - 8;
    for (int k = 6; k <= 10; ++k) l.labels[k - 1] = 2 * (k - 1) * v - 11;
    l.labels[10] = w - 30;
    return l;
}

}  // namespace list

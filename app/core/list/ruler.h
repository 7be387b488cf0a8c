// The time-line ruler under the programming list: a gauge of the list extent
// against the chip capacity, 21 tick marks and 11 millisecond labels.
// Pure arithmetic; the window applies the results to its controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace list {

inline constexpr int kTickCount = 21;   // L1..L21
inline constexpr int kLabelCount = 11;  // LT1..LT11
inline constexpr int32_t kDesignedMaximum = 40000;

using LabelTexts = std::array<std::string, kLabelCount>;

// "0MS", "4000", "8000", ..., "40000": the texts before any chip is read.
LabelTexts DesignedLabelTexts();

// Relabels for a chip capacity: LT1 "0MS", LTk = (k-1) * (capacity div 10).
// A negative capacity (a damaged table) leaves the texts as they are.
void RelabelForCapacity(int32_t capacity, LabelTexts* texts);

struct Gauge {
    int32_t maximum = kDesignedMaximum;  // minimum is always 0
    int32_t position = 0;
};

// The capacity becomes the maximum; 0 or less leaves it. A lower maximum pulls the position down.
void SetMaximumForCapacity(int32_t capacity, Gauge* gauge);

// The list extent in ms, clamped to 0..maximum.
void ShowExtent(int64_t extent, Gauge* gauge);

// Left edges in pixels for a gauge of the given width.
struct Layout {
    std::array<int, kTickCount> ticks;    // ticks[0] is L1
    std::array<int, kLabelCount> labels;  // labels[0] is LT1
};
Layout LayOut(int gaugeWidth);

// Odd-numbered ticks (L1, L3, ..., L21) are long; index is 0-based.
inline bool IsLongTick(int index) { return index % 2 == 0; }

// Vertical placement in the 37-pixel panel.
inline constexpr int kLongTickTop = 18;
inline constexpr int kShortTickTop = 22;
inline constexpr int kLabelTop = 6;
inline constexpr int kGaugeHeight = 9;
inline constexpr int kPanelHeight = 37;

}  // namespace list

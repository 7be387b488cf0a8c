#include "chip_memory.h"

#include <algorithm>
#include <cmath>

namespace modsim {

int32_t ChipGeometry::RowOf(int64_t sample) const {
    if (sample <= 0 || rows <= 0) return 0;
    // An estimate from below, then up to the last row starting at or before it
    // (rows need not be a whole number of samples long).
    int64_t row = sample * 1000 / (int64_t{stepMs} * rate);
    while (row + 1 < rows && RowStart(row + 1) <= sample) ++row;
    return static_cast<int32_t>(std::min<int64_t>(row, rows - 1));
}

ChipMemory::ChipMemory(const ChipGeometry& g) : geo_(g), samples_(static_cast<size_t>(g.Samples()), 0) {}

void ChipMemory::SetDeadRows(const std::vector<RowRange>& dead) {
    dead_ = dead;
    for (const RowRange& r : dead_) {
        const int64_t from = geo_.RowStart(std::max(r.first, 0));
        const int64_t to = geo_.RowStart(std::min<int64_t>(int64_t{r.last} + 1, geo_.rows));
        for (int64_t s = from; s < to; ++s) samples_[static_cast<size_t>(s)] = 0;
    }
}

void ChipMemory::Assign(std::vector<int16_t> samples, std::vector<Mark> marks) {
    samples_ = std::move(samples);
    samples_.resize(static_cast<size_t>(geo_.Samples()), 0);
    marks_ = std::move(marks);
    std::sort(marks_.begin(), marks_.end(), [](const Mark& a, const Mark& b) { return a.sample < b.sample; });
    SetDeadRows(dead_);
}

bool ChipMemory::Dead(int64_t sample) const {
    if (dead_.empty()) return false;
    const int32_t row = geo_.RowOf(sample);
    for (const RowRange& r : dead_)
        if (row >= r.first && row <= r.last) return true;
    return false;
}

void ChipMemory::Put(int64_t sample, float value) {
    if (sample < 0 || sample >= static_cast<int64_t>(samples_.size())) return;
    if (Dead(sample)) return;
    const float scaled = std::round(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
    samples_[static_cast<size_t>(sample)] = static_cast<int16_t>(scaled);
}

void ChipMemory::Restore(int64_t sample, int16_t value) {
    if (sample < 0 || sample >= static_cast<int64_t>(samples_.size()) || Dead(sample)) return;
    samples_[static_cast<size_t>(sample)] = value;
}

int64_t ChipMemory::RecordLimit(int32_t row, std::optional<int32_t> endRow) const {
    if (endRow && *endRow >= row) return std::min(geo_.RowStart(int64_t{*endRow} + 1), geo_.Samples());
    return geo_.Samples();
}

void ChipMemory::EndRecording(int64_t from, int64_t to) {
    const int32_t first = geo_.RowOf(from);
    const int32_t last = to > from ? geo_.RowOf(to - 1) : first;
    marks_.erase(
        std::remove_if(marks_.begin(), marks_.end(), [&](const Mark& m) { return m.row >= first && m.row <= last; }),
        marks_.end());
    const Mark own{last, to};
    marks_.insert(std::upper_bound(marks_.begin(), marks_.end(), own,
                                   [](const Mark& a, const Mark& b) { return a.sample < b.sample; }),
                  own);
}

SampleRange ChipMemory::PlayRange(int32_t row, std::optional<int32_t> endRow) const {
    if (row < 0 || row >= geo_.rows) return {geo_.Samples(), geo_.Samples()};
    const int64_t from = geo_.RowStart(row);
    if (endRow && *endRow >= row) return {from, std::min(geo_.RowStart(int64_t{*endRow} + 1), geo_.Samples())};
    for (const Mark& m : marks_)
        if (m.sample >= from && m.row >= row) return {from, m.sample};
    return {from, geo_.Samples()};
}

}  // namespace modsim

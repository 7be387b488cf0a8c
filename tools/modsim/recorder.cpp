#include "recorder.h"

#include <algorithm>

namespace modsim {

namespace {

// How much of what was heard is kept for a window that opens late.
constexpr int64_t kHeardNs = 1'000'000'000;

}  // namespace

Recorder::Recorder(const ChipGeometry& g, double gain, int64_t lateNs) : memory_(g), gain_(gain), lateNs_(lateNs) {}

// The first heard sample from tNs on.
std::deque<Recorder::Heard>::const_iterator Recorder::HeardFrom(int64_t tNs) const {
    auto it = heard_.end();
    while (it != heard_.begin() && (it - 1)->t >= tNs) --it;
    return it;
}

void Recorder::CloseBack(int64_t tNs) {
    if (windows_.empty() || windows_.back().untilNs != INT64_MAX) return;
    Window& w = windows_.back();
    w.untilNs = tNs;
    // An open window stored every sample it was handed once it was the
    // first: those stamped from tNs on belong to what comes next.
    // They go, and what they stored over comes back.
    if (windows_.size() != 1) return;
    for (auto n = heard_.end() - HeardFrom(tNs); n > 0 && w.pos > w.from && !w.held.empty(); --n) {
        memory_.Restore(--w.pos, w.held.back());
        w.held.pop_back();
    }
}

void Recorder::Start(int32_t row, int64_t limit, int64_t tNs) {
    std::lock_guard<std::mutex> lock(mu_);
    CloseBack(tNs);
    const ChipGeometry& g = memory_.Geometry();
    if (row < 0 || row >= g.rows) return;  // no such address: nothing recorded
    Window w;
    w.from = w.pos = g.RowStart(row);
    w.limit = std::min(limit, g.Samples());
    w.startNs = tNs;
    windows_.push_back(w);
    // Samples stamped after the frame that came before it.
    for (auto it = HeardFrom(tNs); it != heard_.end(); ++it) Store(it->t, it->value);
}

void Recorder::Stop(int64_t tNs) {
    std::lock_guard<std::mutex> lock(mu_);
    CloseBack(tNs);
}

void Recorder::FinishFront() {
    const Window& w = windows_.front();
    memory_.EndRecording(w.from, w.pos);
    windows_.pop_front();
    changed_ = true;
}

void Recorder::FinishOverdue(int64_t nowNs, int64_t graceNs) {
    std::lock_guard<std::mutex> lock(mu_);
    while (!windows_.empty() && windows_.front().untilNs != INT64_MAX && nowNs - windows_.front().untilNs >= graceNs)
        FinishFront();
}

void Recorder::FinishAll() {
    std::lock_guard<std::mutex> lock(mu_);
    while (!windows_.empty()) FinishFront();
}

int64_t Recorder::NextDeadlineNs(int64_t graceNs) const {
    std::lock_guard<std::mutex> lock(mu_);
    if (windows_.empty() || windows_.front().untilNs == INT64_MAX) return INT64_MAX;
    return windows_.front().untilNs + graceNs;
}

bool Recorder::TakeChanged() {
    std::lock_guard<std::mutex> lock(mu_);
    const bool c = changed_;
    changed_ = false;
    return c;
}

void Recorder::Store(int64_t t, float value) {
    while (!windows_.empty() && t >= windows_.front().untilNs) FinishFront();
    if (windows_.empty()) return;
    Window& w = windows_.front();
    if (t < w.startNs) return;  // heard before the record frame
    // The chip's address counter runs from the frame on; a late start
    // leaves silence where the head of the sound would have gone.
    w.held.push_back(memory_.Samples()[static_cast<size_t>(w.pos)]);
    if (w.held.size() > 2 * static_cast<size_t>(memory_.Geometry().rate)) w.held.pop_front();
    memory_.Put(w.pos++, t < w.startNs + lateNs_ ? 0.0f : static_cast<float>(value * gain_));
    if (w.pos >= w.limit) FinishFront();
}

bool Recorder::Feed(int64_t firstNs, const float* samples, size_t n) {
    std::lock_guard<std::mutex> lock(mu_);
    const bool before = changed_;
    const double periodNs = 1e9 / memory_.Geometry().rate;
    for (size_t i = 0; i < n; ++i) {
        const int64_t t = firstNs + static_cast<int64_t>(static_cast<double>(i) * periodNs);
        heard_.push_back({t, samples[i]});
        Store(t, samples[i]);
    }
    while (!heard_.empty() && heard_.back().t - heard_.front().t > kHeardNs) heard_.pop_front();
    return changed_ && !before;
}

ChipMemory Recorder::Snapshot() const {
    std::lock_guard<std::mutex> lock(mu_);
    return memory_;
}

std::vector<int16_t> Recorder::PlaySamples(int32_t row, std::optional<int32_t> endRow) const {
    std::lock_guard<std::mutex> lock(mu_);
    const SampleRange r = memory_.PlayRange(row, endRow);
    const auto& s = memory_.Samples();
    return std::vector<int16_t>(s.begin() + r.from, s.begin() + r.to);
}

}  // namespace modsim

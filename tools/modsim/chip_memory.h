// The simulated chip's memory: its samples, the end-of-message marks it keeps
// per row, the rows a damaged chip never stores into, and where an address
// lies in the samples. Pure: no sound devices, no threads.
#pragma once

#include <stdint.h>

#include <optional>
#include <vector>

namespace modsim {

// rows addresses of stepMs milliseconds each, sampled at rate Hz.
struct ChipGeometry {
    int32_t rate = 8000;
    int32_t stepMs = 125;
    int32_t rows = 256;

    // First sample of address `row` (row == rows: the end of memory).
    int64_t RowStart(int64_t row) const { return row * stepMs * rate / 1000; }
    int64_t Samples() const { return RowStart(rows); }
    // The address holding `sample` (clamped to the last one).
    int32_t RowOf(int64_t sample) const;
};

struct RowRange {
    int32_t first = 0;
    int32_t last = 0;  // inclusive
};

// Where a recording stopped: `sample` is the first sample it did not store,
// `row` the address of its last stored sample (its start when it stored none).
struct Mark {
    int32_t row = 0;
    int64_t sample = 0;
    bool operator==(const Mark& o) const { return row == o.row && sample == o.sample; }
};

struct SampleRange {
    int64_t from = 0;
    int64_t to = 0;  // exclusive
};

class ChipMemory {
public:
    explicit ChipMemory(const ChipGeometry& g);

    const ChipGeometry& Geometry() const { return geo_; }
    const std::vector<int16_t>& Samples() const { return samples_; }
    const std::vector<Mark>& Marks() const { return marks_; }

    // Rows that always hold silence; what they held is cleared.
    void SetDeadRows(const std::vector<RowRange>& dead);
    // Replaces the contents (a loaded chip file); sizes must match the geometry.
    void Assign(std::vector<int16_t> samples, std::vector<Mark> marks);

    // Stores one sample (-1..1, clipped); a dead row keeps 0.
    void Put(int64_t sample, float value);
    // Puts back what a sample held.
    void Restore(int64_t sample, int16_t value);

    // Where a recording from address `row` has to stop: after `endRow` (the
    // second module's end address) when given and not before `row`, else at
    // the end of memory.
    int64_t RecordLimit(int32_t row, std::optional<int32_t> endRow) const;

    // A recording stored [from, to): marks within its rows go, its own comes.
    void EndRecording(int64_t from, int64_t to);

    // What a play from address `row` covers: to the end of `endRow` when
    // given and not before `row`, else to the first mark at or after the
    // row's first sample that belongs to this row or a later one, else to the
    // end of memory.
    SampleRange PlayRange(int32_t row, std::optional<int32_t> endRow) const;

private:
    bool Dead(int64_t sample) const;

    ChipGeometry geo_;
    std::vector<int16_t> samples_;
    std::vector<Mark> marks_;  // ordered by sample
    std::vector<RowRange> dead_;
};

}  // namespace modsim

// The chip memory and the recordings into it: where an address lies, where
// what was heard is stored, where a recording stops, the end-of-message marks
// and the stretch a play covers.
#include "chip_memory.h"

#include <gtest/gtest.h>

#include <cmath>

#include "recorder.h"

using namespace modsim;

namespace {

constexpr int64_t kMs = 1'000'000;

// 10 samples per address, 8 addresses: 80 samples.
ChipGeometry Small() {
    ChipGeometry g;
    g.rate = 1000;
    g.stepMs = 10;
    g.rows = 8;
    return g;
}

// What the sample heard at `ms` milliseconds is: each one differs.
float HeardAt(int64_t ms) { return static_cast<float>(ms) * 1e-4f; }
int16_t Stored(int64_t ms) { return static_cast<int16_t>(std::round(HeardAt(ms) * 32767.0f)); }

// count samples, one a millisecond, the first heard at fromMs.
bool Hear(Recorder& r, int64_t fromMs, int count) {
    std::vector<float> s;
    for (int i = 0; i < count; ++i) s.push_back(HeardAt(fromMs + i));
    return r.Feed(fromMs * kMs, s.data(), s.size());
}

std::vector<Mark> Marks(Recorder& r) { return r.Snapshot().Marks(); }
int16_t At(Recorder& r, size_t i) { return r.Snapshot().Samples()[i]; }

}  // namespace

TEST(ChipGeometry, AddressesStartWhereRateAndStepPutThem) {
    ChipGeometry g;  // the defaults: 8000 Hz, 125 ms, 256 addresses
    EXPECT_EQ(g.RowStart(3), 3000);
    EXPECT_EQ(g.Samples(), 256000);
    EXPECT_EQ(g.RowOf(2999), 2);
    EXPECT_EQ(g.RowOf(3000), 3);
    EXPECT_EQ(g.RowOf(10'000'000), 255);
    // 1378.125 samples an address: starts rounded down, rows found from them.
    g.rate = 11025;
    EXPECT_EQ(g.RowStart(1), 1378);
    EXPECT_EQ(g.RowStart(8), 11025);
    EXPECT_EQ(g.RowOf(1377), 0);
    EXPECT_EQ(g.RowOf(1378), 1);
    EXPECT_EQ(g.RowOf(11025), 8);
}

TEST(Recorder, StoresWhatWasHeardFromTheFrameOnAtTheStartAddress) {
    Recorder r(Small(), 1.0, 0);
    r.Start(2, 80, 1000 * kMs);
    EXPECT_FALSE(Hear(r, 990, 20));  // 990..1009: the first ten came before the frame
    r.Stop(1015 * kMs);
    EXPECT_FALSE(r.TakeChanged());  // nothing heard from after the release yet
    EXPECT_TRUE(Hear(r, 1010, 10));
    EXPECT_TRUE(r.TakeChanged());
    EXPECT_EQ(At(r, 19), 0);
    EXPECT_EQ(At(r, 20), Stored(1000));
    EXPECT_EQ(At(r, 34), Stored(1014));
    EXPECT_EQ(At(r, 35), 0);
    EXPECT_EQ(Marks(r), (std::vector<Mark>{{3, 35}}));
}

TEST(Recorder, SamplesStampedAheadGoToTheRecordingTheirTimeFalls) {
    // A generated source hands over samples stamped after the frames that
    // follow them: each recording still gets what was heard in its own time.
    Recorder r(Small(), 1.0, 0);
    Hear(r, 1000, 10);
    r.Start(0, 80, 1000 * kMs);
    EXPECT_EQ(At(r, 0), Stored(1000));
    r.Start(5, 80, 1005 * kMs);  // a new record frame ends the first recording
    EXPECT_EQ(Marks(r), (std::vector<Mark>{{0, 5}}));
    EXPECT_EQ(At(r, 4), Stored(1004));
    EXPECT_EQ(At(r, 5), 0);  // given up: the memory holds what it held before
    EXPECT_EQ(At(r, 50), Stored(1005));
    EXPECT_EQ(At(r, 54), Stored(1009));
    r.Stop(1012 * kMs);
    Hear(r, 1010, 5);
    EXPECT_EQ(Marks(r), (std::vector<Mark>{{0, 5}, {5, 57}}));
}

TEST(Recorder, StopsAtTheEndOfMemoryOrAfterTheEndAddress) {
    Recorder end(Small(), 1.0, 0);
    end.Start(7, 80, 0);
    EXPECT_TRUE(Hear(end, 0, 30));  // done once memory is full, without a release
    EXPECT_EQ(Marks(end), (std::vector<Mark>{{7, 80}}));
    EXPECT_EQ(At(end, 79), Stored(9));

    ChipMemory m(Small());
    EXPECT_EQ(m.RecordLimit(2, 3), 40);
    EXPECT_EQ(m.RecordLimit(2, 2), 30);
    EXPECT_EQ(m.RecordLimit(4, 3), 80);  // an end before the start: to the end of memory
    EXPECT_EQ(m.RecordLimit(2, std::nullopt), 80);
    Recorder second(Small(), 1.0, 0);
    second.Start(2, m.RecordLimit(2, 3), 0);
    Hear(second, 0, 30);
    EXPECT_EQ(Marks(second), (std::vector<Mark>{{3, 40}}));
    EXPECT_EQ(At(second, 40), 0);
}

TEST(Recorder, GainScalesAndALateStartLeavesSilenceAtTheStartAddress) {
    Recorder r(Small(), 0.1, 5 * kMs);
    r.Start(1, 80, 100 * kMs);
    std::vector<float> half(20, 0.5f);
    r.Feed(100 * kMs, half.data(), half.size());
    for (size_t i = 10; i < 15; ++i) EXPECT_EQ(At(r, i), 0) << i;
    for (size_t i = 15; i < 30; ++i) EXPECT_EQ(At(r, i), 1638) << i;  // 0.05 of full scale
}

TEST(ChipMemory, DeadRowsKeepSilence) {
    ChipMemory m(Small());
    m.Put(31, 0.5f);
    m.SetDeadRows({{3, 4}});
    EXPECT_EQ(m.Samples()[31], 0);  // what they held is gone too
    m.Put(29, 0.5f);
    m.Put(30, 0.5f);
    m.Put(49, 0.5f);
    m.Put(50, -1.5f);  // clipped
    EXPECT_EQ(m.Samples()[29], 16384);
    EXPECT_EQ(m.Samples()[30], 0);
    EXPECT_EQ(m.Samples()[49], 0);
    EXPECT_EQ(m.Samples()[50], -32767);
}

TEST(ChipMemory, ARecordingRemovesTheMarksInItsRows) {
    ChipMemory m(Small());
    m.EndRecording(0, 25);   // last sample in row 2
    m.EndRecording(40, 55);  // row 5
    m.EndRecording(20, 45);  // rows 2..4: the first mark goes, the second stays
    EXPECT_EQ(m.Marks(), (std::vector<Mark>{{4, 45}, {5, 55}}));
    m.EndRecording(60, 60);  // nothing stored: its mark is at its start
    EXPECT_EQ(m.Marks().back(), (Mark{6, 60}));
}

TEST(ChipMemory, APlayRunsToTheNextMarkOrToTheEndAddress) {
    ChipMemory m(Small());
    m.EndRecording(0, 20);  // ends right where address 2 starts: a mark of row 1
    m.EndRecording(20, 35);
    auto range = [&](int32_t row, std::optional<int32_t> end) {
        const SampleRange r = m.PlayRange(row, end);
        return std::make_pair(r.from, r.to);
    };
    EXPECT_EQ(range(0, std::nullopt), std::make_pair(int64_t{0}, int64_t{20}));
    EXPECT_EQ(range(2, std::nullopt), std::make_pair(int64_t{20}, int64_t{35}));
    EXPECT_EQ(range(4, std::nullopt), std::make_pair(int64_t{40}, int64_t{80}));  // no mark after it
    EXPECT_EQ(range(2, 5), std::make_pair(int64_t{20}, int64_t{60}));
    EXPECT_EQ(range(2, 7), std::make_pair(int64_t{20}, int64_t{80}));
    EXPECT_EQ(range(2, 1), std::make_pair(int64_t{20}, int64_t{35}));  // end before start: to the mark
    EXPECT_EQ(range(8, std::nullopt), std::make_pair(int64_t{80}, int64_t{80}));
}

// The first module's driver on the wire: frames byte for byte, pauses, codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "driver_rig.h"

using namespace modsim_test;
using Frames = std::vector<std::string>;

namespace {

const char* kHandshake = "5A 44 44 5A";
const char* kRelease = "5A 66 FF C3";

std::unique_ptr<Rig> FirstRig(const std::vector<std::string>& faults = {}) { return ModuleRig("first", faults); }

}  // namespace

TEST(FirstDriver, pulsePlayWithLinkUp_handshakeReleasePlayRelease) {
    auto rig = FirstRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    double ms = 0;
    EXPECT_EQ(rig->Timed([&] { return rig->dev->PulsePlay(0x05, 3); }, ms), 0);
    auto rx = rig->sim.WaitRx(5);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake, kRelease, "5A 33 05 6C", kRelease}));
    ASSERT_EQ(rx.size(), 5u);
    EXPECT_TRUE(NoPause(GapMs(rx[1], rx[2])));
    EXPECT_TRUE(PausesFrom(rig->startNs, &rx[1], {0, 0, 10 + 20, 0}));
    EXPECT_TRUE(NoPause(GapMs(rx[3], rx[4])));
    // The last release's own 10 ms are part of the call.
    EXPECT_GE((rx[4].t_ns - rx[1].t_ns) / 1e6 + 10, 40 - 4);
    EXPECT_GE(ms, 40);
}

TEST(FirstDriver, programmingRunOfTwoSegments_recordsAtEachStart) {
    auto rig = FirstRig();
    EXPECT_EQ(rig->dev->BeginRecording(7, 26), 0);  // link down: port scan, then handshake
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(rig->dev->RecordSegment(0x00, 0x27, 7), 0);
    EXPECT_EQ(rig->dev->RecordSegment(0x28, 0x40, 7), 0);
    double ms = 0;
    EXPECT_EQ(rig->Timed([&] { return rig->dev->EndRecording(); }, ms), 0);
    EXPECT_GE(ms, 10);
    auto rx = rig->sim.WaitRx(7);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake, kRelease, "5A 11 00 4B", kRelease, "5A 11 28 63", kRelease}));
    ASSERT_EQ(rx.size(), 7u);
    EXPECT_TRUE(PausesFrom(t0, &rx[2], {0, 10, 0, 10}));

    // The simulator's chip map: two open-ended ranges, each ended by a release.
    const nlohmann::json first = {{"start", 0},
                                  {"end", nullptr},
                                  {"mode", "normal"},
                                  {"chip_code", nullptr},
                                  {"t_record_ns", rx[3].t_ns},
                                  {"t_release_ns", rx[4].t_ns}};
    const nlohmann::json second = {{"start", 40},
                                   {"end", nullptr},
                                   {"mode", "normal"},
                                   {"chip_code", nullptr},
                                   {"t_record_ns", rx[5].t_ns},
                                   {"t_release_ns", rx[6].t_ns}};
    const std::string map = rig->sim.WaitMapHolding("records", {first, second});
    EXPECT_TRUE(test_support::MapHolds(map, "records", first)) << map;
    EXPECT_TRUE(test_support::MapHolds(map, "records", second)) << map;
}

TEST(FirstDriver, playbackSendsTheStartOnly) {
    auto rig = FirstRig();
    ASSERT_EQ(rig->dev->BeginPlayback(3), 0);
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(rig->dev->PlaySegment(0x30, 0x45), 0);
    EXPECT_EQ(rig->dev->EndPlayback(), 0);
    EXPECT_EQ(rig->dev->RecordSegment(0x9F, 0xA5, 7), 0);
    EXPECT_EQ(rig->dev->PulsePlay(0xFF, 7), 0);
    auto rx = rig->sim.WaitRx(11);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake,   // BeginPlayback
                                 kRelease, "5A 33 30 59",  // PlaySegment
                                 kRelease,                 // EndPlayback
                                 kRelease, "5A 11 9F D4",  // RecordSegment
                                 kHandshake, kRelease, "5A 33 FF 96", kRelease}));
    ASSERT_GE(rx.size(), 5u);
    EXPECT_TRUE(PausesFrom(t0, &rx[2], {0, 10 + 20, 1}));  // play, then 1 ms, then release
}

// An address beyond the argument byte would land at (address mod 256): the
// release still ends what went before, then the address is refused.
TEST(FirstDriver, addressesBeyondOneByte_refusedWithMinus8AfterTheRelease) {
    auto rig = FirstRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    EXPECT_EQ(rig->dev->RecordSegment(0x100, 0x1A5, 7), -8);
    EXPECT_EQ(rig->dev->PlaySegment(-1, 0x10), -8);
    EXPECT_EQ(rig->dev->PulsePlay(0x1FF, 7), -8);
    EXPECT_EQ(Hexes(rig->sim.RxSettled(5)), (Frames{kHandshake, kRelease, kRelease, kHandshake, kRelease}));
}

TEST(FirstDriver, failedHandshakeWithLinkUp_endsTheOperationWithMinus7) {
    auto rig = FirstRig({"--wrong-reply", "--fault-after", "1"});
    ASSERT_EQ(rig->dev->Connect(), 0);
    EXPECT_EQ(rig->dev->PulsePlay(0x05, 3), -7);
    EXPECT_EQ(Hexes(rig->sim.RxSettled(2)), (Frames{kHandshake, kHandshake}));
}

TEST(FirstDriver, linkAlreadyUp_beginRecordingSendsOnlyTheHandshake) {
    auto rig = FirstRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    EXPECT_EQ(rig->dev->BeginRecording(7, 0), 0);
    EXPECT_EQ(rig->dev->BeginRecording(7, 0), 0);
    EXPECT_EQ(Hexes(rig->sim.RxSettled(3)), (Frames{kHandshake, kHandshake, kHandshake}));
}

TEST(FirstDriver, closedPort_writesNothing_andDisconnectClearsTheLink) {
    auto rig = FirstRig();
    EXPECT_EQ(rig->dev->RecordSegment(0x10, 0x20, 7), 102);  // no link check: the port was never opened
    ASSERT_EQ(rig->dev->Connect(), 0);
    EXPECT_EQ(rig->dev->Disconnect(), 0);
    EXPECT_EQ(rig->dev->PlaySegment(0x10, 0x20), 102);
    EXPECT_EQ(rig->dev->EndRecording(), 102);
    EXPECT_EQ(rig->dev->BeginRecording(7, 0), 0);  // the link is down again: port scan, then handshake
    auto rx = rig->sim.WaitRx(3);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake, kHandshake}));
}

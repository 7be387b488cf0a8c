// The second module's driver on the wire: frames byte for byte, pauses, codes,
// and the stored AUX mode value.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "driver_rig.h"

using namespace modsim_test;
using Frames = std::vector<std::string>;

namespace {

const char* kHandshake = "5A 44 00 03 1D";
const char* kChip0102 = "5A 44 01 02 1D";
const char* kCC = "5A CC 00 00 96";
const char* kBB = "5A BB 00 00 E1";
const char* kRelease = "5A 66 00 00 3C";

std::unique_ptr<Rig> SecondRig(const std::vector<std::string>& faults = {}) { return ModuleRig("second", faults); }

}  // namespace

TEST(SecondDriver, beginRecordingWithLinkUp_chipTypeCCBBChipType) {
    auto rig = SecondRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    double ms = 0;
    EXPECT_EQ(rig->Timed([&] { return rig->dev->BeginRecording(0x0102, 26); }, ms), 0);
    auto rx = rig->sim.WaitRx(6);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake, kChip0102, kCC, kBB, kChip0102}));
    ASSERT_EQ(rx.size(), 6u);
    EXPECT_TRUE(NoPause(GapMs(rx[1], rx[2])));
    EXPECT_TRUE(PausesFrom(rig->startNs, &rx[1], {0, 0, 100, 100, 10 + 100}));
    // The chip type's own 100 ms after the last exchange are part of the call.
    EXPECT_GE(ms, 100 + 100 + 10 + 100 + 100);
}

TEST(SecondDriver, recordSegment_chipTypeReleaseEndAddressRecord_inBothModes) {
    auto rig = SecondRig();
    ASSERT_EQ(rig->dev->BeginRecording(0x0102, 26), 0);
    const size_t before = rig->sim.WaitRx(6).size();
    ASSERT_EQ(before, 6u);  // port scan, then the handshake, chip type, CC, BB, chip type
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(rig->dev->RecordSegment(0x0123, 0x0456, 0x0102), 0);
    EXPECT_EQ(rig->dev->EndRecording(), 0);
    ASSERT_EQ(rig->dev->BeginRecording(0x0102, 0), 0);
    EXPECT_EQ(rig->dev->RecordSegment(0x0123, 0x0456, 0x0102), 0);
    EXPECT_EQ(rig->dev->EndRecording(), 0);

    auto rx = rig->sim.WaitRx(before + 5 + 5 + 5);
    const Frames all = Hexes(rx);
    ASSERT_EQ(all.size(), before + 15);
    EXPECT_EQ(Frames(all.begin() + before, all.begin() + before + 5),
              (Frames{kChip0102, kRelease, "5A DD 04 56 D5", "5A 1A 01 23 62", kRelease}));
    EXPECT_EQ(Frames(all.end() - 5, all.end()),
              (Frames{kChip0102, kRelease, "5A DD 04 56 D5", "5A 11 01 23 69", kRelease}));
    const LogLine* s = &rx[before];
    EXPECT_TRUE(PausesFrom(t0, s, {50, 100, 10}));
    EXPECT_TRUE(NoPause(GapMs(s[2], s[3])));

    // Map: the end address comes with the range, the record byte gives the mode.
    const nlohmann::json aux = {{"start", 291},
                                {"end", 1110},
                                {"mode", "aux"},
                                {"chip_code", 258},
                                {"t_record_ns", s[3].t_ns},
                                {"t_release_ns", s[4].t_ns}};
    const nlohmann::json normal = {{"start", 291}, {"end", 1110}, {"mode", "normal"}, {"chip_code", 258}};
    const std::string map = rig->sim.WaitMapHolding("records", {aux, normal});
    EXPECT_TRUE(test_support::MapHolds(map, "records", aux)) << map;
    EXPECT_TRUE(test_support::MapHolds(map, "records", normal)) << map;
}

TEST(SecondDriver, chipTypeReplies_busyAndWrongGiveMinus2_silenceGives1033AfterThePause) {
    {
        auto rig = SecondRig({"--busy"});
        EXPECT_EQ(rig->dev->BeginPlayback(0x0102), -2);
        EXPECT_EQ(Hexes(rig->sim.RxSettled(3)), (Frames{kHandshake, kHandshake, kChip0102}));  // nothing after it
    }
    {
        auto rig = SecondRig({"--wrong-reply", "--fault-after", "2"});
        EXPECT_EQ(rig->dev->BeginPlayback(0x0102), -2);
    }
    {
        auto rig = SecondRig({"--silent", "--fault-after", "2"});
        double ms = 0;
        EXPECT_EQ(rig->Timed([&] { return rig->dev->BeginPlayback(0x0102); }, ms), 1033);
        EXPECT_GE(ms, 500 + 100);
        EXPECT_LT(ms, 2 * 500 + 100);  // a second reply wait would take this long at least
    }
}

TEST(SecondDriver, playSegment_releaseEndAddressPlay) {
    auto rig = SecondRig();
    ASSERT_EQ(rig->dev->BeginPlayback(0x0102), 0);
    const size_t before = rig->sim.WaitRx(4).size();
    ASSERT_EQ(before, 4u);
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(rig->dev->PlaySegment(0x0080, 0x00B0), 0);
    EXPECT_EQ(rig->dev->PlaySegment(0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(rig->dev->EndPlayback(), 0);
    auto rx = rig->sim.WaitRx(before + 7);
    const Frames all = Hexes(rx);
    ASSERT_EQ(all.size(), before + 7);
    EXPECT_EQ(Frames(all.begin() + before, all.end()), (Frames{kRelease, "5A DD 00 B0 37", "5A 33 00 80 E9", kRelease,
                                                               "5A DD FF FF 87", "5A 33 FF FF 69", kRelease}));
    const LogLine* s = &rx[before];
    EXPECT_TRUE(PausesFrom(t0, s, {0, 10 + 50, 20, 10 + 1}));
    const nlohmann::json play = {{"kind", "play"}, {"start", 128}, {"end", 176}};
    const std::string map = rig->sim.WaitMapHolding("plays", {play});
    EXPECT_TRUE(test_support::MapHolds(map, "plays", play)) << map;
}

// Addresses beyond 16 bits would land at (address mod 65536): refused, the
// end address with -6 and the start with -8, each where its frame would go.
TEST(SecondDriver, addressesBeyond16Bits_refusedWhereTheirFrameWouldGo) {
    auto rig = SecondRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    EXPECT_EQ(rig->dev->PlaySegment(0x10080, 0x100B0), -6);
    EXPECT_EQ(rig->dev->PlaySegment(0x10080, 0x00B0), -8);
    EXPECT_EQ(rig->dev->RecordSegment(-1, 0x00B0, 0x0102), -8);
    EXPECT_EQ(rig->dev->PulsePlay(0x10005, 0x0102), -8);
    EXPECT_EQ(Hexes(rig->sim.RxSettled(11)),
              (Frames{kHandshake, kRelease, kRelease, "5A DD 00 B0 37", kChip0102, kRelease, "5A DD 00 B0 37",
                      kHandshake, kChip0102, kCC, kRelease}));
}

TEST(SecondDriver, pulsePlay_endsWithThePulsePlayFrame) {
    auto rig = SecondRig();
    ASSERT_EQ(rig->dev->Connect(), 0);
    double ms = 0;
    EXPECT_EQ(rig->Timed([&] { return rig->dev->PulsePlay(5, 0x0102); }, ms), 0);
    auto rx = rig->sim.WaitRx(6);
    EXPECT_EQ(Hexes(rx), (Frames{kHandshake, kHandshake, kChip0102, kCC, kRelease, "5A 22 00 05 7D"}));
    ASSERT_EQ(rx.size(), 6u);
    EXPECT_TRUE(PausesFrom(rig->startNs, &rx[1], {0, 0, 100, 100 + 20, 10 + 20}));
    EXPECT_GE(ms, 100 + 120 + 30 + 10);
}

TEST(SecondDriver, auxModeValue_survivesAFailedLinkCheck_andANewObjectResetsIt) {
    // The library stays loaded across rebinding, so only CreateObj can reset the value.
    void* keep = dlopen((std::string(SONMIRA_OUT_DIR) + "/" + kSecondLib).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(keep, nullptr);
    {
        // The first handshake gets a bad reply: BeginRecording's port scan fails.
        auto rig = SecondRig({"--wrong-reply", "--fault-count", "1"});
        EXPECT_EQ(rig->dev->BeginRecording(0x0102, 26), -1);
        ASSERT_EQ(rig->dev->Connect(), 0);
        EXPECT_EQ(rig->dev->RecordSegment(0x0123, 0x0456, 0x0102), 0);
        auto rx = rig->sim.WaitRx(6);
        ASSERT_EQ(rx.size(), 6u);
        EXPECT_EQ(rx.back().hex, "5A 1A 01 23 62");

        // New object from the still-loaded library: back to normal recording.
        rig->lease = binding::DriverLease();
        ASSERT_EQ(rig->binding.Bind(kSecondLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
        rig->lease = rig->binding.Acquire();
        ASSERT_EQ(rig->lease->Connect(), 0);
        EXPECT_EQ(rig->lease->RecordSegment(0x0123, 0x0456, 0x0102), 0);
        rx = rig->sim.WaitRx(11);
        ASSERT_EQ(rx.size(), 11u);
        EXPECT_EQ(rx.back().hex, "5A 11 01 23 69");
    }
    dlclose(keep);
}

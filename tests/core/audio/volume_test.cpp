// Output volume arithmetic, the start/dialog/exit sequence over a fake mixer,
// the WavVal edge cases and the ALSA range mapping.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <fstream>

#include "audio/alsa_mixer.h"
#include "fake_mixer.h"
#include "audio/volume.h"

using namespace audio;
using test_support::FakeMixer;

TEST(VolumeWord, bothChannelsCarryLevelTimes256) {
    EXPECT_EQ(VolumeWordForLevel(LevelForWavVal(15)), 0xFF00FF00u);
    EXPECT_EQ(VolumeWordForLevel(LevelForWavVal(8)), 0x88008800u);  // 136 × 256 each
    EXPECT_EQ(VolumeWordForLevel(LevelForWavVal(1)), 0x11001100u);
    EXPECT_EQ(VolumeWordForLevel(LevelForWavVal(0)), 0x00000000u);
    // A level past 255 must not spill into the other channel's bits.
    EXPECT_EQ(VolumeWordForLevel(16 * 17), 0xFF00FF00u);
    EXPECT_EQ(VolumeWordForLevel(-17), 0u);
}

TEST(WavLevelFromConfig, presentValuesClampedMissingFollowsDevice) {
    EXPECT_EQ(WavLevelFromConfig(true, 0, 0xFFFFFFFF), 0);
    EXPECT_EQ(WavLevelFromConfig(true, 9, 0), 9);
    EXPECT_EQ(WavLevelFromConfig(true, 16, 0), 15);
    EXPECT_EQ(WavLevelFromConfig(true, -1, 0), 0);
    EXPECT_EQ(WavLevelFromConfig(true, 0x88008800LL, 0), 15);  // a volume word stored as the level
    EXPECT_EQ(WavLevelFromConfig(true, INT64_MIN, 0), 0);

    EXPECT_EQ(WavLevelFromConfig(false, 0, 0x88008800u), 8);
    EXPECT_EQ(WavLevelFromConfig(false, 0, 0xFFFFFFFFu), 15);
    EXPECT_EQ(WavLevelFromConfig(false, 0, 0x0000FFFFu), 8);  // left full, right off: mean 0x7FFF
    EXPECT_EQ(WavLevelFromConfig(false, 0, 0x00000800u), 0);  // nearly silent stays nearly silent
    EXPECT_EQ(WavLevelFromConfig(false, 0, 0), 15);           // unreadable or muted: full
}

TEST(VolumeControl, startDialogExit_restoresDeviceVolume) {
    FakeMixer mixer;
    mixer.word = 0x12345678;
    VolumeControl vc(mixer);
    EXPECT_EQ(vc.ApplyAtStart(true, 8), 8);
    EXPECT_EQ(vc.StoredLevel(), 136);
    EXPECT_EQ(vc.WavVal(), 8);  // the dialog's track bar
    EXPECT_EQ(mixer.word, 0x88008800u);

    EXPECT_EQ(vc.SetFromDialog(3), 3);
    EXPECT_EQ(mixer.word, 0x33003300u);  // 51 × 256 on both channels
    EXPECT_EQ(vc.SetFromDialog(40), 15);
    EXPECT_EQ(mixer.word, 0xFF00FF00u);

    vc.RestoreAtExit();
    EXPECT_EQ(mixer.word, 0x12345678u);
    EXPECT_EQ(mixer.writes, (std::vector<uint32_t>{0x88008800u, 0x33003300u, 0xFF00FF00u, 0x12345678u}));
}

TEST(VolumeControl, silentDeviceAndMissingMixer) {
    FakeMixer silent;  // reads 0: saved as 15, as the original program did
    VolumeControl a(silent);
    EXPECT_EQ(a.ApplyAtStart(false, 0), 15);
    a.RestoreAtExit();
    EXPECT_EQ(silent.word, 15u);

    FakeMixer none;
    none.works = false;
    VolumeControl b(none);
    EXPECT_EQ(b.ApplyAtStart(true, 4), 4);
    EXPECT_EQ(b.StoredLevel(), 68);
    b.SetFromDialog(2);
    b.RestoreAtExit();
    EXPECT_TRUE(none.writes.empty());
}

TEST(AlsaRange, controlRangeMapsOntoFullChannel) {
    EXPECT_EQ(ChannelFromControl(0, 0, 87), 0);
    EXPECT_EQ(ChannelFromControl(87, 0, 87), 0xFFFF);
    EXPECT_EQ(ChannelFromControl(-5000, -10239, 0), 33532);  // 5239 of 10239 steps
    EXPECT_EQ(ChannelFromControl(5, 5, 5), 0);               // empty range
    EXPECT_EQ(ControlFromChannel(0, -10239, 0), -10239);
    EXPECT_EQ(ControlFromChannel(0xFFFF, -10239, 0), 0);
    for (long v = 0; v <= 87; ++v) EXPECT_EQ(ControlFromChannel(ChannelFromControl(v, 0, 87), 0, 87), v);
}

TEST(AlsaMixer, noCard_failsQuietly) {
    if (std::ifstream("/proc/asound/cards").good()) {
        std::string first;
        std::getline(std::ifstream("/proc/asound/cards"), first);
        if (first.find("no soundcards") == std::string::npos && !first.empty())
            GTEST_SKIP() << "a sound card is present";
    }
    fflush(stderr);
    int saved = dup(2);
    FILE* capture = tmpfile();
    dup2(fileno(capture), 2);
    {
        AlsaMixer mixer;
        uint32_t word = 7;
        EXPECT_FALSE(mixer.GetVolumeWord(&word));
        EXPECT_EQ(word, 7u);
        EXPECT_FALSE(mixer.SetVolumeWord(0xFF00FF00u));
    }
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(ftell(capture), 0) << "alsa-lib printed to stderr";
    fclose(capture);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

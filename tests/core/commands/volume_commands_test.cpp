// The output volume's commands over a real configuration file and a fake
// mixer: the level applied at start-up with WavVal present, missing or not a
// number (and the key written exactly when it is missing), the volume
// dialog's OK and Cancel, and the device's volume put back at exit.
#include "commands/volume_commands.h"

#include <gtest/gtest.h>

#include "fake_mixer.h"
#include "test_files.h"

using namespace test_support;

namespace {

constexpr uint32_t kDeviceWord = 0x4000C000;  // the mean of its channels is nearest WavVal 8

class VolumeCommandsTest : public ::testing::Test {
protected:
    void StartWith(const std::string& ini) {
        WriteBytes(d / "Sonmira.INI", ini);
        w.config = std::make_unique<files::CIniFile>(d / "Sonmira.INI");
    }
    std::string Ini() const { return ReadBytes(d / "Sonmira.INI"); }
    static uint32_t Word(int wavVal) { return audio::VolumeWordForLevel(wavVal * audio::kLevelPerWavVal); }

    TempDir d;
    commands::Workspace w;
    FakeMixer mixer;
    audio::VolumeControl volume{mixer};
};

}  // namespace

TEST_F(VolumeCommandsTest, aWavValPresentIsAppliedAndNothingIsWritten) {
    const std::string ini = "[Option]\r\nComProgram=0\r\nWavVal=3\r\n";
    StartWith(ini);
    mixer.word = kDeviceWord;
    EXPECT_EQ(commands::ApplyVolumeAtStart(w, volume), 3);
    EXPECT_EQ(mixer.writes, std::vector<uint32_t>{Word(3)});
    EXPECT_EQ(volume.WavVal(), 3);
    EXPECT_EQ(Ini(), ini);
}

TEST_F(VolumeCommandsTest, aWavValOutOfRangeIsClampedAndNotRewritten) {
    const std::string ini = "[Option]\r\nWavVal=40\r\n";
    StartWith(ini);
    EXPECT_EQ(commands::ApplyVolumeAtStart(w, volume), 15);
    EXPECT_EQ(mixer.writes, std::vector<uint32_t>{Word(15)});
    EXPECT_EQ(Ini(), ini);
}

TEST_F(VolumeCommandsTest, aMissingWavValTakesTheDevicesLevelAndWritesExactlyThatKey) {
    StartWith("[Option]\r\nComProgram=0\r\nComChip=2\r\n\r\n[Device]\r\n0=SM-1\r\n");
    mixer.word = kDeviceWord;
    EXPECT_EQ(commands::ApplyVolumeAtStart(w, volume), 8);
    EXPECT_EQ(mixer.writes, std::vector<uint32_t>{Word(8)});
    EXPECT_EQ(Ini(), "[Option]\r\nComProgram=0\r\nComChip=2\r\nWavVal=8\r\n\r\n[Device]\r\n0=SM-1\r\n");
}

TEST_F(VolumeCommandsTest, aWavValThatIsNotANumberCountsAsMissingAndIsReplaced) {
    StartWith("[Option]\r\nWavVal=loud\r\n");
    mixer.word = 0;  // a silent (or unreadable) device: full level
    EXPECT_EQ(commands::ApplyVolumeAtStart(w, volume), 15);
    EXPECT_EQ(Ini(), "[Option]\r\nWavVal=15\r\n");
}

TEST_F(VolumeCommandsTest, withoutAConfigurationTheLevelIsAppliedAndNothingIsWritten) {
    mixer.word = kDeviceWord;
    EXPECT_EQ(commands::ApplyVolumeAtStart(w, volume), 8);
    EXPECT_EQ(mixer.writes, std::vector<uint32_t>{Word(8)});
}

TEST_F(VolumeCommandsTest, theExitRoutinePutsTheDevicesOwnVolumeBack) {
    StartWith("[Option]\r\nWavVal=3\r\n");
    mixer.word = kDeviceWord;
    commands::ApplyVolumeAtStart(w, volume);
    ASSERT_TRUE(w.restoreVolume);
    w.restoreVolume();
    EXPECT_EQ(mixer.word, kDeviceWord);
}

TEST_F(VolumeCommandsTest, theDialogOpensAtTheLevelInUseOkAppliesAndWritesCancelChangesNothing) {
    const std::string ini = "[Option]\r\nWavVal=8\r\n";
    StartWith(ini);
    commands::ApplyVolumeAtStart(w, volume);
    int shownAt = -1;
    EXPECT_FALSE(commands::VolumeCommand(w, volume, [&](int* position) {
        shownAt = *position;
        *position = 2;
        return false;
    }));
    EXPECT_EQ(shownAt, 8);
    EXPECT_EQ(mixer.writes.size(), 1u);
    EXPECT_EQ(Ini(), ini);

    EXPECT_TRUE(commands::VolumeCommand(w, volume, [&](int* position) {
        shownAt = *position;
        *position = 2;
        return true;
    }));
    EXPECT_EQ(shownAt, 8);
    EXPECT_EQ(mixer.word, Word(2));
    EXPECT_EQ(volume.WavVal(), 2);
    EXPECT_EQ(Ini(), "[Option]\r\nWavVal=2\r\n");

    // Out of the track bar's range: clamped before it is applied and kept.
    EXPECT_TRUE(commands::VolumeCommand(w, volume, [](int* position) {
        *position = 99;
        return true;
    }));
    EXPECT_EQ(Ini(), "[Option]\r\nWavVal=15\r\n");
    EXPECT_FALSE(commands::VolumeCommand(w, volume, nullptr));
}

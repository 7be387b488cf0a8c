// What the desktop program maps while it starts: neither GStreamer nor
// FluidSynth (the sound back end) nor the help viewer, until a file is
// measured or played or help is asked for. Read from this process's own map
// of loaded objects, so this file is an executable of its own that plays
// nothing before it looks.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/audio_length.h"
#include "audio/audio_result.h"
#include "fake_mixer.h"
#include "audio/media_player.h"
#include "startup/program_windows.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "audio/sound_backend.h"
#include "test_files.h"
#include "audio/volume.h"
#include "window_setup.h"

namespace {

const char* const kLazyLibraries[] = {"libgstreamer-1.0.so", "libfluidsynth.so", "libsonmira_sound.so", "libhhctrl.so"};

bool Mapped(const std::string& library) {
    return test_support::ReadBytes("/proc/self/maps").find("/" + library) != std::string::npos;
}

QWidget* ShownHelpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpWindow" && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

TEST(LazyLibraries, aStartThatPlaysNothingMapsNoSoundOrHelpLibraryAndTheFirstUseLoadsThem) {
    for (const char* lib : kLazyLibraries) ASSERT_FALSE(Mapped(lib)) << lib << " is mapped before the start";

    const test_support::TempDir home;
    test_support::CopyInstallData(home, {"Sonmira.INI", "sound.dat", "qv_help.chm"});
    const std::string shipped = rig::ReadFile(home / "Sonmira.INI");
    test_support::WriteBytes(home / "Sonmira.INI", "[Option]\r\nComProgram=0\r\nComChip=0\r\nWavVal=8\r\n\r\n" +
                                                       shipped.substr(shipped.find("[Device]")));
    ScriptedPrompt prompt{messages::MsgAnswer::No};
    test_support::FakeMixer mixer;
    constexpr uint32_t kDeviceWord = 0x4000C000;
    mixer.word = kDeviceWord;
    {
        ProgramWindows windows(test_support::WindowSetup(home, &prompt, &mixer));
        // The start's volume step still sets the configured level.
        EXPECT_EQ(mixer.writes, std::vector<uint32_t>{audio::VolumeWordForLevel(audio::LevelForWavVal(8))});
        windows.Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows.Main()));
        QCoreApplication::processEvents();
        for (const char* lib : kLazyLibraries) EXPECT_FALSE(Mapped(lib)) << lib << " was loaded by the start";
        EXPECT_FALSE(audio::SoundBackendLoaded());

        windows.Main().findChild<QAction*>("H2")->trigger();
        EXPECT_TRUE(Mapped("libhhctrl.so"));
        QWidget* help = ShownHelpWindow();
        ASSERT_NE(help, nullptr);
        help->close();
        windows.Main().close();
        // The exit routine still puts the device's own volume back.
        EXPECT_EQ(mixer.word, kDeviceWord);
    }
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_FALSE(audio::SoundBackendLoaded());

    // The first measure and play load the back end and work as before.
    const std::string wav = home / "tone.wav";
    ASSERT_TRUE(rig::MakeTone(wav, 300, 440));
    int ms = 0;
    EXPECT_EQ(audio::MeasureAudioLength(wav, &ms), audio::kAudioOk);
    EXPECT_EQ(ms, 300);
    EXPECT_TRUE(audio::SoundBackendLoaded());
    EXPECT_TRUE(Mapped("libsonmira_sound.so"));
    EXPECT_TRUE(Mapped("libgstreamer-1.0.so"));

    setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
    audio::CMyMediaPlayer player;
    player.SetFileName(wav);
    ASSERT_EQ(player.Open(), audio::kAudioOk);
    EXPECT_EQ(player.GetLength(), 300);
    ASSERT_EQ(player.Play(), audio::kAudioOk);
    // Bounded only so that a player that never ends fails instead of hanging.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (player.GetMode() == audio::kModePlay && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(player.GetMode(), audio::kModeStop);
    EXPECT_EQ(player.Close(), audio::kAudioOk);
}

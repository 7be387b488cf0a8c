// A sound output chosen by name: what kind each name is, and that one which
// does not open is refused with its reason and leaves the default in force.
#include <gtest/gtest.h>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "audio/output_name.h"

namespace {

using audio::OutputName;

TEST(OutputChoice, namesAreTakenAsTheKindTheyName) {
    const struct {
        const char* text;
        OutputName::Kind kind;
        const char* name;
    } cases[] = {
        {"gst:fakesink sync=true", OutputName::Kind::Gst, "fakesink sync=true"},
        {"hw:1", OutputName::Kind::Alsa, "hw:1"},
        {"plughw:CARD=Device,DEV=0", OutputName::Kind::Alsa, "plughw:CARD=Device,DEV=0"},
        {"default", OutputName::Kind::Alsa, "default"},
        {"alsa:dmix0", OutputName::Kind::Alsa, "dmix0"},
        {"alsa_output.usb-Device-00.analog-stereo", OutputName::Kind::Pulse, "alsa_output.usb-Device-00.analog-stereo"},
        {"pulse:hw", OutputName::Kind::Pulse, "hw"},
    };
    for (const auto& c : cases) {
        const OutputName named = audio::ParseOutputName(c.text);
        EXPECT_EQ(named.kind, c.kind) << c.text;
        EXPECT_EQ(named.name, c.name) << c.text;
    }
}

TEST(OutputChoice, anOutputThatDoesNotOpenIsRefusedAndTheChoiceUndone) {
    std::string error;
    ASSERT_EQ(audio::ChooseAudioOutput("gst:fakesink sync=true", &error), audio::kAudioOk) << error;
    EXPECT_EQ(audio::AudioOutputStatus().message, "sound output: gst:fakesink sync=true");

    EXPECT_EQ(audio::ChooseAudioOutput("alsa:sonmira_no_such_device", &error), audio::kAudioNoOutput);
    EXPECT_EQ(error, "ALSA device 'sonmira_no_such_device': it does not open (no such device, or it is busy)");
    EXPECT_EQ(audio::ChooseAudioOutput("gst:sonmira_no_such_element", &error), audio::kAudioNoOutput);
    EXPECT_EQ(error.rfind("sound output is not a usable GStreamer sink: ", 0), 0u) << error;
    // A refused choice chooses nothing: the default rule is back.
    setenv("SONMIRA_AUDIO_SINK", "fakesink", 1);
    EXPECT_EQ(audio::AudioOutputStatus().message, "sound output: SONMIRA_AUDIO_SINK \"fakesink\"");
    unsetenv("SONMIRA_AUDIO_SINK");
}

}  // namespace

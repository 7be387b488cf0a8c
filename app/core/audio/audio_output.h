// The sound output the player renders into, and whether there is one.
//
// An output chosen by name for the process (ChooseAudioOutput: sonmira-cli
// --audio) comes first. Else SONMIRA_AUDIO_SINK, when set, is a GStreamer sink
// description used instead of the desktop's output, e.g. "fakesink sync=true" or
// "identity sync=true ! audioconvert ! wavenc ! filesink location=F async=false".
// Otherwise pulsesink, then alsasink on "default", whichever opens.
// README.md in this folder has working descriptions, e.g. for capturing a run.
// The back end (sound_backend.h) does the work; when it cannot be loaded
// there is no output, and the message says why.
#pragma once

#include <string>

namespace audio {

struct OutputStatus {
    int code = 0;         // kAudioOk or kAudioNoOutput
    std::string message;  // names the output in use, or says why there is none
};

// Asks the output as the player would, without playing anything. The
// download command asks before it starts, since a programming run with no
// output would record silence and still report success.
OutputStatus AudioOutputStatus();

// Chooses the output every later player of this process renders into:
//   "gst:DESCRIPTION"  a GStreamer sink description, as SONMIRA_AUDIO_SINK takes
//   "alsa:NAME", or a name with a colon or one of ALSA's own PCM names
//                      ("default", "pulse", ...): that ALSA device ("hw:1",
//                      "plughw:CARD=Device,DEV=0")
//   "pulse:NAME", or any other name: that PulseAudio or PipeWire sink
// The output is opened (a sink by name must be one the sound server lists) and
// closed again, so a name that does not exist is refused before a run starts:
// kAudioNoOutput with *error saying why. "" chooses nothing (the default rule).
int ChooseAudioOutput(const std::string& output, std::string* error);

}  // namespace audio

// The sound output the player renders into, and whether there is one.
//
// An output chosen by name for the process (ChooseAudioOutput: sonmira-cli
// --audio) comes first. Else SONMIRA_AUDIO_SINK, when set, is a GStreamer sink
// description used instead of the desktop's output, e.g. "fakesink sync=true" or
// "identity sync=true ! audioconvert ! wavenc ! filesink location=F async=false".
// Otherwise pulsesink, then alsasink on "default", whichever opens.
// README.md in this folder has working descriptions, e.g. for capturing a run.
#pragma once

#include <gst/gst.h>

#include <string>

namespace audio {

// Real sinks get a short ring buffer so that their default 200 ms does not
// sit in front of the first sample: 50 ms buffer, written in 10 ms periods.
constexpr gint64 kSinkBufferTimeUs = 50000;
constexpr gint64 kSinkLatencyTimeUs = 10000;

extern const char* const kNoOutputMessage;

struct OutputStatus {
    int code = 0;         // kAudioOk or kAudioNoOutput
    std::string message;  // names the output in use, or says why there is none
};

// Asks the output as the player would, without playing anything. The
// download command asks before it starts, since a programming run with no
// output would record silence and still report success.
OutputStatus AudioOutputStatus();

struct AudioOutput {
    GstElement* bin = nullptr;  // audioconvert ! audioresample ! sink, ghost pad "sink" (floating)
    GstPad* sinkPad = nullptr;  // the sink's own input pad (ref held), for the first-buffer stamp
    std::string name;           // what was chosen, for messages
};

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

// Builds the output stage, already opened (READY). kAudioNoOutput when no sink
// opens, or SONMIRA_AUDIO_SINK takes no raw audio: unlike autoaudiosink this
// never falls back to a fake sink.
int MakeAudioOutput(AudioOutput* out, std::string* error);

// Drops an output stage (or sink) that no pipeline took: it may arrive opened
// and floating, so it is closed before its reference goes.
void DiscardAudioOutput(GstElement* bin);

}  // namespace audio

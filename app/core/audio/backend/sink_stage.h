// The output stage every played file renders into: audioconvert !
// audioresample ! the chosen sink (audio_output.h says which one is chosen).
#pragma once

#include <gst/gst.h>

#include <string>

#include "audio/audio_output.h"

namespace audio {

// Real sinks get a short ring buffer so that their default 200 ms does not
// sit in front of the first sample: 50 ms buffer, written in 10 ms periods.
constexpr gint64 kSinkBufferTimeUs = 50000;
constexpr gint64 kSinkLatencyTimeUs = 10000;

extern const char* const kNoOutputMessage;

struct AudioOutput {
    GstElement* bin = nullptr;  // audioconvert ! audioresample ! sink, ghost pad "sink" (floating)
    GstPad* sinkPad = nullptr;  // the sink's own input pad (ref held), for the first-buffer stamp
    std::string name;           // what was chosen, for messages
};

// Builds the output stage, already opened (READY). kAudioNoOutput when no sink
// opens, or SONMIRA_AUDIO_SINK takes no raw audio: unlike autoaudiosink this
// never falls back to a fake sink.
int MakeAudioOutput(AudioOutput* out, std::string* error);

// Drops an output stage (or sink) that no pipeline took: it may arrive opened
// and floating, so it is closed before its reference goes.
void DiscardAudioOutput(GstElement* bin);

// What the functions of audio_output.h do, here in the back end.
OutputStatus OutputStatusNow();
int ChooseOutputNow(const std::string& output, std::string* error);

}  // namespace audio

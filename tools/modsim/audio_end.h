// A sound source or sink for a name the user gave (--aux-in, --line-out),
// named as audio::ParseOutputName says: "gst:DESCRIPTION", an ALSA device, or
// a PulseAudio/PipeWire source or sink.
#pragma once

#include <gst/gst.h>

#include <string>

namespace modsim {

// A floating element (a bin for a description), or nullptr with *error set.
// Device elements get a short ring buffer, so sound comes and goes promptly.
GstElement* MakeAudioEnd(const std::string& name, bool source, std::string* error);

// The descriptor to poll for the pipeline's bus messages; -1 without a pipeline.
int BusPollFd(GstElement* pipeline);

// The text of the first error message on `bus`, or "" (pops what it reads).
std::string BusError(GstBus* bus);

}  // namespace modsim

// Standard MIDI files: recognising them by content and measuring their length
// from the tempo map, the way a sequencer times them (the last event's time,
// without any release tail of the synthesizer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audio {

// True when the bytes start like a standard MIDI file ("MThd") or a RIFF
// RMID wrapper around one.
bool LooksLikeMidi(const uint8_t* data, size_t size);

// True when the file's first bytes look like MIDI (see LooksLikeMidi).
bool FileLooksLikeMidi(const std::string& path);

// Reads the file and returns the bare SMF bytes in *smf (an RMID wrapper is
// removed). False when the file is unreadable or not MIDI.
bool LoadMidiFile(const std::string& path, std::vector<uint8_t>* smf);

// Time of the last event in microseconds. Damaged tracks are read up to the
// damage; returns kAudioUnsupported when the header itself is unusable.
int SmfDurationUs(const uint8_t* data, size_t size, int64_t* durationUs);

}  // namespace audio

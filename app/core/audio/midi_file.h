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

// The bare SMF bytes of a file's content (an RMID wrapper removed); false when
// they are not MIDI. LoadMidiFile's in-memory half.
bool ExtractSmf(const uint8_t* data, size_t size, std::vector<uint8_t>* smf);

// Time of the last event in microseconds. The file is read up to its first
// damage (an event cut by its track's end or the file's, a delta or length
// longer than four bytes, a data byte with no status to run on, a stray
// system byte, a tempo of 0 or shorter than three bytes) and no further: the time is that of the last
// complete event before it, 0 when there is none. A chunk whose length runs
// past the end is read as far as its bytes go. Returns kAudioUnsupported when
// the header itself is unusable.
int SmfDurationUs(const uint8_t* data, size_t size, int64_t* durationUs);

}  // namespace audio

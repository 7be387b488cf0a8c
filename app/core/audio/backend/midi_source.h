// MIDI playback: FluidSynth renders the file (its own sequencer times tempo
// changes right when driven by the rendered sample count) into an appsrc, so
// the samples take the same output path as every other file.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <string>
#include <vector>

struct _GstAppSrc;
struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace audio {

constexpr int kMidiRate = 44100;

// The General MIDI soundfont: SONMIRA_SOUNDFONT, then Debian's TimGM6mb and the
// system default. Empty when none exists.
std::string FindSoundFont();

class MidiSource {
public:
    MidiSource() = default;
    ~MidiSource();
    MidiSource(const MidiSource&) = delete;
    MidiSource& operator=(const MidiSource&) = delete;

    // Prepares one file for rendering durationUs of it (the tempo-map length:
    // feeding stops there, so the synthesizer's release tail is not played).
    // Returns an appsrc (floating) that renders on demand, or nullptr.
    GstElement* Start(const std::vector<uint8_t>& smf, int64_t durationUs, int* result);
    // After the pipeline is down: forget the file, silence the synthesizer.
    void Stop();

private:
    static void OnNeedData(_GstAppSrc* src, guint length, gpointer self);
    bool EnsureSynth();

    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;  // kept across files: loading the soundfont is the slow part
    _fluid_player_t* player_ = nullptr;
    uint64_t framesTotal_ = 0;
    uint64_t framesDone_ = 0;
};

}  // namespace audio

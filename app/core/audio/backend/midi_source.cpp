#include "audio/backend/midi_source.h"

#include <fluidsynth.h>
#include <gst/app/gstappsrc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "audio/audio_result.h"
#include "audio/backend/gst_threads.h"

namespace audio {
namespace {

constexpr guint kChunkFrames = 1024;  // 23 ms per buffer
constexpr guint kChannels = 2;
constexpr guint64 kQueueBytes = 4 * kChunkFrames * kChannels * sizeof(int16_t);  // render ~90 ms ahead

bool Readable(const std::string& path) { return !path.empty() && access(path.c_str(), R_OK) == 0; }

}  // namespace

std::string FindSoundFont() {
    const char* env = std::getenv("SONMIRA_SOUNDFONT");
    if (env && Readable(env)) return env;
    static const char* const kCandidates[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/soundfonts/default.sf2",    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/soundfonts/FluidR3_GM.sf2",
    };
    for (const char* path : kCandidates)
        if (Readable(path)) return path;
    // Whatever this FluidSynth build was configured with.
    fluid_settings_t* settings = new_fluid_settings();
    std::string found;
    char* def = nullptr;
    if (settings && fluid_settings_dupstr(settings, "synth.default-soundfont", &def) == FLUID_OK && def) {
        if (Readable(def)) found = def;
        fluid_free(def);
    }
    if (settings) delete_fluid_settings(settings);
    return found;
}

MidiSource::~MidiSource() {
    Stop();
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

bool MidiSource::EnsureSynth() {
    if (synth_) return true;
    std::string font = FindSoundFont();
    if (font.empty()) return false;
    settings_ = new_fluid_settings();
    if (!settings_) return false;
    fluid_settings_setnum(settings_, "synth.sample-rate", kMidiRate);
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    // The sequencer follows the rendered samples, not the wall clock: tempo
    // changes land where the file puts them however fast we render.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    synth_ = new_fluid_synth(settings_);
    if (!synth_ || fluid_synth_sfload(synth_, font.c_str(), 1) == FLUID_FAILED) {
        if (synth_) delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        return false;
    }
    return true;
}

GstElement* MidiSource::Start(const std::vector<uint8_t>& smf, int64_t durationUs, int* result) {
    Stop();
    if (!EnsureSynth()) {
        *result = kAudioFailed;
        return nullptr;
    }
    player_ = new_fluid_player(synth_);
    if (!player_ || fluid_player_add_mem(player_, smf.data(), smf.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK) {
        Stop();
        *result = kAudioUnsupported;
        return nullptr;
    }
    framesTotal_ = gst_util_uint64_scale_round(uint64_t(durationUs > 0 ? durationUs : 0), kMidiRate, 1000000);
    framesDone_ = 0;

    GstElement* src = gst_element_factory_make("appsrc", nullptr);
    if (!src) {
        Stop();
        *result = kAudioFailed;
        return nullptr;
    }
    GstCaps* caps =
        gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout", G_TYPE_STRING, "interleaved",
                            "rate", G_TYPE_INT, kMidiRate, "channels", G_TYPE_INT, int(kChannels), nullptr);
    g_object_set(src, "caps", caps, "format", GST_FORMAT_TIME, "is-live", FALSE, "max-bytes", kQueueBytes, nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = OnNeedData;
    gst_app_src_set_callbacks(GST_APP_SRC(src), &callbacks, this, nullptr);
    *result = kAudioOk;
    return src;
}

// Runs on appsrc's streaming thread: the only user of the synthesizer while
// the pipeline is up.
void MidiSource::OnNeedData(GstAppSrc* src, guint, gpointer self) {
    const GstThreadCallback onGstThread;
    auto* m = static_cast<MidiSource*>(self);
    if (m->framesDone_ >= m->framesTotal_) {
        gst_app_src_end_of_stream(src);
        return;
    }
    guint frames = guint(std::min<uint64_t>(kChunkFrames, m->framesTotal_ - m->framesDone_));
    GstBuffer* buf = gst_buffer_new_allocate(nullptr, frames * kChannels * sizeof(int16_t), nullptr);
    GstMapInfo map;
    gst_buffer_map(buf, &map, GST_MAP_WRITE);
    fluid_synth_write_s16(m->synth_, int(frames), map.data, 0, kChannels, map.data, 1, kChannels);
    gst_buffer_unmap(buf, &map);
    GST_BUFFER_PTS(buf) = gst_util_uint64_scale(m->framesDone_, GST_SECOND, kMidiRate);
    GST_BUFFER_DURATION(buf) =
        gst_util_uint64_scale(m->framesDone_ + frames, GST_SECOND, kMidiRate) - GST_BUFFER_PTS(buf);
    GST_BUFFER_OFFSET(buf) = m->framesDone_;
    m->framesDone_ += frames;
    gst_app_src_push_buffer(src, buf);
    if (m->framesDone_ >= m->framesTotal_) gst_app_src_end_of_stream(src);
}

void MidiSource::Stop() {
    if (player_) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    if (synth_) fluid_synth_system_reset(synth_);
    framesTotal_ = framesDone_ = 0;
}

}  // namespace audio

#include "audio/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <initializer_list>

#include "audio/quiet_alsa.h"

namespace audio {

uint16_t ChannelFromControl(long value, long min, long max) {
    if (max <= min) return 0;
    if (value <= min) return 0;
    if (value >= max) return 0xFFFF;
    return uint16_t(((value - min) * 0xFFFFLL + (max - min) / 2) / (max - min));
}

long ControlFromChannel(uint16_t channel, long min, long max) {
    if (max <= min) return min;
    return min + long((channel * (long long)(max - min) + 0x7FFF) / 0xFFFF);
}

AlsaMixer::~AlsaMixer() {
    if (mixer_) snd_mixer_close(mixer_);
}

bool AlsaMixer::EnsureOpen() {
    if (elem_) return true;
    QuietAlsaErrors();
    if (!mixer_) {
        if (snd_mixer_open(&mixer_, 0) < 0) {
            mixer_ = nullptr;
            return false;
        }
        if (snd_mixer_attach(mixer_, "default") < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 ||
            snd_mixer_load(mixer_) < 0) {
            snd_mixer_close(mixer_);
            mixer_ = nullptr;
            return false;
        }
    }
    for (const char* name : {"Master", "PCM"}) {
        snd_mixer_selem_id_t* id;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, name);
        snd_mixer_elem_t* e = snd_mixer_find_selem(mixer_, id);
        if (e && snd_mixer_selem_has_playback_volume(e)) {
            elem_ = e;
            return true;
        }
    }
    return false;
}

bool AlsaMixer::GetVolumeWord(uint32_t* word) {
    if (!EnsureOpen()) return false;
    long min = 0, max = 0, left = 0, right = 0;
    snd_mixer_selem_get_playback_volume_range(elem_, &min, &max);
    if (snd_mixer_selem_is_playback_mono(elem_)) {
        if (snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_MONO, &left) < 0) return false;
        right = left;
    } else if (snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_FRONT_LEFT, &left) < 0 ||
               snd_mixer_selem_get_playback_volume(elem_, SND_MIXER_SCHN_FRONT_RIGHT, &right) < 0) {
        return false;
    }
    *word = ChannelFromControl(left, min, max) | (uint32_t(ChannelFromControl(right, min, max)) << 16);
    return true;
}

bool AlsaMixer::SetVolumeWord(uint32_t word) {
    if (!EnsureOpen()) return false;
    long min = 0, max = 0;
    snd_mixer_selem_get_playback_volume_range(elem_, &min, &max);
    uint16_t left = word & 0xFFFF, right = word >> 16;
    if (snd_mixer_selem_is_playback_mono(elem_))
        return snd_mixer_selem_set_playback_volume(elem_, SND_MIXER_SCHN_MONO,
                                                   ControlFromChannel(uint16_t((left + right) / 2), min, max)) >= 0;
    return snd_mixer_selem_set_playback_volume(elem_, SND_MIXER_SCHN_FRONT_LEFT, ControlFromChannel(left, min, max)) >=
               0 &&
           snd_mixer_selem_set_playback_volume(elem_, SND_MIXER_SCHN_FRONT_RIGHT,
                                               ControlFromChannel(right, min, max)) >= 0;
}

}  // namespace audio

// The output volume on the ALSA simple mixer of the default card ("Master",
// else "PCM"); through alsa-plugins' "default" device this reaches PulseAudio
// too. Without a card every call fails quietly.
#pragma once

#include "audio/volume.h"

struct _snd_mixer;
struct _snd_mixer_elem;

namespace audio {

class AlsaMixer : public IMixer {
public:
    AlsaMixer() = default;
    ~AlsaMixer() override;
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;

    bool GetVolumeWord(uint32_t* word) override;
    bool SetVolumeWord(uint32_t word) override;

private:
    bool EnsureOpen();

    _snd_mixer* mixer_ = nullptr;
    _snd_mixer_elem* elem_ = nullptr;
};

// Maps between the control's own range and a channel's 0..0xFFFF.
uint16_t ChannelFromControl(long value, long min, long max);
long ControlFromChannel(uint16_t channel, long min, long max);

}  // namespace audio

#include "commands/volume_commands.h"

#include "files/config.h"

namespace ws {

int ApplyVolumeAtStart(Workspace& w, audio::VolumeControl& volume) {
    cfg::StartSettings s;
    if (w.config) s = cfg::ReadStartSettings(*w.config);
    const int wavVal = volume.ApplyAtStart(s.hasWavVal, s.wavVal);
    if (!s.hasWavVal && w.config) cfg::WriteWavVal(*w.config, wavVal);
    w.restoreVolume = [&volume] { volume.RestoreAtExit(); };
    return wavVal;
}

bool VolumeCommand(Workspace& w, audio::VolumeControl& volume, const VolumeDialog& dialog) {
    int position = volume.WavVal();
    if (!dialog || !dialog(&position)) return false;
    const int wavVal = volume.SetFromDialog(position);
    if (w.config) cfg::WriteWavVal(*w.config, wavVal);
    return true;
}

}  // namespace ws

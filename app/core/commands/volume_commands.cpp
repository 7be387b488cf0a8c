#include "commands/volume_commands.h"

#include "files/config.h"

namespace commands {

int ApplyVolumeAtStart(Workspace& w, audio::VolumeControl& volume) {
    files::StartSettings s;
    if (w.config) s = files::ReadStartSettings(*w.config);
    const int wavVal = volume.ApplyAtStart(s.hasWavVal, s.wavVal);
    if (!s.hasWavVal && w.config) files::WriteWavVal(*w.config, wavVal);
    w.restoreVolume = [&volume] { volume.RestoreAtExit(); };
    return wavVal;
}

bool VolumeCommand(Workspace& w, audio::VolumeControl& volume, const VolumeDialog& dialog) {
    int position = volume.WavVal();
    if (!dialog || !dialog(&position)) return false;
    const int wavVal = volume.SetFromDialog(position);
    if (w.config) files::WriteWavVal(*w.config, wavVal);
    return true;
}

}  // namespace commands

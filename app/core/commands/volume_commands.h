// The output volume's commands over the workspace: the level applied at
// start-up and the volume dialog's OK, each keeping WavVal in the
// configuration ([Option] WavVal, 0..15), and the device's own volume put
// back by the exit routine.
#pragma once

#include <functional>

#include "audio/volume.h"
#include "commands/workspace.h"

namespace commands {

// The start-up's volume step: WavVal is read from the configuration and set
// on the output. When it is missing (or not a number) the level nearest the
// device's present volume is used (15 for a device that reads 0) and written
// back as WavVal, so the next start takes the same level without asking the
// device; a WavVal present is never written. Without a configuration nothing
// is read or written. The exit routine (CloseMainWindow) then puts the
// device's own volume back through `volume`, which must outlive `w`'s use.
// Returns the WavVal in use.
int ApplyVolumeAtStart(Workspace& w, audio::VolumeControl& volume);

// Runs the volume dialog at the track-bar position `*position`; true on OK,
// with the chosen position in `*position`.
using VolumeDialog = std::function<bool(int* position)>;

// The volume command: the dialog opens at the level in use; OK sets the
// chosen level on the output and writes it as WavVal; Cancel (or the close
// box) changes nothing. True on OK.
bool VolumeCommand(Workspace& w, audio::VolumeControl& volume, const VolumeDialog& dialog);

}  // namespace commands

// The download command's inputs taken from the workspace: the desktop program
// and the command-line tool build them here, so both run the same list, chip
// and driver.
#pragma once

#include <cstdint>

#include "commands/workspace.h"
#include "runs/download_command.h"

namespace commands {

// `auxMode` is kAuxModeOn or kAuxModeOff; `player`, when given, is closed
// before the run.
runs::DownloadInputs DownloadInputsOf(Workspace& w, int32_t auxMode, audio::CMyMediaPlayer* player = nullptr);

}  // namespace commands

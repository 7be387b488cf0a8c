#include "commands/download_inputs.h"

namespace commands {

runs::DownloadInputs DownloadInputsOf(Workspace& w, int32_t auxMode, audio::CMyMediaPlayer* player) {
    runs::DownloadInputs in;
    in.list = &w.list;
    in.chip = w.chip;
    in.aux_mode = auxMode;
    in.drivers = &w.drivers;
    in.player = player;
    return in;
}

}  // namespace commands

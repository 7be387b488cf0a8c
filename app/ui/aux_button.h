// The AUX recording mode tool button: its hint names what the next click
// does; its image is an index into the window's image list.
#pragma once

#include "runs/aux_mode.h"

namespace ui {

inline const char* AuxButtonHint(const runs::AuxModeState& aux) {
    return aux.Pressed() ? "关闭AUX录音模式" : "启用AUX录音模式";
}

inline int AuxButtonImageIndex(const runs::AuxModeState& aux) { return aux.Pressed() ? 22 : 23; }

}  // namespace ui

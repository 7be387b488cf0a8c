// The AUX recording mode toggle: the value handed to BeginRecording. What the
// tool button shows for it belongs to the window (app/ui/aux_button.h).
#pragma once

#include "IDevInter.h"

namespace runs {

struct AuxModeState {
    int value = kAuxModeOff;  // off at start-up, never stored

    void Toggle() { value = value == kAuxModeOn ? kAuxModeOff : kAuxModeOn; }
    bool Pressed() const { return value == kAuxModeOn; }
};

}  // namespace runs

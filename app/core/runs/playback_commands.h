// The two chip playback commands: pulse-triggered play from the address in
// the play address box, and continuous play of the marked segments under the
// play-count dialog.
#pragma once

#include <string>

#include "list/address_math.h"
#include "runs/download_command.h"
#include "binding/driver_binding.h"
#include "runs/play_thread.h"
#include "list/programming_list.h"
#include "messages/user_prompt.h"

namespace runs {

// Pulse play: the address check on `box` (corrected in place), then
// PulsePlay(box value, chip code) with its result shown. The address goes to
// the driver as typed, without the address scale.
enum class PulseEnd {
    Played,    // PulsePlay returned 0
    Stopped,   // an address, busy or driver message was shown
    NoDriver,  // nothing bound: nothing shown
};
PulseEnd PulsePlayCommand(std::string& box, const files::ChipProfile& chip, binding::DriverBinding* drivers,
                          messages::IUserPrompt& ui);

// Continuous play up to the dialog: empty list check, the address check (its
// value is not used further), BeginPlayback with its result shown. On
// OpenDialog *job holds the playback for the play-count dialog's show step.
CommandEnd ContinuousPlayCommand(std::string& box, const list::ProgrammingList& list, const files::ChipProfile& chip,
                                 binding::DriverBinding* drivers, messages::IUserPrompt& ui, PlayJob* job);

}  // namespace runs

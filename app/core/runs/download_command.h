// The download command: checks the list against the chip, prepares the
// module for recording and hands the caller the job for the progress
// dialog, whose show step starts the programming worker.
#pragma once

#include <cstdint>
#include <functional>

#include "list/address_math.h"
#include "binding/driver_binding.h"
#include "list/programming_list.h"
#include "runs/rec_thread.h"
#include "runs/run_view.h"
#include "messages/user_prompt.h"
namespace audio {
class CMyMediaPlayer;
}  // namespace audio

namespace runs {

// How long a command waits for the driver lease before it says the last
// worker is still busy.
inline constexpr int kLeaseWaitMs = 100;

struct DownloadInputs {
    const list::ProgrammingList* list = nullptr;
    files::ChipProfile chip;
    int32_t aux_mode = 0;  // kAuxModeOn while AUX recording mode is on
    binding::DriverBinding* drivers = nullptr;
    audio::CMyMediaPlayer* player = nullptr;  // the main window's player: closed before the run
    // True when a sound output exists. Unset: asks the audio output.
    std::function<bool()> hasSoundOutput;
};

enum class CommandEnd {
    OpenDialog,  // checks passed, module prepared: show the dialog with the job
    Stopped,     // a message was shown or the user answered No
    NoDriver,    // no driver bound: nothing shown
};

// Takes the driver for a command, waiting at most kLeaseWaitMs. True with
// *lease holding the bound driver; otherwise false and *end says why:
// NoDriver when nothing is bound (nothing shown), Stopped when a worker still
// holds it (MsgId::WorkerBusy shown).
bool TakeDriver(binding::DriverBinding* drivers, messages::IUserPrompt& ui, binding::DriverLease* lease,
                CommandEnd* end);

// Runs the command up to the dialog. Before the driver is touched it asks
// whether to go on when marked segments overlap (MsgId::AskOverlap). On
// OpenDialog *job holds the run and the view has been prepared: range
// 0 .. extent, "准备编程..." at 0, caption "准备编程".
CommandEnd DownloadCommand(const DownloadInputs& in, messages::IUserPrompt& ui, IRunView& view, RecJob* job);

}  // namespace runs

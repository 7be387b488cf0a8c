// The verification as the desktop program runs it: the command's checks up to
// the dialog (the list, the driver, the sound input), then a worker on the
// run dialog that updates the view as the playback worker does and ends with
// every segment's outcome.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/chip_table.h"
#include "list/programming_list.h"
#include "messages/user_prompt.h"
#include "runs/download_command.h"
#include "runs/run_dialog.h"
#include "runs/run_view.h"
#include "verify/chip_verify.h"

namespace verify {

inline constexpr const char* kVerifyCaption = "正在校验......";

struct VerifyRun {
    VerifyJob job;
    std::shared_ptr<audio::ISoundCapture> capture;  // the input, open; job.capture points to it
};

// Up to the dialog: no marked row (MsgId::NothingToVerify), no driver
// (NoDriver, nothing shown) or one a worker still holds (MsgId::WorkerBusy),
// a sound input that does not open (MsgId::VerifyInputMissing with the
// reason); nothing is sent to the module before these pass. On OpenDialog
// *run holds the verification.
runs::CommandEnd VerifyCommand(const list::ProgrammingList& list, const files::ChipProfile& chip,
                               binding::DriverBinding* drivers, const std::string& input, double minSimilarity,
                               messages::IUserPrompt& ui, VerifyRun* run);

// The dialog's show step: starts the worker unless the dialog is running.
// The view gets the caption, the range (the segment count) and, per
// segment, its file name and how many are done; Cancel (the dialog's close
// step) ends the run at once. on_end gets the outcomes on the worker's thread
// after the view was asked to close.
bool StartVerifyThread(runs::RunDialog& dialog, VerifyRun run, runs::IRunView& view,
                       std::function<void(VerifyEnd, std::vector<SegmentOutcome>)> on_end);

}  // namespace verify

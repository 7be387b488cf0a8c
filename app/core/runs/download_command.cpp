#include "runs/download_command.h"

#include <algorithm>
#include <chrono>

#include "audio/audio_output.h"
#include "audio/audio_result.h"
#include "audio/media_player.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "list/overlaps.h"
#include "runs/reason_texts.h"
#include "runs/run_dialog.h"

namespace runs {

namespace {

bool SoundOutputExists() { return audio::AudioOutputStatus().code != audio::kAudioNoOutput; }

}  // namespace

bool TakeDriver(binding::DriverBinding* drivers, messages::IUserPrompt& ui, binding::DriverLease* lease,
                CommandEnd* end) {
    *end = CommandEnd::NoDriver;
    if (!drivers || !drivers->IsBound()) return false;
    *lease = drivers->TryAcquire(std::chrono::milliseconds(kLeaseWaitMs));
    if (!*lease) {
        messages::ShowMessage(ui, messages::MsgId::WorkerBusy);
        *end = CommandEnd::Stopped;
        return false;
    }
    return lease->driver() != nullptr;
}

CommandEnd DownloadCommand(const DownloadInputs& in, messages::IUserPrompt& ui, IRunView& view, RecJob* job) {
    const list::ProgrammingList& list = *in.list;
    if (!list.IsUsed(1)) {
        messages::ShowMessage(ui, messages::MsgId::NothingToProgram);
        return CommandEnd::Stopped;
    }
    int64_t extent = 0;
    std::string bad_text;
    if (list::ComputeExtent(list, in.chip, &extent, &bad_text) != list::kListOk) {
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad_text));
        return CommandEnd::Stopped;
    }
    if (extent > in.chip.capacity &&
        messages::ShowMessage(ui, messages::MsgId::AskOverCapacity) != messages::MsgAnswer::Yes)
        return CommandEnd::Stopped;
    if (extent <= 0) {
        messages::ShowMessage(ui, messages::MsgId::NothingToProgram);
        return CommandEnd::Stopped;
    }
    // Hand-typed addresses can make a later segment record over an earlier one.
    const std::vector<list::Overlap> overlaps = list::MarkedOverlaps(list, in.chip);
    if (!overlaps.empty() &&
        messages::ShowMessage(ui, messages::MsgId::AskOverlap, OverlapList(overlaps)) != messages::MsgAnswer::Yes)
        return CommandEnd::Stopped;
    {
        binding::DriverLease lease;
        CommandEnd end;
        if (!TakeDriver(in.drivers, ui, &lease, &end)) return end;
        // Without a sound output the module would record silence and the run
        // would still end as if all went well.
        const bool has_output = in.hasSoundOutput ? in.hasSoundOutput() : SoundOutputExists();
        if (!has_output && messages::ShowMessage(ui, messages::MsgId::AskNoSoundOutput) != messages::MsgAnswer::Yes)
            return CommandEnd::Stopped;
        if (messages::ShowDriverResult(ui, lease->BeginRecording(in.chip.code, in.aux_mode)))
            return CommandEnd::Stopped;
    }  // the worker takes the lease when it starts

    if (in.player) in.player->Close();
    view.SetRange(static_cast<int32_t>(std::min<int64_t>(extent, INT32_MAX)));
    view.SetStatus(kRecStatusPreparing, 0);
    view.SetCaption(kRecCaptionPreparing);
    job->list = list;
    job->chip = in.chip;
    job->extent = extent;
    job->drivers = in.drivers;
    return CommandEnd::OpenDialog;
}

}  // namespace runs

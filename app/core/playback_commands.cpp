#include "playback_commands.h"

#include <chrono>

#include "driver_result.h"
#include "play_address.h"
#include "run_dialog.h"

namespace {

bool AddressAccepted(std::string& box, const addr::ChipParams& chip, IUserPrompt& ui, int32_t* address) {
    return play_address::CheckPlayAddress(box, chip.lowest, chip.last_address, ui, address);
}

}  // namespace

PulseEnd PulsePlayCommand(std::string& box, const addr::ChipParams& chip, DriverBinding* drivers,
                          IUserPrompt& ui) {
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return PulseEnd::Stopped;
    if (!drivers || !drivers->IsBound()) return PulseEnd::NoDriver;
    DriverLease lease = drivers->TryAcquire(std::chrono::milliseconds(kLeaseWaitMs));
    if (!lease) {
        Tell(ui, kMsgWorkerBusy, kCaptionSystem);
        return PulseEnd::Stopped;
    }
    if (!lease.driver()) return PulseEnd::NoDriver;
    return ShowDriverResult(ui, lease->PulsePlay(address, chip.code)) ? PulseEnd::Stopped : PulseEnd::Played;
}

CommandEnd ContinuousPlayCommand(std::string& box, const plist::ProgrammingList& list,
                                 const addr::ChipParams& chip, DriverBinding* drivers, IUserPrompt& ui,
                                 PlayJob* job) {
    if (!list.IsUsed(1)) {
        Tell(ui, kMsgNothingToPlay, kCaptionSystem);
        return CommandEnd::Stopped;
    }
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return CommandEnd::Stopped;
    if (!drivers || !drivers->IsBound()) return CommandEnd::NoDriver;
    {
        DriverLease lease = drivers->TryAcquire(std::chrono::milliseconds(kLeaseWaitMs));
        if (!lease) {
            Tell(ui, kMsgWorkerBusy, kCaptionSystem);
            return CommandEnd::Stopped;
        }
        if (!lease.driver()) return CommandEnd::NoDriver;
        if (ShowDriverResult(ui, lease->BeginPlayback(chip.code))) return CommandEnd::Stopped;
    }
    job->list = list;
    job->chip = chip;
    job->drivers = drivers;
    return CommandEnd::OpenDialog;
}

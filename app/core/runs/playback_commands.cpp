#include "runs/playback_commands.h"

#include "messages/messages.h"
#include "list/play_address.h"

namespace {

bool AddressAccepted(std::string& box, const chips::ChipProfile& chip, IUserPrompt& ui, int32_t* address) {
    return play_address::CheckPlayAddress(box, chip.lowest, chip.lastAddress, ui, address);
}

}  // namespace

PulseEnd PulsePlayCommand(std::string& box, const chips::ChipProfile& chip, DriverBinding* drivers, IUserPrompt& ui) {
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return PulseEnd::Stopped;
    DriverLease lease;
    CommandEnd end;
    if (!TakeDriver(drivers, ui, &lease, &end))
        return end == CommandEnd::NoDriver ? PulseEnd::NoDriver : PulseEnd::Stopped;
    return ShowDriverResult(ui, lease->PulsePlay(address, chip.code)) ? PulseEnd::Stopped : PulseEnd::Played;
}

CommandEnd ContinuousPlayCommand(std::string& box, const plist::ProgrammingList& list, const chips::ChipProfile& chip,
                                 DriverBinding* drivers, IUserPrompt& ui, PlayJob* job) {
    if (!list.IsUsed(1)) {
        ShowMessage(ui, MsgId::NothingToPlay);
        return CommandEnd::Stopped;
    }
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return CommandEnd::Stopped;
    {
        DriverLease lease;
        CommandEnd end;
        if (!TakeDriver(drivers, ui, &lease, &end)) return end;
        if (ShowDriverResult(ui, lease->BeginPlayback(chip.code))) return CommandEnd::Stopped;
    }
    job->list = list;
    job->chip = chip;
    job->drivers = drivers;
    return CommandEnd::OpenDialog;
}

#include "runs/playback_commands.h"

#include "messages/messages.h"
#include "list/play_address.h"

namespace runs {

namespace {

bool AddressAccepted(std::string& box, const files::ChipProfile& chip, messages::IUserPrompt& ui, int32_t* address) {
    return list::CheckPlayAddress(box, chip.lowest, chip.lastAddress, ui, address);
}

}  // namespace

PulseEnd PulsePlayCommand(std::string& box, const files::ChipProfile& chip, binding::DriverBinding* drivers,
                          messages::IUserPrompt& ui) {
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return PulseEnd::Stopped;
    binding::DriverLease lease;
    CommandEnd end;
    if (!TakeDriver(drivers, ui, &lease, &end))
        return end == CommandEnd::NoDriver ? PulseEnd::NoDriver : PulseEnd::Stopped;
    return messages::ShowDriverResult(ui, lease->PulsePlay(address, chip.code)) ? PulseEnd::Stopped : PulseEnd::Played;
}

CommandEnd ContinuousPlayCommand(std::string& box, const list::ProgrammingList& list, const files::ChipProfile& chip,
                                 binding::DriverBinding* drivers, messages::IUserPrompt& ui, PlayJob* job) {
    if (!list.IsUsed(1)) {
        messages::ShowMessage(ui, messages::MsgId::NothingToPlay);
        return CommandEnd::Stopped;
    }
    int32_t address = 0;
    if (!AddressAccepted(box, chip, ui, &address)) return CommandEnd::Stopped;
    {
        binding::DriverLease lease;
        CommandEnd end;
        if (!TakeDriver(drivers, ui, &lease, &end)) return end;
        if (messages::ShowDriverResult(ui, lease->BeginPlayback(chip.code))) return CommandEnd::Stopped;
    }
    job->list = list;
    job->chip = chip;
    job->drivers = drivers;
    return CommandEnd::OpenDialog;
}

}  // namespace runs

#include "commands/workspace.h"

#include "files/config.h"
#include "messages/messages.h"
#include "text/numbers.h"

namespace commands {

namespace {

std::string Entry(const std::vector<std::string>& v, int index) {
    return index >= 0 && index < static_cast<int>(v.size()) ? v[index] : std::string();
}

int InRangeOrNone(int index, size_t size) { return index >= 0 && index < static_cast<int>(size) ? index : -1; }

// The table scan without the extent recompute; false when the step ended early.
bool ReadChipTable(Workspace& w, messages::IUserPrompt& ui) {
    std::string error;
    // Values read before a bad field count too.
    int rc = files::ReadChipProfile(w.chipTablePath, ChipName(w), &w.chip, &error);
    if (rc == files::kChipTableMissing || rc == files::kChipTableUnreadable) return false;
    if (rc == files::kChipTableBadNumber) {
        messages::ShowGeneralError(ui, error);
        return false;
    }
    return true;
}

int IndexByName(const std::vector<std::string>& v, const std::string& name) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == name) return static_cast<int>(i);
    return static_cast<int>(v.size()) - 1;  // the last entry stays selected; -1 when empty
}

}  // namespace

std::string ProgrammerName(const Workspace& w) { return Entry(w.programmers, w.programmerIndex); }
std::string ChipName(const Workspace& w) { return Entry(w.chips, w.chipIndex); }

void StartUp(Workspace& w, std::unique_ptr<files::CIniFile> config, const std::string& program_dir,
             const std::string& chip_table_path, messages::IUserPrompt& ui) {
    w.config = std::move(config);
    w.programDir = program_dir;
    w.chipTablePath = chip_table_path;
    w.chip = files::ChipProfile{};
    files::StartSettings s;
    if (w.config) s = files::ReadStartSettings(*w.config);
    w.autoAddressing = s.autoAddressing;
    w.editorEnabled = s.editorEnabled;
    w.editorPath = s.editorPath;
    w.programmers = s.programmers;
    w.programmerIndex = InRangeOrNone(s.programmerIndex, w.programmers.size());
    ProgrammerChangeStep(w, ui);
    w.chipIndex = InRangeOrNone(s.chipIndex, w.chips.size());
    ApplyChipSelection(w, ui);
}

void ProgrammerChangeStep(Workspace& w, messages::IUserPrompt& ui) {
    std::string name = ProgrammerName(w);
    if (name.empty()) return;
    files::ProgrammerSection section;
    if (w.config) section = files::ReadProgrammerSection(*w.config, name);
    w.chips = section.chips;
    w.chipIndex = static_cast<int>(w.chips.size()) - 1;
    BindProgrammerDriver(w, ui);
}

void BindProgrammerDriver(Workspace& w, messages::IUserPrompt& ui) {
    if (!w.bindDrivers) return;
    w.drivers.Unbind();
    w.driverFailureShown = false;
    const std::string name = ProgrammerName(w);
    if (name.empty() || !w.config) return;
    const std::string file = files::ReadProgrammerSection(*w.config, name).driverFile;
    if (file.empty()) return;
    binding::BindResult r = w.drivers.Bind(file, w.programDir);
    if (r.message.empty()) return;
    messages::ShowMessageWithReason(ui, messages::MsgId::DriverFileNotFound, file, r.detail);
    w.driverFailureShown = true;
}

void ApplyChipSelection(Workspace& w, messages::IUserPrompt& ui) {
    if (ReadChipTable(w, ui)) RecomputeExtent(w, ui);
}

void SelectProgrammer(Workspace& w, int index, messages::IUserPrompt& ui) {
    w.programmerIndex = InRangeOrNone(index, w.programmers.size());
    ProgrammerChangeStep(w, ui);
    ApplyChipSelection(w, ui);
}

void SelectChip(Workspace& w, int index, messages::IUserPrompt& ui) {
    w.chipIndex = InRangeOrNone(index, w.chips.size());
    ApplyChipSelection(w, ui);
}

void SelectProgrammerByName(Workspace& w, const std::string& name, messages::IUserPrompt& ui) {
    w.programmerIndex = IndexByName(w.programmers, name);
    ProgrammerChangeStep(w, ui);
}

void SelectChipByName(Workspace& w, const std::string& name, messages::IUserPrompt& ui) {
    w.chipIndex = IndexByName(w.chips, name);
    ReadChipTable(w, ui);
}

void SetAutoAddressing(Workspace& w, bool on) {
    w.autoAddressing = on;
    if (w.config) files::WriteAuto(*w.config, on);
}

bool RecomputeExtent(Workspace& w, messages::IUserPrompt& ui, std::optional<messages::MsgId> bad_cell_msg) {
    std::string bad;
    int64_t e = 0;
    if (list::ComputeExtent(w.list, w.chip, &e, &bad) != list::kListOk) {
        if (bad_cell_msg)
            messages::ShowMessage(ui, *bad_cell_msg);
        else
            messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        return false;
    }
    w.extent = e;
    if (e > w.chip.capacity) messages::ShowMessage(ui, messages::MsgId::ListOverCapacity);
    return true;
}

}  // namespace commands

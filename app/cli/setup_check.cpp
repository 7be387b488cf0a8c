#include "setup_check.h"

#include <cstdio>

#include "files/chip_table.h"
#include "files/config.h"
#include "text/numbers.h"
#include "printable.h"
#include "project_check.h"
#include "list/project_file.h"
#include "commands/run_setup.h"

namespace cli {

namespace {

std::string Hex(int64_t v) { return text::AddrText(static_cast<int32_t>(v)); }

std::string Quoted(const std::string& name) { return "'" + Printable(name) + "'"; }

std::string SetupText(const commands::SetupCheck& c) {
    const std::string path = Printable(c.path);
    const std::string chipLine = "the chip table " + path + " gives chip " + Quoted(c.chip);
    switch (c.fault) {
        case commands::SetupFault::None: return "";
        case commands::SetupFault::ConfigMissing: return "the configuration " + path + " does not exist";
        case commands::SetupFault::ConfigUnreadable:
            return "the configuration " + path + " cannot be read: " + c.detail;
        case commands::SetupFault::NoProgrammer:
            return "no programmer type is named (the configuration " + path + " selects none)";
        case commands::SetupFault::ProgrammerUnknown:
            return "programmer type " + Quoted(c.programmer) + " is not in the configuration " + path;
        case commands::SetupFault::ChipUnknown:
            if (c.chip.empty())
                return "no chip of programmer type " + Quoted(c.programmer) + " is named (the configuration " + path +
                       " selects none)";
            return "chip " + Quoted(c.chip) + " is not offered by programmer type " + Quoted(c.programmer) +
                   " in the configuration " + path;
        case commands::SetupFault::TableMissing: return "the chip table " + path + " does not exist";
        case commands::SetupFault::TableUnreadable: return "the chip table " + path + " cannot be read";
        case commands::SetupFault::TableBadNumber: return "the chip table " + path + " is damaged: " + c.detail;
        case commands::SetupFault::ChipNotInTable:
            return "chip " + Quoted(c.chip) + " has no line in the chip table " + path;
        case commands::SetupFault::StepTooSmall:
            return chipLine + " a step of " + std::to_string(c.value) + " ms; it must be 1 ms or more";
        case commands::SetupFault::ScaleTooSmall:
            return chipLine + " an address scale of " + std::to_string(c.value) + "; it must be 1 or more";
        case commands::SetupFault::LowestAboveLast:
            return chipLine + " a lowest start address " + Hex(c.value) + " above its last address " + Hex(c.limit);
        case commands::SetupFault::LastAddressTooLarge:
            return chipLine + " a last address " + Hex(c.value) + " that the module's frames cannot carry (at most " +
                   Hex(c.limit) + ")";
    }
    return "";
}

const char* ColumnName(int column) {
    switch (column) {
        case list::kColFlag: return "program flag";
        case list::kColStart: return "start";
        case list::kColEnd: return "end";
        case list::kColLength: return "length";
        default: return "cell";
    }
}

std::string RowText(const commands::RowProblem& p) {
    const std::string where = "row " + std::to_string(p.row) + ", " + ColumnName(p.column) + ": ";
    switch (p.fault) {
        case commands::RowFault::NotANumber: return where + Quoted(p.cell) + " is not a number";
        case commands::RowFault::StartNegative: return where + Printable(p.cell) + " is not a chip address";
        case commands::RowFault::LengthTooSmall:
            return where + Printable(p.cell) + " ms is no sound length (it must be 1 ms or more)";
        case commands::RowFault::EndTooLarge:
            return where + Hex(p.value) + " is beyond the last address the module's frames carry (" + Hex(p.limit) +
                   ")";
    }
    return where;
}

// The configuration's own selection, as the start-up makes it.
void ConfiguredSelection(const files::CIniFile& config, std::string* programmer, std::string* chip) {
    const files::StartSettings s = files::ReadStartSettings(config);
    if (s.programmerIndex < 0 || static_cast<size_t>(s.programmerIndex) >= s.programmers.size()) return;
    if (programmer->empty()) *programmer = s.programmers[static_cast<size_t>(s.programmerIndex)];
    const auto chips = files::ReadProgrammerSection(config, *programmer).chips;
    if (chip->empty() && s.chipIndex >= 0 && static_cast<size_t>(s.chipIndex) < chips.size())
        *chip = chips[static_cast<size_t>(s.chipIndex)];
}

}  // namespace

int CheckSetup(const SetupScope& scope, const RunOptions& o, const std::string& project) {
    std::string programmer = o.programmer, chip = o.chip;
    list::ProgrammingList rows;
    const bool hasProject = !project.empty() && (scope.rows || list::FileExists(project));
    if (hasProject) {
        if (CheckWholeProject(scope.command, project, scope.consequence)) return 1;
        list::Header header;
        std::string bad;
        if (list::Read(project, &rows, &header, &bad) == list::kProjectBadFlag) {
            std::fprintf(stderr, "sonmira-cli %s: %s: row %d, program flag: %s is not a number; %s\n", scope.command,
                         Printable(project).c_str(), rows.UsedCount() + 1, Quoted(bad).c_str(), scope.consequence);
            return 1;
        }
        if (programmer.empty()) programmer = header.programmer;
        if (chip.empty()) chip = header.chip;
    }
    const files::CIniFile config = files::OpenConfigForReading();
    if (!hasProject) ConfiguredSelection(config, &programmer, &chip);

    const commands::SetupCheck c = commands::CheckRunSetup(config.Path(), files::ChipTablePath(), programmer, chip);
    if (c.fault == commands::SetupFault::ProgrammerUnknown && !o.programmer.empty()) {
        std::fprintf(stderr, "sonmira-cli %s: programmer type '%s' is not in the configuration\n", scope.command,
                     Printable(o.programmer).c_str());
        return 2;
    }
    if (c.fault == commands::SetupFault::ChipUnknown && !o.chip.empty()) {
        std::fprintf(stderr, "sonmira-cli %s: chip '%s' is not offered by programmer type '%s'\n", scope.command,
                     Printable(o.chip).c_str(), Printable(programmer).c_str());
        return 2;
    }
    if (c.fault != commands::SetupFault::None) {
        std::fprintf(stderr, "sonmira-cli %s: %s; %s\n", scope.command, SetupText(c).c_str(), scope.consequence);
        return 1;
    }
    if (!scope.rows) return 0;
    const auto problems = commands::CheckRows(rows, c.profile, c.limits);
    for (const auto& p : problems)
        std::fprintf(stderr, "sonmira-cli %s: %s: %s\n", scope.command, Printable(project).c_str(), RowText(p).c_str());
    if (problems.empty()) return 0;
    std::fprintf(stderr, "sonmira-cli %s: %zu %s to mend first; %s\n", scope.command, problems.size(),
                 problems.size() == 1 ? "row" : "rows", scope.consequence);
    return 1;
}

}  // namespace cli

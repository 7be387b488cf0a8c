#include "commands/run_setup.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>

#include "list/address_math.h"
#include "files/config.h"
#include "files/ini_file.h"
#include "text/numbers.h"
#include "files/whole_file.h"

namespace commands {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

SetupCheck Fault(SetupCheck c, SetupFault f) {
    c.fault = f;
    return c;
}

// The chip's line as the table gives it, or the fault that keeps it from use.
SetupCheck CheckChipLine(SetupCheck c, const std::string& tablePath) {
    c.path = tablePath;
    files::ChipProfile p;
    std::string error;
    switch (files::ReadChipProfile(tablePath, c.chip, &p, &error)) {
        case files::kChipFound: break;
        case files::kChipTableMissing: return Fault(c, SetupFault::TableMissing);
        case files::kChipTableUnreadable: return Fault(c, SetupFault::TableUnreadable);
        case files::kChipTableBadNumber: c.detail = error; return Fault(c, SetupFault::TableBadNumber);
        default: return Fault(c, SetupFault::ChipNotInTable);
    }
    // Each of these would address every segment wrongly: a step below 1
    // gives no length, a scale below 1 puts every segment at address 0.
    if (p.step < 1) {
        c.value = p.step;
        return Fault(c, SetupFault::StepTooSmall);
    }
    if (p.scale < 1) {
        c.value = p.scale;
        return Fault(c, SetupFault::ScaleTooSmall);
    }
    if (p.lowest > p.lastAddress) {
        c.value = p.lowest;
        c.limit = p.lastAddress;
        return Fault(c, SetupFault::LowestAboveLast);
    }
    c.limits = FrameLimitsOf(c.driverFile);
    if (p.lastAddress < 0 || list::ChipStart(p.lastAddress, p) > c.limits.start) {
        c.value = p.lastAddress;
        c.limit = c.limits.start;
        return Fault(c, SetupFault::LastAddressTooLarge);
    }
    c.profile = p;
    return c;
}

}  // namespace

namespace {

// The first module's driver: its frames carry a start byte and no end, and
// it has one record command, no AUX mode. The second module's, and any other's,
// carry two bytes of each and switch modes.
bool IsFirstModuleDriver(const std::string& driverFile) {
    return driverFile.substr(driverFile.find_last_of('/') + 1) == "libsonmiradrv.so";
}

}  // namespace

bool RecordsAux(const std::string& driverFile) { return !IsFirstModuleDriver(driverFile); }

FrameLimits FrameLimitsOf(const std::string& driverFile) {
    FrameLimits f;
    if (IsFirstModuleDriver(driverFile)) {
        f.start = 0xFF;
        f.end = INT64_MAX;
    }
    return f;
}

SetupCheck CheckRunSetup(const std::string& configPath, const std::string& tablePath, const std::string& programmer,
                         const std::string& chip) {
    SetupCheck c;
    c.path = configPath;
    c.programmer = programmer;
    c.chip = chip;
    std::string bytes;
    switch (files::Read(configPath, files::kMaxFileBytes, &bytes)) {
        case files::kFileOk: break;
        case files::kFileMissing: return Fault(c, SetupFault::ConfigMissing);
        case files::kFileTooLarge:
            c.detail = "larger than " + std::to_string(files::kMaxFileBytes >> 20) + " MiB";
            return Fault(c, SetupFault::ConfigUnreadable);
        default: c.detail = std::strerror(errno); return Fault(c, SetupFault::ConfigUnreadable);
    }
    const files::CIniFile config(configPath);
    if (programmer.empty()) return Fault(c, SetupFault::NoProgrammer);
    if (!Contains(files::ReadProgrammers(config), programmer)) return Fault(c, SetupFault::ProgrammerUnknown);
    const files::ProgrammerSection section = files::ReadProgrammerSection(config, programmer);
    if (!Contains(section.chips, chip)) return Fault(c, SetupFault::ChipUnknown);
    c.driverFile = section.driverFile;
    return CheckChipLine(c, tablePath);
}

std::vector<RowProblem> CheckRows(const list::ProgrammingList& list, const files::ChipProfile& chip,
                                  const FrameLimits& limits) {
    std::vector<RowProblem> problems;
    // The end cell is not read: a run computes each end from start and length.
    for (int row = 1; row <= list::kRows && list.IsUsed(row); ++row) {
        RowProblem p;
        p.row = row;
        int32_t flag = 0, start = 0, length = 0;
        auto damaged = [&](int col) {
            p.column = col;
            p.cell = list.Cell(row, col);
            problems.push_back(p);
        };
        if (!text::TryStrToInt(list.Cell(row, list::kColFlag), &flag)) {
            damaged(list::kColFlag);
            continue;
        }
        if (flag == 0) continue;
        if (!text::TryStrToInt(list.Cell(row, list::kColStart), &start)) {
            damaged(list::kColStart);
            continue;
        }
        if (!text::TryStrToInt(list.Cell(row, list::kColLength), &length)) {
            damaged(list::kColLength);
            continue;
        }
        p.cell = list.Cell(row, list::kColStart);
        if (start < 0) {
            p.column = list::kColStart;
            p.fault = RowFault::StartNegative;
            p.value = start;
            problems.push_back(p);
            continue;
        }
        if (length < 1) {
            p.column = list::kColLength;
            p.fault = RowFault::LengthTooSmall;
            p.cell = list.Cell(row, list::kColLength);
            p.value = length;
            problems.push_back(p);
            continue;
        }
        // Rows past the chip's last address are the run's own overflow stop,
        // which the capacity question covers; only what no frame can carry is refused.
        const int64_t chipEnd = list::EndAddress(start, length, chip);
        if (start <= chip.lastAddress && chipEnd > limits.end) {
            p.column = list::kColEnd;
            p.fault = RowFault::EndTooLarge;
            p.cell = list.Cell(row, list::kColEnd);
            p.value = chipEnd;
            p.limit = limits.end;
            problems.push_back(p);
        }
    }
    return problems;
}

}  // namespace commands

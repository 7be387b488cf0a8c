// The checks a headless run makes before it touches anything: the desktop
// program lets the user see and mend a doubtful set-up (the last entry of a
// list stays chosen, a chip keeps the values read last), but a tool run from
// a script must not program a chip on guessed parameters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/chip_table.h"
#include "list/programming_list.h"

namespace commands {

// The largest chip addresses the driver's record and play frames carry.
struct FrameLimits {
    int64_t start = 0xFFFF;
    int64_t end = 0xFFFF;  // INT64_MAX when the end is not sent
};

enum class SetupFault {
    None,
    ConfigMissing,       // path
    ConfigUnreadable,    // path, detail (too large, or the system's reason)
    NoProgrammer,        // nothing names a programmer type
    ProgrammerUnknown,   // programmer, path
    ChipUnknown,         // chip, programmer, path
    TableMissing,        // path
    TableUnreadable,     // path
    TableBadNumber,      // path, detail (the conversion's message)
    ChipNotInTable,      // chip, path
    StepTooSmall,        // chip, value
    ScaleTooSmall,       // chip, value
    LowestAboveLast,     // chip, value (lowest), limit (last address)
    LastAddressTooLarge  // chip, value (last address), limit (largest address a frame carries)
};

struct SetupCheck {
    SetupFault fault = SetupFault::None;
    std::string path, programmer, chip, detail;
    int64_t value = 0, limit = 0;
    files::ChipProfile profile;  // the chip's line when every check passed
    std::string driverFile;      // the programmer type's driver library
    FrameLimits limits;          // of that driver
};

// Checks the configuration at configPath and the chip table at tablePath for
// a run of `programmer` with `chip` (names as the project or the options give
// them; an empty programmer name is a fault).
SetupCheck CheckRunSetup(const std::string& configPath, const std::string& tablePath, const std::string& programmer,
                         const std::string& chip);

// The frame limits of a driver library, by its file name.
FrameLimits FrameLimitsOf(const std::string& driverFile);

// Whether the driver library's module has an AUX recording mode.
bool RecordsAux(const std::string& driverFile);

enum class RowFault {
    NotANumber,      // cell holds the text
    StartNegative,   // value: the start as the cell spells it (a 32-bit pattern reads negative)
    LengthTooSmall,  // value
    EndTooLarge      // value: the computed end address; limit: the largest end a frame carries
};

struct RowProblem {
    int row = 0;
    int column = 0;  // list::kCol*
    RowFault fault = RowFault::NotANumber;
    std::string cell;
    int64_t value = 0, limit = 0;
};

// The marked rows (and every row's program flag) as a run would address
// them; one problem per row at most, in row order.
std::vector<RowProblem> CheckRows(const list::ProgrammingList& list, const files::ChipProfile& chip,
                                  const FrameLimits& limits);

}  // namespace commands

// What sonmira-cli checks before a command that addresses or drives a chip:
// the project whole, the programmer type and chip known to the configuration,
// the chip's line in the chip table usable, and (for a run) every row sound.
// Each problem is printed once, as one line; nothing is sent or written.
#pragma once

#include <string>

#include "run_options.h"

namespace cli {

struct SetupScope {
    const char* command;      // "program"
    const char* consequence;  // "nothing sent"
    bool rows;                // check the project's rows as a run addresses them
};

// 0 when the set-up is sound; otherwise the exit code after printing why
// (2 for a --programmer or --chip name the configuration does not know, 1 else).
// project: the project file, or "" for the configuration's own selection.
int CheckSetup(const SetupScope& scope, const RunOptions& o, const std::string& project);

}  // namespace cli

// Options and start-up shared by sonmira-cli program, play and pulse: the
// workspace as the configuration (and the project) define it, with the
// programmer type and chip optionally chosen by name.
#pragma once

#include <string>
#include <vector>

#include "user_prompt.h"
#include "workspace.h"

namespace cli {

struct RunOptions {
    std::string programmer, chip;  // empty: as configured / as the project says
    std::vector<std::string> rest;  // positional arguments
    bool aux = false;               // --aux (program only)
    std::string address;            // --address HEX (play only)
};

// Parses --programmer, --chip and, when allowed, --aux and --address.
// Returns "" or the error text for the usage message.
std::string ParseRunOptions(int argc, char** argv, bool allow_aux, bool allow_address, RunOptions* o);

// Start-up from the configuration, then the project (when given), then the
// named programmer and chip. Returns 0, or an exit code after printing why.
int PrepareWorkspace(const char* command, const RunOptions& o, const std::string& project, ws::Workspace& w,
                     IUserPrompt& ui);

}  // namespace cli

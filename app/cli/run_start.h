// The start-up of a run on a module for sonmira-cli program, play, pulse and
// line: the workspace as the configuration (and the project) define it, with
// the programmer type and chip optionally chosen by name, the scan
// restricted to --port, and the driver bound.
#pragma once

#include <string>

#include "messages/user_prompt.h"
#include "commands/workspace.h"
#include "run_options.h"

namespace cli {

// Prints that no driver library is bound for the workspace's programmer type
// (nothing when the binding's failure was already shown);
// returns the exit code for a failed driver, 1.
int NoDriverBound(const char* command, const commands::Workspace& w);

// Selects the programmer type, then the chip, by name; nullptr keeps the
// current choice. Returns 0, or 2 after printing which name is unknown.
int SelectByName(const char* command, const std::string* programmer, const std::string* chip, commands::Workspace& w,
                 messages::IUserPrompt& ui);

// Start-up from the configuration, then the project (when given), then the
// named programmer and chip, then the driver of the programmer type chosen,
// bound once with the scan restricted to o.port. Returns 0, or an exit code
// after printing why.
int PrepareWorkspace(const char* command, const RunOptions& o, const std::string& project, commands::Workspace& w,
                     messages::IUserPrompt& ui);

}  // namespace cli

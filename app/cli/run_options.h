// Options and start-up shared by sonmira-cli program, play and pulse: the
// workspace as the configuration (and the project) define it, with the
// programmer type and chip optionally chosen by name.
#pragma once

#include <string>
#include <vector>

#include "messages/user_prompt.h"
#include "commands/workspace.h"

namespace cli {

struct RunOptions {
    std::string programmer, chip;   // empty: as configured / as the project says
    std::vector<std::string> rest;  // positional arguments
    bool aux = false;               // --aux (program only)
    std::string address;            // --address HEX (play only)
    std::string port;               // --port PORT: the only port scanned
};

// Parses --programmer, --chip, --port and, when allowed, --aux and --address, and
// expects exactly one positional argument (`positional` names it in the error;
// nullptr: any number, the caller checks them).
// Returns "" or the error text for the usage message.
std::string ParseRunOptions(int argc, char** argv, bool allow_aux, bool allow_address, const char* positional,
                            RunOptions* o);

// Prints "sonmira-cli COMMAND: ERROR" and the usage to stderr; returns the
// usage error's exit code, 2.
int UsageError(const char* command, const std::string& error, const char* usage);

// Prints that no driver library is bound for the workspace's programmer type
// (nothing when the binding's failure was already shown);
// returns the exit code for a failed driver, 1.
int NoDriverBound(const char* command, const ws::Workspace& w);

// Selects the programmer type, then the chip, by name; nullptr keeps the
// current choice. Returns 0, or 2 after printing which name is unknown.
int SelectByName(const char* command, const std::string* programmer, const std::string* chip, ws::Workspace& w,
                 IUserPrompt& ui);

// Start-up from the configuration, then the project (when given), then the
// named programmer and chip, then the driver of the programmer type chosen,
// bound once. Returns 0, or an exit code after printing why.
int PrepareWorkspace(const char* command, const RunOptions& o, const std::string& project, ws::Workspace& w,
                     IUserPrompt& ui);

}  // namespace cli

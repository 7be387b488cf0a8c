// The commands of sonmira-cli, listed in one table (commands.cpp): name,
// summary, help and the function that runs each. A new command is a run
// function in a cmd_*.cpp file of its own and one row of the table.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Command {
    const char* name;
    const char* summary;  // one line for the overview
    const char* usage;    // "usage: sonmira-cli NAME ..." lines
    const char* about;    // what it does, after the usage
    // nullptr for a command without options; else its option lines, from
    // their declarations (command_options.h).
    std::string (*optionLines)();
    const char* notes;  // after the option lines ("" when none)
    // argv[0] is the command's name; returns the process exit code.
    int (*run)(int argc, char** argv);
};

// Every command (the overview lists them by name).
const std::vector<Command>& Commands();

// The command of that name, or nullptr.
const Command* FindCommand(const std::string& name);

// The full --help text of a command: usage, about, option lines, notes.
std::string HelpText(const Command& c);

// Prints "sonmira-cli NAME: ERROR", a blank line and `text` (the command's
// usage or help) to stderr; returns the usage error's exit code, 2.
int UsageError(const char* name, const std::string& error, const std::string& text);

// UsageError with the command's full help after the error.
int UsageErrorWithHelp(const char* name, const std::string& error);

// The run functions, one per cmd_*.cpp.
int RunAdd(int argc, char** argv);
int RunChips(int argc, char** argv);
int RunDevices(int argc, char** argv);
int RunLength(int argc, char** argv);
int RunLine(int argc, char** argv);
int RunList(int argc, char** argv);
int RunPlay(int argc, char** argv);
int RunProgram(int argc, char** argv);
int RunPulse(int argc, char** argv);
int RunVerify(int argc, char** argv);

}  // namespace cli

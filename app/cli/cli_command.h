// Subcommands of sonmira-cli. Each cmd_*.cpp file registers one with
// SONMIRA_CLI_COMMAND; main() looks the name up and runs it.
#pragma once

#include <vector>

namespace cli {

struct Command {
    const char* name;
    const char* summary;  // one line for the overview
    const char* usage;    // full --help text of the subcommand
    // argv[0] is the subcommand name; returns the process exit code.
    int (*run)(int argc, char** argv);
};

std::vector<Command>& Registry();

struct Registrar {
    explicit Registrar(const Command& c) { Registry().push_back(c); }
};

// True when any argument is -h or --help.
bool WantsHelp(int argc, char** argv);

}  // namespace cli

#define SONMIRA_CLI_CONCAT2(a, b) a##b
#define SONMIRA_CLI_CONCAT(a, b) SONMIRA_CLI_CONCAT2(a, b)
#define SONMIRA_CLI_COMMAND(...) \
    static cli::Registrar SONMIRA_CLI_CONCAT(registrar_, __LINE__)(cli::Command{__VA_ARGS__})

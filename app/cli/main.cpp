// sonmira-cli: the programming core from the command line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_command.h"

namespace cli {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) return true;
    return false;
}

}  // namespace cli

static void PrintOverview(FILE* out) {
    auto cmds = cli::Registry();
    std::sort(cmds.begin(), cmds.end(),
              [](const cli::Command& a, const cli::Command& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(out, "usage: sonmira-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const auto& c : cmds) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
    std::fprintf(out, "\n'sonmira-cli COMMAND --help' explains one command.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview(stderr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        PrintOverview(stdout);
        return 0;
    }
    for (const auto& c : cli::Registry()) {
        if (name == c.name) {
            if (cli::WantsHelp(argc - 1, argv + 1)) {
                std::fputs(c.usage, stdout);
                return 0;
            }
            return c.run(argc - 1, argv + 1);
        }
    }
    std::fprintf(stderr, "sonmira-cli: unknown command '%s'\n\n", name.c_str());
    PrintOverview(stderr);
    return 2;
}
